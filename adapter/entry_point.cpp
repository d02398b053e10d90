// GetVideoChannel: the entry point, and filling the host's VideoChannelRecord.
#include "adapter/entry_point.h"

#include "acquisition/acquisition_slots.h"
#include "acquisition/common_params.h"
#include "acquisition/image_delivery.h"
#include "adapter/adapter_lifecycle.h"
#include "channel/registry.h"
#include "channel/slot_guard.h"
#include "features/feature_info_slots.h"
#include "features/value_slots.h"

#include <cstdio>

namespace {

constexpr double kMicrosecondsPerSecond = 1000000.0;

// Where value lies in [lo, hi], clamped to 0..1. A range of zero width gives 0
// rather than a division by zero.
double FractionOfRange(double value, double lo, double hi) {
    if (!(hi > lo) && !(hi < lo))
        return 0.0;
    double r = (value - lo) / (hi - lo);
    return r < 0.0 ? 0.0 : r > 1.0 ? 1.0 : r;
}

} // namespace

int32_t initializeSampleVideoChannel(VideoChannelRecord* rec, int32_t deviceNum) {
    AIK_TRACE("  <initializeSampleVideoChannel>\n");
    CameraDevice& cam = *g_camDevice[static_cast<uint32_t>(deviceNum)];
    rec->channelID = deviceNum;
    rec->SetupCommonParams = SetupCommonParams;
    rec->GetImageAttributes = GetImageAttributes;
    rec->WaitForIntegration = WaitForIntegration;
    rec->GetImage = GetImage;
    rec->StartAcquisition = StartAcquisition;
    rec->StopAcquisition = StopAcquisition;
    rec->ExecuteCommand = ExecuteCommand;
    rec->ReadValue = ReadValue;
    rec->WriteValue = WriteValue;

    double value = 0;
    if (pvxGetExposureTime(cam.m_hCam, &value) == PVX_OK)
        rec->exposure = value / kMicrosecondsPerSecond;
    rec->minExposure = cam.m_dExposureMin / kMicrosecondsPerSecond;
    if (pvxGetContrast(cam.m_hCam, &value) == PVX_OK)
        rec->contrast = FractionOfRange(value, cam.m_dContrastMin, cam.m_dContrastMax);
    if (pvxGetBrightness(cam.m_hCam, &value) == PVX_OK) {
        // Unlike contrast, a brightness outside its range reads as 0 before scaling.
        if (value < cam.m_dBrightnessMin || value > cam.m_dBrightnessMax)
            value = 0;
        rec->brightness = FractionOfRange(value, cam.m_dBrightnessMin, cam.m_dBrightnessMax);
    }
    rec->sensorWidth = cam.m_uiSensorWidth;
    rec->sensorHeight = cam.m_uiSensorHeight;
    snprintf(rec->name, sizeof rec->name, "%s %s(AIK)", cam.m_camInfo.szVendor, cam.m_camInfo.szModel);
    snprintf(rec->description, sizeof rec->description, "%s", cam.m_camInfo.szDescription);

    if (rec->recordLevel > AIK_RECORD_LEVEL_EXTENDED) {
        rec->GetFeatureName = GetFeatureName;
        rec->GetFeatureType = GetFeatureType;
        rec->GetValidEnum = GetValidEnum;
        rec->GetFeatureAttr = GetFeatureAttr;
        rec->ReleaseVideoChannel = ReleaseVideoChannel;
    }
    return 0;
}

AIK_EXPORT int32_t AIK_CALL GetVideoChannel(char* errText, uint32_t deviceNum, VideoChannelRecord* rec) {
    static constexpr const char* kName = "GetVideoChannel";
    AIK_LOG(LOG_INFO, "ENTER: %s, deviceNum=%ld", kName, static_cast<long>(deviceNum));
    return GuardedSlot(kName, errText, [&] {
        if (deviceNum == 0) {
            const PvxStatus status = initializeAdapter();
            if (status != PVX_OK)
                return FailSlot(kName, errText, status);
        }
        AIK_TRACE("  uiCamNum = %d\n", static_cast<int>(g_camDevice.size()));
        if (deviceNum >= g_camDevice.size()) {
            AIK_LOG(LOG_INFO, "EXIT : %s, return=1", kName);
            return 1;
        }
        initializeSampleVideoChannel(rec, static_cast<int32_t>(deviceNum));
        AIK_LOG(LOG_INFO, "EXIT : %s", kName);
        return 0;
    });
}
