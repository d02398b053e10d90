// Exports: sensor size, region of interest and its limits, frame size, pixel format.
#include "aravis/api/export_support.h"

using namespace arv_backend;

namespace {

using Bounds = void (*)(ArvCamera*, gint*, gint*, GError**);
using Increment = gint (*)(ArvCamera*, GError**);

PvxStatus GetRange(PvxHandle hCam, uint32_t* min, uint32_t* max, uint32_t* inc, Bounds bounds,
                   Increment increment, const char* what) {
    if (!min || !max || !inc)
        return camlib::NullArgument("a range output");
    return WithCamera(hCam, [&](Camera& camera) -> PvxStatus {
        GError* error = nullptr;
        gint low = 0;
        gint high = 0;
        bounds(camera.Arv(), &low, &high, &error);
        const gint step = error ? 0 : increment(camera.Arv(), &error);
        if (error)
            return FromError(error, what);
        *min = static_cast<uint32_t>(low);
        *max = static_cast<uint32_t>(high);
        *inc = static_cast<uint32_t>(step > 0 ? step : 1);
        return PVX_OK;
    });
}

PvxStatus GetInteger(PvxHandle hCam, uint32_t* value, const char* feature) {
    if (!value)
        return camlib::NullArgument("puiValue");
    return WithCamera(hCam, [&](Camera& camera) -> PvxStatus {
        GError* error = nullptr;
        const gint64 read = arv_camera_get_integer(camera.Arv(), feature, &error);
        if (error)
            return FromError(error, feature);
        *value = static_cast<uint32_t>(read);
        return PVX_OK;
    });
}

PvxStatus GetSensor(PvxHandle hCam, uint32_t* value, bool width) {
    if (!value)
        return camlib::NullArgument("puiValue");
    return WithCamera(hCam, [&](Camera& camera) -> PvxStatus {
        GError* error = nullptr;
        gint sensorWidth = 0;
        gint sensorHeight = 0;
        arv_camera_get_sensor_size(camera.Arv(), &sensorWidth, &sensorHeight, &error);
        if (error)
            return FromError(error, "the sensor size");
        *value = static_cast<uint32_t>(width ? sensorWidth : sensorHeight);
        return PVX_OK;
    });
}

// The current pixel format, as property(format).
template <typename Property> PvxStatus GetPixelFormat(PvxHandle hCam, uint32_t* value, Property property) {
    if (!value)
        return camlib::NullArgument("puiValue");
    return WithCamera(hCam, [&](Camera& camera) -> PvxStatus {
        GError* error = nullptr;
        const ArvPixelFormat format = arv_camera_get_pixel_format(camera.Arv(), &error);
        if (error)
            return FromError(error, "PixelFormat");
        *value = property(format);
        return PVX_OK;
    });
}

} // namespace

PVX_EXPORT PvxStatus PVX_CALL pvxGetSensorWidth(PvxHandle hCam, uint32_t* puiValue) {
    return GetSensor(hCam, puiValue, true);
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetSensorHeight(PvxHandle hCam, uint32_t* puiValue) {
    return GetSensor(hCam, puiValue, false);
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetRoi(PvxHandle hCam, uint32_t* puiWidth, uint32_t* puiHeight,
                                        uint32_t* puiOffsetX, uint32_t* puiOffsetY) {
    if (!puiWidth || !puiHeight || !puiOffsetX || !puiOffsetY)
        return camlib::NullArgument("a region output");
    return WithCamera(hCam, [&](Camera& camera) -> PvxStatus {
        GError* error = nullptr;
        gint x = 0;
        gint y = 0;
        gint width = 0;
        gint height = 0;
        arv_camera_get_region(camera.Arv(), &x, &y, &width, &height, &error);
        if (error)
            return FromError(error, "the region");
        *puiWidth = static_cast<uint32_t>(width);
        *puiHeight = static_cast<uint32_t>(height);
        *puiOffsetX = static_cast<uint32_t>(x);
        *puiOffsetY = static_cast<uint32_t>(y);
        return PVX_OK;
    });
}

// Aravis zeroes the offsets before it sets the size, so any window inside the sensor
// can follow any other.
PVX_EXPORT PvxStatus PVX_CALL pvxSetRoi(PvxHandle hCam, uint32_t uiWidth, uint32_t uiHeight,
                                        uint32_t uiOffsetX, uint32_t uiOffsetY) {
    return WithCamera(hCam, [&](Camera& camera) -> PvxStatus {
        GError* error = nullptr;
        arv_camera_set_region(camera.Arv(), static_cast<gint>(uiOffsetX), static_cast<gint>(uiOffsetY),
                              static_cast<gint>(uiWidth), static_cast<gint>(uiHeight), &error);
        return FromError(error, "the region");
    });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetWidthRange(PvxHandle hCam, uint32_t* puiMin, uint32_t* puiMax,
                                               uint32_t* puiInc) {
    return GetRange(hCam, puiMin, puiMax, puiInc, arv_camera_get_width_bounds, arv_camera_get_width_increment,
                    "Width");
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetWidth(PvxHandle hCam, uint32_t* puiValue) {
    return GetInteger(hCam, puiValue, "Width");
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetHeightRange(PvxHandle hCam, uint32_t* puiMin, uint32_t* puiMax,
                                                uint32_t* puiInc) {
    return GetRange(hCam, puiMin, puiMax, puiInc, arv_camera_get_height_bounds,
                    arv_camera_get_height_increment, "Height");
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetHeight(PvxHandle hCam, uint32_t* puiValue) {
    return GetInteger(hCam, puiValue, "Height");
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetOffsetXRange(PvxHandle hCam, uint32_t* puiMin, uint32_t* puiMax,
                                                 uint32_t* puiInc) {
    return GetRange(hCam, puiMin, puiMax, puiInc, arv_camera_get_x_offset_bounds,
                    arv_camera_get_x_offset_increment, "OffsetX");
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetOffsetX(PvxHandle hCam, uint32_t* puiValue) {
    return GetInteger(hCam, puiValue, "OffsetX");
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetOffsetYRange(PvxHandle hCam, uint32_t* puiMin, uint32_t* puiMax,
                                                 uint32_t* puiInc) {
    return GetRange(hCam, puiMin, puiMax, puiInc, arv_camera_get_y_offset_bounds,
                    arv_camera_get_y_offset_increment, "OffsetY");
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetOffsetY(PvxHandle hCam, uint32_t* puiValue) {
    return GetInteger(hCam, puiValue, "OffsetY");
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetFrameByteSize(PvxHandle hCam, uint32_t* puiValue) {
    if (!puiValue)
        return camlib::NullArgument("puiValue");
    return WithCamera(hCam, [&](Camera& camera) -> PvxStatus {
        GError* error = nullptr;
        const guint payload = arv_camera_get_payload(camera.Arv(), &error);
        if (error)
            return FromError(error, "PayloadSize");
        *puiValue = payload;
        return PVX_OK;
    });
}

// Aravis's pixel format values are the PFNC codes.
PVX_EXPORT PvxStatus PVX_CALL pvxGetPixelFormat(PvxHandle hCam, uint32_t* puiValue) {
    return GetPixelFormat(hCam, puiValue,
                          [](ArvPixelFormat format) { return static_cast<uint32_t>(format); });
}

PVX_EXPORT PvxStatus PVX_CALL pvxGetImageProperty(PvxHandle hCam, uint32_t* puiValue) {
    return GetPixelFormat(hCam, puiValue, [](ArvPixelFormat format) {
        return static_cast<uint32_t>(ARV_PIXEL_FORMAT_BIT_PER_PIXEL(format));
    });
}
