// Exports: opening and closing cameras, their information, the stop register and the
// exposure control.
#include "aravis/api/export_support.h"

#include <algorithm>
#include <cstring>

using namespace arv_backend;

namespace {

// An identification text of the camera, "" when it has none or it cannot be read.
std::string DeviceText(Camera& camera, const char* feature) {
    if (!arv_device_get_feature(camera.Device(), feature))
        return {};
    GError* error = nullptr;
    const char* value = arv_device_get_string_feature_value(camera.Device(), feature, &error);
    g_clear_error(&error);
    return value ? value : "";
}

void CopyField(const std::string& text, char (&field)[64]) {
    const size_t bytes = std::min(text.size(), sizeof field - 1);
    std::memcpy(field, text.data(), bytes);
    field[bytes] = '\0';
}

} // namespace

// The reserved arguments and the mode carry no choice under Aravis: a GigE Vision
// camera is always opened for exclusive control.
PVX_EXPORT PvxStatus PVX_CALL pvxOpenCamera(uint32_t uiIndex, PvxHandle* phCam, uint64_t /*ullReserved1*/,
                                            bool /*bExclusive*/, uint64_t /*ullReserved2*/,
                                            uint32_t /*uiMode*/) {
    if (!phCam)
        return camlib::NullArgument("phCam");
    return camlib::Guarded([&] { return Registry::Instance().OpenCamera(uiIndex, *phCam); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxCloseCamera(PvxHandle hCam) {
    return camlib::Guarded([&] { return Registry::Instance().CloseCamera(hCam); });
}

// Aravis has no description text: the manufacturer's information, else the device
// version, else the serial number stands for it.
PVX_EXPORT PvxStatus PVX_CALL pvxGetCameraInfo(PvxHandle hCam, uint32_t uiIndex, PvxCameraInfo* pInfo) {
    if (!pInfo)
        return camlib::NullArgument("pInfo");
    return WithCamera(hCam, [&](Camera& camera) -> PvxStatus {
        std::memset(pInfo, 0, sizeof *pInfo);
        pInfo->uiIndex = uiIndex;
        std::string serial = DeviceText(camera, "DeviceSerialNumber");
        if (serial.empty())
            serial = DeviceText(camera, "DeviceID");
        std::string description = DeviceText(camera, "DeviceManufacturerInfo");
        if (description.empty())
            description = DeviceText(camera, "DeviceVersion");
        if (description.empty())
            description = serial;
        CopyField(DeviceText(camera, "DeviceVendorName"), pInfo->szVendor);
        CopyField(DeviceText(camera, "DeviceModelName"), pInfo->szModel);
        CopyField(description, pInfo->szDescription);
        CopyField(serial, pInfo->szSerial);
        return PVX_OK;
    });
}

// Register writes never reach a real camera as they are: the one address the adapter
// writes, its acquisition-stop register, becomes AcquisitionStop; any other is refused.
PVX_EXPORT PvxStatus PVX_CALL pvxWriteRegister(PvxHandle hCam, uint64_t ullAddress, uint32_t uiCount,
                                               const uint32_t* puiValues) {
    if (!puiValues)
        return camlib::NullArgument("puiValues");
    return WithCamera(hCam, [&](Camera& camera) -> PvxStatus {
        if (ullAddress != PVX_REG_ACQUISITION_STOP || uiCount != 1)
            return camlib::Fail(PVX_ERR_NOT_IMPLEMENTED, "register " + std::to_string(ullAddress) +
                                                             " is not written to a GenICam camera");
        return StopAcquisition(*camera.Link(), camera.Arv(), "AcquisitionStop");
    });
}

// Mode 1, the adapter's: exposure set by the host, so automatic exposure goes off
// where the camera has it.
PVX_EXPORT PvxStatus PVX_CALL pvxSetExposureControl(PvxHandle hCam, uint32_t uiMode) {
    return WithCamera(hCam, [&](Camera& camera) -> PvxStatus {
        if (uiMode != 1 || !arv_camera_is_exposure_auto_available(camera.Arv(), nullptr))
            return PVX_OK;
        GError* error = nullptr;
        arv_camera_set_exposure_time_auto(camera.Arv(), ARV_AUTO_OFF, &error);
        return FromError(error, "ExposureAuto");
    });
}
