// Exports: opening and closing cameras, identification, registers, exposure control
// and trigger settings.
#include "sim/api/export_support.h"
#include "sim/core/call_gate.h"

using namespace sim;

// The reserved arguments, exclusivity and mode change nothing in the simulator: an
// open camera is always held exclusively.
PVX_EXPORT PvxStatus PVX_CALL pvxOpenCamera(uint32_t uiIndex, PvxHandle* phCam, uint64_t ullReserved1,
                                            bool bExclusive, uint64_t ullReserved2, uint32_t uiMode) {
    RecordArguments(camlib::Operation::OpenCamera, {uiIndex, ullReserved1, bExclusive, ullReserved2, uiMode});
    if (const auto fault = EnterCall(camlib::Operation::OpenCamera, OnCameraIndex(uiIndex)))
        return *fault;
    if (!phCam)
        return camlib::NullArgument("phCam");
    return camlib::Guarded([&] { return Registry::Instance().OpenCamera(uiIndex, *phCam); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxCloseCamera(PvxHandle hCam) {
    if (const auto fault = EnterCall(camlib::Operation::CloseCamera, OnCamera(hCam)))
        return *fault;
    return camlib::Guarded([&] { return Registry::Instance().CloseCamera(hCam); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetCameraInfo(PvxHandle hCam, uint32_t uiIndex, PvxCameraInfo* pInfo) {
    if (const auto fault = EnterCall(camlib::Operation::GetCameraInfo, OnCamera(hCam)))
        return *fault;
    if (!pInfo)
        return camlib::NullArgument("pInfo");
    return WithCamera(hCam, [&](Camera& camera) { return camera.GetInfo(uiIndex, *pInfo); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxWriteRegister(PvxHandle hCam, uint64_t ullAddress, uint32_t uiCount,
                                               const uint32_t* puiValues) {
    RecordArguments(camlib::Operation::WriteRegister,
                    {ullAddress, uiCount, puiValues && uiCount ? puiValues[0] : 0u});
    if (const auto fault = EnterCall(camlib::Operation::WriteRegister, OnCamera(hCam)))
        return *fault;
    if (!puiValues)
        return camlib::NullArgument("puiValues");
    if (uiCount == 0)
        return camlib::Fail(PVX_ERR_INVALID_PARAMETER, "a register write needs at least one word");
    return WithCamera(hCam,
                      [&](Camera& camera) { return camera.WriteRegister(ullAddress, uiCount, puiValues); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxSetExposureControl(PvxHandle hCam, uint32_t uiMode) {
    RecordArguments(camlib::Operation::SetExposureControl, {uiMode});
    if (const auto fault = EnterCall(camlib::Operation::SetExposureControl, OnCamera(hCam)))
        return *fault;
    return WithCamera(hCam, [&](Camera& camera) { return camera.SetExposureControl(uiMode); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxSetTriggerMode(PvxHandle hCam, bool bTriggered) {
    if (const auto fault = EnterCall(camlib::Operation::SetTriggerMode, OnCamera(hCam)))
        return *fault;
    return WithCamera(hCam, [&](Camera& camera) {
        camera.SetTriggerMode(bTriggered);
        return PVX_OK;
    });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetTriggerPolarity(PvxHandle hCam, uint32_t* puiWord) {
    if (const auto fault = EnterCall(camlib::Operation::GetTriggerPolarity, OnCamera(hCam)))
        return *fault;
    if (!puiWord)
        return camlib::NullArgument("puiWord");
    return WithCamera(hCam, [&](Camera& camera) {
        *puiWord = camera.TriggerPolarity();
        return PVX_OK;
    });
}

PVX_EXPORT PvxStatus PVX_CALL pvxSetTriggerPolarity(PvxHandle hCam, uint32_t uiWord) {
    RecordArguments(camlib::Operation::SetTriggerPolarity, {uiWord});
    if (const auto fault = EnterCall(camlib::Operation::SetTriggerPolarity, OnCamera(hCam)))
        return *fault;
    return WithCamera(hCam, [&](Camera& camera) {
        camera.SetTriggerPolarity(uiWord);
        return PVX_OK;
    });
}
