// Builders for simulated-camera descriptions.
#include "tests/support/sim_json.h"

namespace aiktest {

nlohmann::json cameraJson(const std::string& vendor, const std::string& model, const std::string& description,
                          uint32_t sensorWidth, uint32_t sensorHeight, const std::string& pixelFormat) {
    return {{"vendor", vendor},
            {"model", model},
            {"description", description},
            {"sensorWidth", sensorWidth},
            {"sensorHeight", sensorHeight},
            {"pixelFormat", pixelFormat}};
}

nlohmann::json rangeJson(double min, double max, double value) {
    return {{"min", min}, {"max", max}, {"value", value}};
}

nlohmann::json faultJson(const std::string& call, PvxStatus status) {
    return {{"call", call}, {"status", status}};
}

nlohmann::json simConfigJson(const std::vector<nlohmann::json>& cameras) {
    return {{"cameras", nlohmann::json(cameras)}};
}

CommonParamsRecord continuousParams(int32_t width, int32_t height) {
    CommonParamsRecord params{};
    params.exposure = 0.0001;
    params.contrast = 0.5;
    params.acqContinuous = 1;
    params.roiwidth = width;
    params.roiheight = height;
    return params;
}

} // namespace aiktest
