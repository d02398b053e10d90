// What grab's setting options ask of the camera: checked against its ranges before
// SetupCommonParams, then handed to it over the settings the camera has.
#ifndef AIKHOST_GRAB_SETTINGS_H
#define AIKHOST_GRAB_SETTINGS_H

#include "host/loader/channel.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace aikhost {

struct GrabSettings {
    std::vector<int32_t> roi;         // x, y, width, height; empty: the window the camera has
    std::optional<double> exposure;   // seconds; unset: the camera's ExposureTime
    std::optional<double> contrast;   // fraction; unset: the camera's
    std::optional<double> brightness; // fraction; unset: the camera's
    std::string trigger;              // off, rising, falling; empty: the camera's TriggerMode
};

// A setting the camera cannot take, named as its option with its unit and the
// camera's range; empty when the settings fit.
std::string settingsProblem(const Channel& channel, const GrabSettings& settings);

// The settings handed to SetupCommonParams, as grab's options name them.
std::string settingsText(const CommonParamsRecord& params);

// The camera's current settings with those given put over them.
CommonParamsRecord grabParams(const Channel& channel, const GrabSettings& settings);

} // namespace aikhost

#endif
