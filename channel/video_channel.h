/* The host boundary: the VideoChannelRecord the host hands to GetVideoChannel, the
 * records the slots read and write, and the signatures of the fourteen slots.
 * Shared, as a C header, by the adapter and every host (or host stand-in). */
#ifndef QUORVEX_VIDEO_CHANNEL_H
#define QUORVEX_VIDEO_CHANNEL_H

#include <stddef.h>
#include <stdint.h>

#ifdef _WIN32
#define AIK_CALL __stdcall
#else
#define AIK_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The host's common settings, read by SetupCommonParams. */
typedef struct CommonParamsRecord {
    uint8_t reserved[8];
    double exposure;   /* seconds; 0 selects the camera's minimum */
    double contrast;   /* 0 = lower limit, 1 = upper limit */
    double brightness; /* likewise */
    int32_t acqContinuous;
    int32_t acqTriggered;
    int32_t acqTriggerLowToHigh; /* bit 0 */
    int32_t roix;
    int32_t roiy;
    int32_t roiwidth;
    int32_t roiheight;
} CommonParamsRecord;

/* Image geometry written by GetImageAttributes. */
typedef struct ImageAttributes {
    int32_t reserved; /* not touched */
    int32_t width;
    int32_t height;
    int32_t pitch;
    int32_t pixelFormat; /* AIK_PIXEL_* */
    int32_t roix;
    int32_t roiy;
    int32_t roiwidth;
    int32_t roiheight;
    int32_t offsetx;
    int32_t offsety;
} ImageAttributes;

typedef int32_t(AIK_CALL* SetupCommonParamsFn)(char* errText, int64_t channelID,
                                               const CommonParamsRecord* params);
typedef int32_t(AIK_CALL* GetImageAttributesFn)(char* errText, int64_t channelID, ImageAttributes* attributes,
                                                uint32_t* acqResult);
typedef int32_t(AIK_CALL* WaitForIntegrationFn)(char* errText, int64_t channelID, uint32_t* acqResult);
typedef int32_t(AIK_CALL* GetImageFn)(char* errText, int64_t channelID, void* buffer, uint32_t* acqResult);
typedef int32_t(AIK_CALL* StartAcquisitionFn)(char* errText, int64_t channelID);
typedef int32_t(AIK_CALL* StopAcquisitionFn)(char* errText, int64_t channelID);
typedef int32_t(AIK_CALL* ExecuteCommandFn)(char* errText, int64_t channelID, const char* feature);
typedef int32_t(AIK_CALL* ReadValueFn)(char* errText, int64_t channelID, const char* addr, char* val);
typedef int32_t(AIK_CALL* WriteValueFn)(char* errText, int64_t channelID, const char* addr, const char* val);
typedef int32_t(AIK_CALL* GetFeatureNameFn)(char* errText, int64_t channelID, int32_t index, char* feature);
typedef int32_t(AIK_CALL* GetFeatureTypeFn)(char* errText, int64_t channelID, const char* feature,
                                            int32_t* type);
typedef int32_t(AIK_CALL* GetValidEnumFn)(char* errText, int64_t channelID, const char* feature,
                                          int32_t enumIndex, char* value);
typedef int32_t(AIK_CALL* GetFeatureAttrFn)(char* errText, int64_t channelID, const char* feature,
                                            int32_t attr, char* result);
typedef int32_t(AIK_CALL* ReleaseVideoChannelFn)(char* errText, int64_t channelID);

/* Filled by GetVideoChannel. 640 bytes; 680 with the extended slots, which are
 * written only when recordLevel is greater than 608. */
typedef struct VideoChannelRecord {
    int32_t recordLevel; /* host: > 608 announces the extended slots */
    int32_t reserved;    /* not touched */
    int64_t channelID;
    SetupCommonParamsFn SetupCommonParams;
    GetImageAttributesFn GetImageAttributes;
    WaitForIntegrationFn WaitForIntegration;
    GetImageFn GetImage;
    StartAcquisitionFn StartAcquisition;
    StopAcquisitionFn StopAcquisition;
    ExecuteCommandFn ExecuteCommand;
    ReadValueFn ReadValue;
    WriteValueFn WriteValue;
    char name[256];
    char description[256];
    double exposure;   /* seconds */
    double contrast;   /* fraction 0..1 of the camera's range */
    double brightness; /* fraction 0..1 of the camera's range */
    uint32_t sensorWidth;
    uint32_t sensorHeight;
    double minExposure; /* seconds */
    /* extended record */
    GetFeatureNameFn GetFeatureName;
    GetFeatureTypeFn GetFeatureType;
    GetValidEnumFn GetValidEnum;
    GetFeatureAttrFn GetFeatureAttr;
    ReleaseVideoChannelFn ReleaseVideoChannel;
} VideoChannelRecord;

#define AIK_RECORD_LEVEL_EXTENDED 608 /* recordLevel above this: extended slots present */
#define AIK_BASE_RECORD_BYTES 640
#define AIK_EXTENDED_RECORD_BYTES 680

/* Host pixel-format codes. */
enum {
    AIK_PIXEL_MONO8 = 0,
    AIK_PIXEL_PLANES_RGB = 2, /* three 8-bit planes: blue, green, red */
    AIK_PIXEL_MONO10 = 12,
    AIK_PIXEL_MONO12 = 13
};

/* acqResult values. */
enum { AIK_ACQ_DONE = 0, AIK_ACQ_TIMEOUT = 0x1000, AIK_ACQ_NOT_DELIVERED = 0x2000 };

/* Host feature type codes (GetFeatureType). */
enum {
    AIK_FEATURE_UNSUPPORTED = -1,
    AIK_FEATURE_ENUM = 1,
    AIK_FEATURE_INT = 2,
    AIK_FEATURE_FLOAT = 3,
    AIK_FEATURE_COMMAND = 4,
    AIK_FEATURE_BOOL = 5,
    AIK_FEATURE_STRING = 6
};

typedef int32_t(AIK_CALL* GetVideoChannelFn)(char* errText, uint32_t deviceNum, VideoChannelRecord* rec);

#ifdef __cplusplus
}

static_assert(offsetof(VideoChannelRecord, channelID) == 8, "record layout");
static_assert(offsetof(VideoChannelRecord, SetupCommonParams) == 16, "record layout");
static_assert(offsetof(VideoChannelRecord, WriteValue) == 80, "record layout");
static_assert(offsetof(VideoChannelRecord, name) == 88, "record layout");
static_assert(offsetof(VideoChannelRecord, description) == 344, "record layout");
static_assert(offsetof(VideoChannelRecord, exposure) == 600, "record layout");
static_assert(offsetof(VideoChannelRecord, contrast) == 608, "record layout");
static_assert(offsetof(VideoChannelRecord, brightness) == 616, "record layout");
static_assert(offsetof(VideoChannelRecord, sensorWidth) == 624, "record layout");
static_assert(offsetof(VideoChannelRecord, sensorHeight) == 628, "record layout");
static_assert(offsetof(VideoChannelRecord, minExposure) == 632, "record layout");
static_assert(offsetof(VideoChannelRecord, GetFeatureName) == 640, "record layout");
static_assert(offsetof(VideoChannelRecord, ReleaseVideoChannel) == 672, "record layout");
static_assert(sizeof(VideoChannelRecord) == AIK_EXTENDED_RECORD_BYTES, "record layout");
static_assert(offsetof(CommonParamsRecord, exposure) == 8, "params layout");
static_assert(offsetof(CommonParamsRecord, acqContinuous) == 32, "params layout");
static_assert(offsetof(CommonParamsRecord, roix) == 44, "params layout");
static_assert(offsetof(CommonParamsRecord, roiheight) == 56, "params layout");
static_assert(offsetof(ImageAttributes, width) == 4, "attributes layout");
static_assert(offsetof(ImageAttributes, offsety) == 40, "attributes layout");
static_assert(sizeof(ImageAttributes) == 44, "attributes layout");
#endif

#endif
