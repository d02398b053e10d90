// Exports: exposure time, contrast and brightness with their ranges.
#include "sim/api/export_support.h"
#include "sim/core/call_gate.h"

using namespace sim;

namespace {

PvxStatus GetLimits(PvxHandle hCam, Setting setting, double* pdMin, double* pdMax) {
    if (!pdMin || !pdMax)
        return camlib::NullArgument("a range pointer");
    return WithCamera(hCam, [&](Camera& camera) {
        *pdMin = camera.Limits(setting).min;
        *pdMax = camera.Limits(setting).max;
        return PVX_OK;
    });
}

PvxStatus GetValue(PvxHandle hCam, Setting setting, double* pdValue) {
    if (!pdValue)
        return camlib::NullArgument("pdValue");
    return WithCamera(hCam, [&](Camera& camera) {
        *pdValue = camera.Value(setting);
        return PVX_OK;
    });
}

PvxStatus SetValue(PvxHandle hCam, Setting setting, double dValue) {
    return WithCamera(hCam, [&](Camera& camera) { return camera.SetValue(setting, dValue); });
}

} // namespace

PVX_EXPORT PvxStatus PVX_CALL pvxGetExposureTimeRange(PvxHandle hCam, double* pdMin, double* pdMax) {
    if (const auto fault = EnterCall(camlib::Operation::GetExposureTimeRange, OnCamera(hCam)))
        return *fault;
    return GetLimits(hCam, Setting::Exposure, pdMin, pdMax);
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetExposureTime(PvxHandle hCam, double* pdValue) {
    if (const auto fault = EnterCall(camlib::Operation::GetExposureTime, OnCamera(hCam)))
        return *fault;
    return GetValue(hCam, Setting::Exposure, pdValue);
}

PVX_EXPORT PvxStatus PVX_CALL pvxSetExposureTime(PvxHandle hCam, double dValue) {
    if (const auto fault = EnterCall(camlib::Operation::SetExposureTime, OnCamera(hCam)))
        return *fault;
    return SetValue(hCam, Setting::Exposure, dValue);
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetContrastRange(PvxHandle hCam, double* pdMin, double* pdMax) {
    if (const auto fault = EnterCall(camlib::Operation::GetContrastRange, OnCamera(hCam)))
        return *fault;
    return GetLimits(hCam, Setting::Contrast, pdMin, pdMax);
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetContrast(PvxHandle hCam, double* pdValue) {
    if (const auto fault = EnterCall(camlib::Operation::GetContrast, OnCamera(hCam)))
        return *fault;
    return GetValue(hCam, Setting::Contrast, pdValue);
}

PVX_EXPORT PvxStatus PVX_CALL pvxSetContrast(PvxHandle hCam, double dValue) {
    if (const auto fault = EnterCall(camlib::Operation::SetContrast, OnCamera(hCam)))
        return *fault;
    return SetValue(hCam, Setting::Contrast, dValue);
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetBrightnessRange(PvxHandle hCam, double* pdMin, double* pdMax) {
    if (const auto fault = EnterCall(camlib::Operation::GetBrightnessRange, OnCamera(hCam)))
        return *fault;
    return GetLimits(hCam, Setting::Brightness, pdMin, pdMax);
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetBrightness(PvxHandle hCam, double* pdValue) {
    if (const auto fault = EnterCall(camlib::Operation::GetBrightness, OnCamera(hCam)))
        return *fault;
    return GetValue(hCam, Setting::Brightness, pdValue);
}

PVX_EXPORT PvxStatus PVX_CALL pvxSetBrightness(PvxHandle hCam, double dValue) {
    if (const auto fault = EnterCall(camlib::Operation::SetBrightness, OnCamera(hCam)))
        return *fault;
    return SetValue(hCam, Setting::Brightness, dValue);
}
