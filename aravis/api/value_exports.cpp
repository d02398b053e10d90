// Exports: exposure time, contrast and brightness, trigger mode and polarity.
#include "aravis/api/export_support.h"
#include "aravis/core/numeric_node.h"

using namespace arv_backend;

namespace {

using NodeOfCamera = ArvGcNode* (*)(const Camera&);

ArvGcNode* Exposure(const Camera& camera) {
    return camera.ExposureNode();
}
ArvGcNode* Contrast(const Camera& camera) {
    return camera.ContrastNode();
}
ArvGcNode* Brightness(const Camera& camera) {
    return camera.BrightnessNode();
}

// Contrast and brightness have no standard node: on a camera without the configured
// one the value is fixed at 0, so the host's settings still apply as a whole.
bool FixedAtZero(NodeOfCamera which) {
    return which != Exposure;
}

PvxStatus Missing(NodeOfCamera which) {
    return camlib::Fail(PVX_ERR_NOT_AVAILABLE, which == Exposure ? "the camera has no exposure time node"
                                                                 : "the camera has no node for this value");
}

// read(node) on the camera's node; zero(), leaving 0 behind, when it lacks one that may.
template <typename Read, typename Zero>
PvxStatus ReadValue(PvxHandle hCam, NodeOfCamera which, Read read, Zero zero) {
    return WithCamera(hCam, [&](Camera& camera) -> PvxStatus {
        ArvGcNode* node = which(camera);
        if (node)
            return read(node);
        if (!FixedAtZero(which))
            return Missing(which);
        zero();
        return PVX_OK;
    });
}

PvxStatus GetValueRange(PvxHandle hCam, double* min, double* max, NodeOfCamera which) {
    if (!min || !max)
        return camlib::NullArgument("a range output");
    return ReadValue(
        hCam, which, [&](ArvGcNode* node) { return NumberRange(node, *min, *max); },
        [&] { *min = *max = 0; });
}

PvxStatus GetValue(PvxHandle hCam, double* value, NodeOfCamera which) {
    if (!value)
        return camlib::NullArgument("pdValue");
    return ReadValue(
        hCam, which, [&](ArvGcNode* node) { return ReadNumber(node, *value); }, [&] { *value = 0; });
}

PvxStatus SetValue(PvxHandle hCam, double value, NodeOfCamera which) {
    return WithCamera(hCam, [&](Camera& camera) -> PvxStatus {
        ArvGcNode* node = which(camera);
        if (!node)
            return FixedAtZero(which) && value == 0 ? PVX_OK : Missing(which);
        return WriteNumber(node, value);
    });
}

// TriggerSelector is set to FrameStart first where the camera has it: the other
// triggers are not the host's.
PvxStatus SelectFrameTrigger(ArvDevice* device) {
    if (!arv_device_get_feature(device, "TriggerSelector"))
        return PVX_OK;
    GError* error = nullptr;
    arv_device_set_string_feature_value(device, "TriggerSelector", "FrameStart", &error);
    return FromError(error, "TriggerSelector");
}

} // namespace

PVX_EXPORT PvxStatus PVX_CALL pvxGetExposureTimeRange(PvxHandle hCam, double* pdMin, double* pdMax) {
    return GetValueRange(hCam, pdMin, pdMax, Exposure);
}
PVX_EXPORT PvxStatus PVX_CALL pvxGetExposureTime(PvxHandle hCam, double* pdValue) {
    return GetValue(hCam, pdValue, Exposure);
}
PVX_EXPORT PvxStatus PVX_CALL pvxSetExposureTime(PvxHandle hCam, double dValue) {
    return SetValue(hCam, dValue, Exposure);
}
PVX_EXPORT PvxStatus PVX_CALL pvxGetContrastRange(PvxHandle hCam, double* pdMin, double* pdMax) {
    return GetValueRange(hCam, pdMin, pdMax, Contrast);
}
PVX_EXPORT PvxStatus PVX_CALL pvxGetContrast(PvxHandle hCam, double* pdValue) {
    return GetValue(hCam, pdValue, Contrast);
}
PVX_EXPORT PvxStatus PVX_CALL pvxSetContrast(PvxHandle hCam, double dValue) {
    return SetValue(hCam, dValue, Contrast);
}
PVX_EXPORT PvxStatus PVX_CALL pvxGetBrightnessRange(PvxHandle hCam, double* pdMin, double* pdMax) {
    return GetValueRange(hCam, pdMin, pdMax, Brightness);
}
PVX_EXPORT PvxStatus PVX_CALL pvxGetBrightness(PvxHandle hCam, double* pdValue) {
    return GetValue(hCam, pdValue, Brightness);
}
PVX_EXPORT PvxStatus PVX_CALL pvxSetBrightness(PvxHandle hCam, double dValue) {
    return SetValue(hCam, dValue, Brightness);
}

PVX_EXPORT PvxStatus PVX_CALL pvxSetTriggerMode(PvxHandle hCam, bool bTriggered) {
    return WithCamera(hCam, [&](Camera& camera) -> PvxStatus {
        if (!arv_device_get_feature(camera.Device(), "TriggerMode"))
            return bTriggered ? camlib::Fail(PVX_ERR_NOT_AVAILABLE, "the camera has no TriggerMode node")
                              : PVX_OK;
        if (const PvxStatus status = SelectFrameTrigger(camera.Device()))
            return status;
        GError* error = nullptr;
        arv_device_set_string_feature_value(camera.Device(), "TriggerMode", bTriggered ? "On" : "Off",
                                            &error);
        return FromError(error, "TriggerMode");
    });
}

// Bit 0: RisingEdge; the other bits have no node and read as 0.
PVX_EXPORT PvxStatus PVX_CALL pvxGetTriggerPolarity(PvxHandle hCam, uint32_t* puiWord) {
    if (!puiWord)
        return camlib::NullArgument("puiWord");
    return WithCamera(hCam, [&](Camera& camera) -> PvxStatus {
        if (!arv_device_get_feature(camera.Device(), "TriggerActivation"))
            return camlib::Fail(PVX_ERR_NOT_AVAILABLE, "the camera has no TriggerActivation node");
        if (const PvxStatus status = SelectFrameTrigger(camera.Device()))
            return status;
        GError* error = nullptr;
        const char* edge = arv_device_get_string_feature_value(camera.Device(), "TriggerActivation", &error);
        if (error)
            return FromError(error, "TriggerActivation");
        *puiWord = edge && std::string(edge) == "RisingEdge" ? 1u : 0u;
        return PVX_OK;
    });
}

PVX_EXPORT PvxStatus PVX_CALL pvxSetTriggerPolarity(PvxHandle hCam, uint32_t uiWord) {
    return WithCamera(hCam, [&](Camera& camera) -> PvxStatus {
        if (!arv_device_get_feature(camera.Device(), "TriggerActivation"))
            return camlib::Fail(PVX_ERR_NOT_AVAILABLE, "the camera has no TriggerActivation node");
        if (const PvxStatus status = SelectFrameTrigger(camera.Device()))
            return status;
        GError* error = nullptr;
        arv_device_set_string_feature_value(camera.Device(), "TriggerActivation",
                                            (uiWord & 1u) ? "RisingEdge" : "FallingEdge", &error);
        return FromError(error, "TriggerActivation");
    });
}
