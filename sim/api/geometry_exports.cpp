// Exports: sensor size, region of interest and its ranges, frame size and pixel format.
#include "camlib/pixel_format.h"
#include "sim/api/export_support.h"
#include "sim/core/call_gate.h"

using namespace sim;

namespace {

PvxStatus GetRange(PvxHandle hCam, RoiAxis axis, uint32_t* puiMin, uint32_t* puiMax, uint32_t* puiInc) {
    if (!puiMin || !puiMax || !puiInc)
        return camlib::NullArgument("a range pointer");
    return WithCamera(hCam, [&](Camera& camera) {
        const RangeSetting& range = camera.Range(axis);
        *puiMin = range.min;
        *puiMax = range.max;
        *puiInc = range.inc;
        return PVX_OK;
    });
}

PvxStatus GetRoiValue(PvxHandle hCam, RoiAxis axis, uint32_t* puiValue) {
    if (!puiValue)
        return camlib::NullArgument("puiValue");
    return WithCamera(hCam, [&](Camera& camera) {
        *puiValue = camera.RoiValue(axis);
        return PVX_OK;
    });
}

// A value of the camera that needs no further argument.
template <typename Read> PvxStatus GetCameraValue(PvxHandle hCam, uint32_t* puiValue, Read read) {
    if (!puiValue)
        return camlib::NullArgument("puiValue");
    return WithCamera(hCam, [&](Camera& camera) {
        *puiValue = read(camera);
        return PVX_OK;
    });
}

} // namespace

PVX_EXPORT PvxStatus PVX_CALL pvxGetSensorWidth(PvxHandle hCam, uint32_t* puiValue) {
    if (const auto fault = EnterCall(camlib::Operation::GetSensorWidth, OnCamera(hCam)))
        return *fault;
    return GetCameraValue(hCam, puiValue, [](Camera& camera) { return camera.SensorWidth(); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetSensorHeight(PvxHandle hCam, uint32_t* puiValue) {
    if (const auto fault = EnterCall(camlib::Operation::GetSensorHeight, OnCamera(hCam)))
        return *fault;
    return GetCameraValue(hCam, puiValue, [](Camera& camera) { return camera.SensorHeight(); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetRoi(PvxHandle hCam, uint32_t* puiWidth, uint32_t* puiHeight,
                                        uint32_t* puiOffsetX, uint32_t* puiOffsetY) {
    if (const auto fault = EnterCall(camlib::Operation::GetRoi, OnCamera(hCam)))
        return *fault;
    if (!puiWidth || !puiHeight || !puiOffsetX || !puiOffsetY)
        return camlib::NullArgument("a region pointer");
    return WithCamera(hCam, [&](Camera& camera) {
        camera.RoiReadBack(*puiWidth, *puiHeight, *puiOffsetX, *puiOffsetY);
        return PVX_OK;
    });
}

PVX_EXPORT PvxStatus PVX_CALL pvxSetRoi(PvxHandle hCam, uint32_t uiWidth, uint32_t uiHeight,
                                        uint32_t uiOffsetX, uint32_t uiOffsetY) {
    if (const auto fault = EnterCall(camlib::Operation::SetRoi, OnCamera(hCam)))
        return *fault;
    return WithCamera(hCam,
                      [&](Camera& camera) { return camera.SetRoi(uiWidth, uiHeight, uiOffsetX, uiOffsetY); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetWidthRange(PvxHandle hCam, uint32_t* puiMin, uint32_t* puiMax,
                                               uint32_t* puiInc) {
    if (const auto fault = EnterCall(camlib::Operation::GetWidthRange, OnCamera(hCam)))
        return *fault;
    return GetRange(hCam, RoiAxis::Width, puiMin, puiMax, puiInc);
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetWidth(PvxHandle hCam, uint32_t* puiValue) {
    if (const auto fault = EnterCall(camlib::Operation::GetWidth, OnCamera(hCam)))
        return *fault;
    return GetRoiValue(hCam, RoiAxis::Width, puiValue);
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetHeightRange(PvxHandle hCam, uint32_t* puiMin, uint32_t* puiMax,
                                                uint32_t* puiInc) {
    if (const auto fault = EnterCall(camlib::Operation::GetHeightRange, OnCamera(hCam)))
        return *fault;
    return GetRange(hCam, RoiAxis::Height, puiMin, puiMax, puiInc);
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetHeight(PvxHandle hCam, uint32_t* puiValue) {
    if (const auto fault = EnterCall(camlib::Operation::GetHeight, OnCamera(hCam)))
        return *fault;
    return GetRoiValue(hCam, RoiAxis::Height, puiValue);
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetOffsetXRange(PvxHandle hCam, uint32_t* puiMin, uint32_t* puiMax,
                                                 uint32_t* puiInc) {
    if (const auto fault = EnterCall(camlib::Operation::GetOffsetXRange, OnCamera(hCam)))
        return *fault;
    return GetRange(hCam, RoiAxis::OffsetX, puiMin, puiMax, puiInc);
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetOffsetX(PvxHandle hCam, uint32_t* puiValue) {
    if (const auto fault = EnterCall(camlib::Operation::GetOffsetX, OnCamera(hCam)))
        return *fault;
    return GetRoiValue(hCam, RoiAxis::OffsetX, puiValue);
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetOffsetYRange(PvxHandle hCam, uint32_t* puiMin, uint32_t* puiMax,
                                                 uint32_t* puiInc) {
    if (const auto fault = EnterCall(camlib::Operation::GetOffsetYRange, OnCamera(hCam)))
        return *fault;
    return GetRange(hCam, RoiAxis::OffsetY, puiMin, puiMax, puiInc);
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetOffsetY(PvxHandle hCam, uint32_t* puiValue) {
    if (const auto fault = EnterCall(camlib::Operation::GetOffsetY, OnCamera(hCam)))
        return *fault;
    return GetRoiValue(hCam, RoiAxis::OffsetY, puiValue);
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetFrameByteSize(PvxHandle hCam, uint32_t* puiValue) {
    if (const auto fault = EnterCall(camlib::Operation::GetFrameByteSize, OnCamera(hCam)))
        return *fault;
    return GetCameraValue(hCam, puiValue, [](Camera& camera) { return camera.FrameBytes(); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetPixelFormat(PvxHandle hCam, uint32_t* puiValue) {
    if (const auto fault = EnterCall(camlib::Operation::GetPixelFormat, OnCamera(hCam)))
        return *fault;
    return GetCameraValue(hCam, puiValue, [](Camera& camera) { return camera.PixelFormat(); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetImageProperty(PvxHandle hCam, uint32_t* puiValue) {
    if (const auto fault = EnterCall(camlib::Operation::GetImageProperty, OnCamera(hCam)))
        return *fault;
    return GetCameraValue(hCam, puiValue,
                          [](Camera& camera) { return camlib::BitsPerPixel(camera.PixelFormat()); });
}
