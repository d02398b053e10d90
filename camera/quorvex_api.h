/* Operations of the camera family's access library (QuorvexApi64) and utility
 * library (QuorvexUtl64). This header is the whole contract between the adapter
 * and whichever library implements it: every implementation exports exactly these
 * functions with C linkage and PVX_CALL.
 *
 * Common rules:
 * - Every operation returns a PvxStatus: 0 is success, anything else a result code
 *   (see camera/result_text.h for the texts).
 * - Camera, stream and node handles are opaque 64-bit values; 0 means none.
 * - Operations may be called from any thread; the library serialises internally.
 * - Out-parameters are written only on success unless stated otherwise.
 */
#ifndef QUORVEX_API_H
#define QUORVEX_API_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#ifdef _WIN32
#define PVX_CALL __stdcall
#ifdef PVX_BUILDING_LIBRARY
#define PVX_EXPORT __declspec(dllexport)
#else
#define PVX_EXPORT __declspec(dllimport)
#endif
#else
#define PVX_CALL
#define PVX_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t PvxStatus;
typedef uint64_t PvxHandle;

/* Event the library signals once per completed image. Windows: an auto-reset event
 * HANDLE (signalled with SetEvent). POSIX: an eventfd file descriptor (signalled by
 * writing an 8-byte count of 1). */
typedef intptr_t PvxEvent;

enum {
    PVX_OK = 0,
    PVX_ERR_NOT_INITIALIZED = 1,
    PVX_ERR_ALREADY_INITIALIZED = 2,
    PVX_ERR_NOT_FOUND = 3,
    PVX_ERR_ALREADY_OPENED = 4,
    PVX_ERR_INVALID_CAMERA_INDEX = 6,
    PVX_ERR_INVALID_CAMERA_HANDLE = 7,
    PVX_ERR_INVALID_NODE_HANDLE = 8,
    PVX_ERR_INVALID_STREAM_HANDLE = 9,
    PVX_ERR_INVALID_IMAGE_HANDLE = 12,
    PVX_ERR_INVALID_PARAMETER = 13,
    PVX_ERR_BUFFER_TOO_SMALL = 14,
    PVX_ERR_NO_MEMORY = 15,
    PVX_ERR_NOT_IMPLEMENTED = 17,
    PVX_ERR_EMPTY_COMPLETE_QUEUE = 20,
    PVX_ERR_NOT_READY = 21,
    PVX_ERR_GENICAM = 0x102,
    PVX_ERR_NOT_READABLE = 0x806,
    PVX_ERR_NOT_WRITABLE = 0x807,
    PVX_ERR_NOT_AVAILABLE = 0x808,
    PVX_ERR_UNSUCCESSFUL = 0xFFFFFFFFu
};

/* GenApi interface types, as pvxGetNodeType reports them. */
enum {
    PVX_NODE_INTEGER = 2,
    PVX_NODE_BOOLEAN = 3,
    PVX_NODE_COMMAND = 4,
    PVX_NODE_FLOAT = 5,
    PVX_NODE_STRING = 6,
    PVX_NODE_REGISTER = 7,
    PVX_NODE_CATEGORY = 8,
    PVX_NODE_ENUMERATION = 9
};

/* GenApi access modes, as pvxGetNodeAccess reports them. */
enum { PVX_ACCESS_NI = 0, PVX_ACCESS_NA = 1, PVX_ACCESS_WO = 2, PVX_ACCESS_RO = 3, PVX_ACCESS_RW = 4 };

/* PFNC pixel format codes the family delivers. */
enum {
    PVX_PIXEL_MONO8 = 0x01080001u,
    PVX_PIXEL_MONO10 = 0x01100003u,
    PVX_PIXEL_MONO12 = 0x01100005u,
    PVX_PIXEL_MONO16 = 0x01100007u,
    PVX_PIXEL_BAYER_GR8 = 0x01080008u,
    PVX_PIXEL_BAYER_RG8 = 0x01080009u,
    PVX_PIXEL_BAYER_GB8 = 0x0108000Au,
    PVX_PIXEL_BAYER_BG8 = 0x0108000Bu,
    PVX_PIXEL_RGB8 = 0x02180014u,
    PVX_PIXEL_BGR8 = 0x02180015u,
    PVX_PIXEL_YUV422_8 = 0x02100032u
};

/* Register that stops the camera's image output before a stream is stopped. */
#define PVX_REG_ACQUISITION_STOP 0x0020303Cu

/* Camera information record, 2044 bytes: three NUL-terminated identification texts
 * (vendor, model, description) at bytes 4, 68 and 132. */
typedef struct PvxCameraInfo {
    uint32_t uiIndex;
    char szVendor[64];
    char szModel[64];
    char szDescription[64];
    char szSerial[64];
    uint8_t reserved[2044 - 4 - 4 * 64];
} PvxCameraInfo;

/* Image record filled by pvxLockImage, 80 bytes. */
typedef struct PvxImageRecord {
    uint32_t uiSize;        /* bytes 0..3: size of this record (80) */
    uint32_t uiIndex;       /* bytes 4..7: buffer index */
    uint32_t uiPixelFormat; /* byte 8: PFNC code */
    uint32_t uiWidth;       /* byte 12 */
    uint32_t uiHeight;      /* byte 16 */
    uint32_t uiReserved0;
    uint64_t ullFrameId;   /* byte 24: frame number since the stream started */
    uint64_t ullTimestamp; /* byte 32: microseconds */
    void* pData;           /* byte 40: first byte of the pixel data */
    uint32_t uiDataBytes;  /* byte 48: byte size of the pixel data */
    uint8_t reserved[80 - 52];
} PvxImageRecord;

/* ---- library and enumeration ---- */

/* Initialises the library. Returns 0, or 2 when it was initialised already; both
 * mean ready. Cameras are (re)enumerated by every call. */
PVX_EXPORT PvxStatus PVX_CALL pvxInitLibrary(uint32_t uiMode);
/* Number of cameras found by the last pvxInitLibrary. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetCameraCount(int32_t* piCount);
/* Text describing the last failure of the calling process; *puiSize in: capacity
 * of pszText, out: bytes written including the NUL. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetLastErrorText(char* pszText, uint32_t* puiSize);

/* ---- camera ---- */

/* Opens camera uiIndex (0-based enumeration index). The reserved arguments are 0,
 * bExclusive true, uiMode 1. */
PVX_EXPORT PvxStatus PVX_CALL pvxOpenCamera(uint32_t uiIndex, PvxHandle* phCam, uint64_t ullReserved1,
                                            bool bExclusive, uint64_t ullReserved2, uint32_t uiMode);
PVX_EXPORT PvxStatus PVX_CALL pvxCloseCamera(PvxHandle hCam);
PVX_EXPORT PvxStatus PVX_CALL pvxGetCameraInfo(PvxHandle hCam, uint32_t uiIndex, PvxCameraInfo* pInfo);
/* Writes uiCount 32-bit words starting at register ullAddress. */
PVX_EXPORT PvxStatus PVX_CALL pvxWriteRegister(PvxHandle hCam, uint64_t ullAddress, uint32_t uiCount,
                                               const uint32_t* puiValues);
PVX_EXPORT PvxStatus PVX_CALL pvxSetExposureControl(PvxHandle hCam, uint32_t uiMode);

/* ---- stream ---- */

/* Opens the camera's stream with uiBuffers image buffers; writes the byte size of
 * one image to *puiFrameBytes. hEvent is signalled once per completed image, from
 * the library's own thread, from pvxStartStream until pvxStopStream. */
PVX_EXPORT PvxStatus PVX_CALL pvxOpenStream(PvxHandle hCam, PvxHandle* phStrm, uint32_t* puiFrameBytes,
                                            PvxEvent hEvent, uint32_t uiBuffers, uint32_t uiFlags);
PVX_EXPORT PvxStatus PVX_CALL pvxStartStream(PvxHandle hStrm, uint32_t uiBuffers);
PVX_EXPORT PvxStatus PVX_CALL pvxStopStream(PvxHandle hStrm);
PVX_EXPORT PvxStatus PVX_CALL pvxCloseStream(PvxHandle hStrm);
/* Index of the newest completed image; 20 when none has completed. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetCompletedImage(PvxHandle hStrm, uint32_t* puiIndex);
/* Locks image uiIndex: it is not overwritten until released. Fills *pRecord. */
PVX_EXPORT PvxStatus PVX_CALL pvxLockImage(PvxHandle hStrm, uint32_t uiIndex, PvxImageRecord* pRecord);
/* Copies the pixel data of the image locked last into pDest; *puiSize in: bytes to
 * copy at most, out: bytes copied. */
PVX_EXPORT PvxStatus PVX_CALL pvxCopyImageData(PvxHandle hStrm, void* pDest, uint32_t* puiSize,
                                               uint32_t uiFlags);
PVX_EXPORT PvxStatus PVX_CALL pvxReleaseImage(PvxHandle hStrm, uint32_t uiIndex);

/* ---- geometry and format ---- */

PVX_EXPORT PvxStatus PVX_CALL pvxGetSensorWidth(PvxHandle hCam, uint32_t* puiValue);
PVX_EXPORT PvxStatus PVX_CALL pvxGetSensorHeight(PvxHandle hCam, uint32_t* puiValue);
PVX_EXPORT PvxStatus PVX_CALL pvxGetRoi(PvxHandle hCam, uint32_t* puiWidth, uint32_t* puiHeight,
                                        uint32_t* puiOffsetX, uint32_t* puiOffsetY);
PVX_EXPORT PvxStatus PVX_CALL pvxSetRoi(PvxHandle hCam, uint32_t uiWidth, uint32_t uiHeight,
                                        uint32_t uiOffsetX, uint32_t uiOffsetY);
PVX_EXPORT PvxStatus PVX_CALL pvxGetWidthRange(PvxHandle hCam, uint32_t* puiMin, uint32_t* puiMax,
                                               uint32_t* puiInc);
PVX_EXPORT PvxStatus PVX_CALL pvxGetWidth(PvxHandle hCam, uint32_t* puiValue);
PVX_EXPORT PvxStatus PVX_CALL pvxGetHeightRange(PvxHandle hCam, uint32_t* puiMin, uint32_t* puiMax,
                                                uint32_t* puiInc);
PVX_EXPORT PvxStatus PVX_CALL pvxGetHeight(PvxHandle hCam, uint32_t* puiValue);
PVX_EXPORT PvxStatus PVX_CALL pvxGetOffsetXRange(PvxHandle hCam, uint32_t* puiMin, uint32_t* puiMax,
                                                 uint32_t* puiInc);
PVX_EXPORT PvxStatus PVX_CALL pvxGetOffsetX(PvxHandle hCam, uint32_t* puiValue);
PVX_EXPORT PvxStatus PVX_CALL pvxGetOffsetYRange(PvxHandle hCam, uint32_t* puiMin, uint32_t* puiMax,
                                                 uint32_t* puiInc);
PVX_EXPORT PvxStatus PVX_CALL pvxGetOffsetY(PvxHandle hCam, uint32_t* puiValue);
PVX_EXPORT PvxStatus PVX_CALL pvxGetFrameByteSize(PvxHandle hCam, uint32_t* puiValue);
/* Current pixel format as a PFNC code. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetPixelFormat(PvxHandle hCam, uint32_t* puiValue);
/* Bits per pixel of the current format. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetImageProperty(PvxHandle hCam, uint32_t* puiValue);

/* ---- exposure, contrast, brightness (exposure in microseconds) ---- */

PVX_EXPORT PvxStatus PVX_CALL pvxGetExposureTimeRange(PvxHandle hCam, double* pdMin, double* pdMax);
PVX_EXPORT PvxStatus PVX_CALL pvxGetExposureTime(PvxHandle hCam, double* pdValue);
PVX_EXPORT PvxStatus PVX_CALL pvxSetExposureTime(PvxHandle hCam, double dValue);
PVX_EXPORT PvxStatus PVX_CALL pvxGetContrastRange(PvxHandle hCam, double* pdMin, double* pdMax);
PVX_EXPORT PvxStatus PVX_CALL pvxGetContrast(PvxHandle hCam, double* pdValue);
PVX_EXPORT PvxStatus PVX_CALL pvxSetContrast(PvxHandle hCam, double dValue);
PVX_EXPORT PvxStatus PVX_CALL pvxGetBrightnessRange(PvxHandle hCam, double* pdMin, double* pdMax);
PVX_EXPORT PvxStatus PVX_CALL pvxGetBrightness(PvxHandle hCam, double* pdValue);
PVX_EXPORT PvxStatus PVX_CALL pvxSetBrightness(PvxHandle hCam, double dValue);

/* ---- trigger ---- */

PVX_EXPORT PvxStatus PVX_CALL pvxSetTriggerMode(PvxHandle hCam, bool bTriggered);
/* Bit 0 of the polarity word: 1 = low-to-high edge. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetTriggerPolarity(PvxHandle hCam, uint32_t* puiWord);
PVX_EXPORT PvxStatus PVX_CALL pvxSetTriggerPolarity(PvxHandle hCam, uint32_t uiWord);

/* ---- GenICam nodes ---- */

PVX_EXPORT PvxStatus PVX_CALL pvxGetNode(PvxHandle hCam, const char* pszName, PvxHandle* phNode);
PVX_EXPORT PvxStatus PVX_CALL pvxGetNodeType(PvxHandle hCam, PvxHandle hNode, uint32_t* puiType);
PVX_EXPORT PvxStatus PVX_CALL pvxGetNodeAccess(PvxHandle hCam, PvxHandle hNode, uint32_t* puiAccess);
/* *puiSize in: capacity of pszText, out: bytes written including the NUL. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetNodeDescription(PvxHandle hCam, PvxHandle hNode, char* pszText,
                                                    uint32_t* puiSize);
/* bVerify on reads: check the node's limits; bIgnoreCache: read the camera. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetIntValue(PvxHandle hCam, PvxHandle hNode, int64_t* pllValue, bool bVerify,
                                             bool bIgnoreCache);
PVX_EXPORT PvxStatus PVX_CALL pvxSetIntValue(PvxHandle hCam, PvxHandle hNode, int64_t llValue, bool bVerify);
PVX_EXPORT PvxStatus PVX_CALL pvxGetIntMin(PvxHandle hCam, PvxHandle hNode, int64_t* pllValue);
PVX_EXPORT PvxStatus PVX_CALL pvxGetIntMax(PvxHandle hCam, PvxHandle hNode, int64_t* pllValue);
PVX_EXPORT PvxStatus PVX_CALL pvxGetFloatValue(PvxHandle hCam, PvxHandle hNode, double* pdValue, bool bVerify,
                                               bool bIgnoreCache);
/* A value outside the node's limits gives 258 and a last-error text containing
 * "greater" (a greater value is needed) or "smaller". */
PVX_EXPORT PvxStatus PVX_CALL pvxSetFloatValue(PvxHandle hCam, PvxHandle hNode, double dValue, bool bVerify);
PVX_EXPORT PvxStatus PVX_CALL pvxGetFloatMin(PvxHandle hCam, PvxHandle hNode, double* pdValue);
PVX_EXPORT PvxStatus PVX_CALL pvxGetFloatMax(PvxHandle hCam, PvxHandle hNode, double* pdValue);
/* Display precision in decimals. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetFloatPrecision(PvxHandle hCam, PvxHandle hNode, int64_t* pllPrecision);
PVX_EXPORT PvxStatus PVX_CALL pvxGetBoolValue(PvxHandle hCam, PvxHandle hNode, bool* pbValue, bool bVerify,
                                              bool bIgnoreCache);
PVX_EXPORT PvxStatus PVX_CALL pvxSetBoolValue(PvxHandle hCam, PvxHandle hNode, bool bValue, bool bVerify);
/* Text reads write at most uiCapacity bytes including the NUL. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetStringValue(PvxHandle hCam, PvxHandle hNode, char* pszValue,
                                                uint32_t uiCapacity, bool bVerify, bool bIgnoreCache);
PVX_EXPORT PvxStatus PVX_CALL pvxSetStringValue(PvxHandle hCam, PvxHandle hNode, const char* pszValue,
                                                bool bVerify);
PVX_EXPORT PvxStatus PVX_CALL pvxGetEnumValueText(PvxHandle hCam, PvxHandle hNode, char* pszValue,
                                                  uint32_t uiCapacity, bool bVerify, bool bIgnoreCache);
PVX_EXPORT PvxStatus PVX_CALL pvxSetEnumValueText(PvxHandle hCam, PvxHandle hNode, const char* pszValue,
                                                  bool bVerify);
PVX_EXPORT PvxStatus PVX_CALL pvxGetEnumEntryCount(PvxHandle hCam, PvxHandle hNode, uint32_t* puiCount);
/* Entry uiIndex of the enumeration, in the node's own order, as a node handle whose
 * access mode pvxGetNodeAccess reads. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetEnumEntry(PvxHandle hCam, PvxHandle hNode, uint32_t uiIndex,
                                              PvxHandle* phEntry);
/* Symbol of an entry; *puiSize in: capacity, out: bytes written including the NUL. */
PVX_EXPORT PvxStatus PVX_CALL pvxGetEnumEntryName(PvxHandle hCam, PvxHandle hEntry, char* pszName,
                                                  uint32_t* puiSize);
PVX_EXPORT PvxStatus PVX_CALL pvxExecuteCommand(PvxHandle hCam, PvxHandle hNode, bool bVerify);
PVX_EXPORT PvxStatus PVX_CALL pvxIsCommandDone(PvxHandle hCam, PvxHandle hNode, bool* pbDone, bool bVerify);

/* ---- utility library (QuorvexUtl64) ---- */

PVX_EXPORT PvxStatus PVX_CALL pvxUtlInit(void);
/* Converts one image of uiWidth x uiHeight pixels in a Bayer 8-bit format (GR, RG, GB,
 * BG), RGB8 or BGR8 into three planes of uiWidth * uiHeight bytes each: red, green and
 * blue. Writes only inside the three planes. Any other format gives 13. */
PVX_EXPORT PvxStatus PVX_CALL pvxConvertToPlanes(uint32_t uiPixelFormat, uint8_t* pRed, uint8_t* pGreen,
                                                 uint8_t* pBlue, const void* pSource, uint32_t uiWidth,
                                                 uint32_t uiHeight);

#ifdef __cplusplus
}

static_assert(sizeof(PvxCameraInfo) == 2044, "camera information record");
static_assert(offsetof(PvxCameraInfo, szVendor) == 4 && offsetof(PvxCameraInfo, szModel) == 68 &&
                  offsetof(PvxCameraInfo, szDescription) == 132,
              "camera information record");
static_assert(sizeof(PvxImageRecord) == 80, "image record");
static_assert(offsetof(PvxImageRecord, uiPixelFormat) == 8 && offsetof(PvxImageRecord, pData) == 40 &&
                  offsetof(PvxImageRecord, uiDataBytes) == 48,
              "image record");
#endif

#endif
