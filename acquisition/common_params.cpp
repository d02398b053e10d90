// The common-settings slot: region, exposure, contrast, brightness, trigger, limits.
#include "acquisition/common_params.h"

#include "camera/region.h"
#include "channel/slot_guard.h"

namespace {

constexpr const char* kName = "SetupCommonParams";
// Only the low sixteen bits of the polarity word are kept, bit 0 replaced.
constexpr uint32_t kPolarityKeepMask = 0xFFFE;

void TraceParams(const CommonParamsRecord& params) {
    AIK_TRACE("  exposure:%f\n", params.exposure);
    AIK_TRACE("  contrast:%f\n", params.contrast);
    AIK_TRACE("  brightness:%f\n", params.brightness);
    AIK_TRACE("  roix:%d\n", params.roix);
    AIK_TRACE("  roiy:%d\n", params.roiy);
    AIK_TRACE("  roiwidth:%d\n", params.roiwidth);
    AIK_TRACE("  roiheight:%d\n", params.roiheight);
    AIK_TRACE("  acqContinuous:%d\n", params.acqContinuous);
    AIK_TRACE("  acqTriggered:%d\n", params.acqTriggered);
    AIK_TRACE("  acqTriggerLowToHigh:%d\n", params.acqTriggerLowToHigh);
}

// A host fraction of the camera's range, sent only when it differs from the one last
// applied (a NaN always differs).
PvxStatus ApplyFraction(PvxStatus (*set)(PvxHandle, double), const CameraDevice& cam, double fraction,
                        double lo, double hi, double& applied) {
    if (fraction == applied)
        return PVX_OK;
    const PvxStatus status = set(cam.m_hCam, (hi - lo) * fraction + lo);
    if (status == PVX_OK)
        applied = fraction;
    return status;
}

// Softly: a camera that refuses the polarity still takes the other settings.
void ApplyTriggerPolarity(const CameraDevice& cam, int32_t lowToHigh) {
    uint32_t word = 0;
    PvxStatus status = pvxGetTriggerPolarity(cam.m_hCam, &word);
    if (status == PVX_OK)
        status = pvxSetTriggerPolarity(cam.m_hCam,
                                       (word & kPolarityKeepMask) + (static_cast<uint32_t>(lowToHigh) & 1u));
    if (status != PVX_OK)
        AIK_LOG(LOG_WARN, "EXIT : %s, SetTriggerPolarity Err", kName);
}

int32_t FailStep(char* errText, PvxStatus status, const char* step) {
    SetResultText(errText, status);
    AIK_LOG(LOG_ERROR, "EXIT : %s, %s(%s)", kName, ResultMessage(status), step);
    return 1;
}

int32_t ApplyParams(char* errText, CameraDevice& cam, const CommonParamsRecord& params) {
    PvxStatus status =
        SetRoi(cam, static_cast<uint32_t>(params.roix), static_cast<uint32_t>(params.roiy),
               static_cast<uint32_t>(params.roiwidth), static_cast<uint32_t>(params.roiheight));
    if (status != PVX_OK)
        return FailStep(errText, status, "SetRoi");
    status = SetExposureTime(cam, params.exposure);
    if (status != PVX_OK)
        return FailStep(errText, status, "SetExposureTime");
    status = ApplyFraction(pvxSetContrast, cam, params.contrast, cam.m_dContrastMin, cam.m_dContrastMax,
                           cam.m_dContrastSet);
    if (status != PVX_OK)
        return FailStep(errText, status, "SetContrast");
    status = ApplyFraction(pvxSetBrightness, cam, params.brightness, cam.m_dBrightnessMin,
                           cam.m_dBrightnessMax, cam.m_dBrightnessSet);
    if (status != PVX_OK)
        return FailStep(errText, status, "SetBrightness");
    cam.m_bAcqContinuous = params.acqContinuous != 0;
    cam.m_bAcqTriggered = params.acqTriggered != 0;
    status = pvxSetTriggerMode(cam.m_hCam, cam.m_bAcqTriggered);
    if (status != PVX_OK)
        return FailStep(errText, status, "SetTriggerMode");
    ApplyTriggerPolarity(cam, params.acqTriggerLowToHigh);
    status = UpdateCamSetInfo(cam);
    if (status != PVX_OK)
        return FailStep(errText, status, "UpdateCamSetInfo");
    AIK_LOG(LOG_INFO, "EXIT : %s", kName);
    return 0;
}

} // namespace

int32_t AIK_CALL SetupCommonParams(char* errText, int64_t channelID, const CommonParamsRecord* params) {
    AIK_LOG(LOG_INFO, "ENTER: %s, channelID=%d", kName, static_cast<int>(channelID));
    return GuardedSlot(kName, errText, [&] {
        TraceParams(*params);
        CameraDevice* cam = ResolveOrReject(kName, errText, channelID);
        if (cam == nullptr)
            return 1;
        return ApplyParams(errText, *cam, *params);
    });
}
