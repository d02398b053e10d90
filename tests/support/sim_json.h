// Builders for the JSON description of simulated cameras that the tests hand to
// the camera library through QUORVEX_SIM_CONFIG.
#ifndef AIKTEST_SIM_JSON_H
#define AIKTEST_SIM_JSON_H

#include "camera/quorvex_api.h"
#include "channel/video_channel.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace aiktest {

// One camera; every field not given keeps the simulator's default.
nlohmann::json cameraJson(const std::string& vendor, const std::string& model, const std::string& description,
                          uint32_t sensorWidth = 640, uint32_t sensorHeight = 480,
                          const std::string& pixelFormat = "Mono8");

// A {min, max, value} setting such as exposure, contrast or brightness.
nlohmann::json rangeJson(double min, double max, double value);

// A fault: the named library call answers status from its first call on, every time.
nlohmann::json faultJson(const std::string& call, PvxStatus status);

// The whole description: {"cameras": [...]}; top-level fields are added by the caller.
nlohmann::json simConfigJson(const std::vector<nlohmann::json>& cameras);

// Common settings of a free-running window from (0, 0), a short exposure, mid contrast.
CommonParamsRecord continuousParams(int32_t width, int32_t height);

} // namespace aiktest

#endif
