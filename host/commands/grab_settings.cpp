#include "host/commands/grab_settings.h"

#include "host/cli/option_checks.h"
#include "host/session/common_settings.h"
#include "host/session/feature_info.h"

#include <cstdlib>

namespace aikhost {

namespace {

std::optional<double> readNumber(const Channel& channel, const std::string& name) {
    const TextResult text = channel.readValue(name);
    if (!text.ok() || !isValueText(AIK_FEATURE_FLOAT, text.text))
        return std::nullopt;
    return std::strtod(text.text.c_str(), nullptr);
}

} // namespace

std::string settingsProblem(const Channel& channel, const GrabSettings& settings) {
    const std::optional<double> lowest = readNumber(channel, "ExposureTime_Min");
    const std::optional<double> highest = readNumber(channel, "ExposureTime_Max");
    if (settings.exposure && *settings.exposure > 0 && lowest && highest &&
        (*settings.exposure * 1e6 < *lowest || *settings.exposure * 1e6 > *highest))
        return "--exposure " + plainNumber(*settings.exposure) + " s is outside the camera's range " +
               plainNumber(*lowest / 1e6) + " to " + plainNumber(*highest / 1e6) + " s (ExposureTime " +
               plainNumber(*lowest) + " to " + plainNumber(*highest) + " µs)";
    const VideoChannelRecord& record = channel.record();
    if (settings.roi.size() == 4) {
        const int64_t x = settings.roi[0], y = settings.roi[1], width = settings.roi[2],
                      height = settings.roi[3];
        if (x < 0 || y < 0 || width < 1 || height < 1 || x + width > record.sensorWidth ||
            y + height > record.sensorHeight)
            return "--roi " + std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(width) +
                   "," + std::to_string(height) + " does not fit the sensor of " +
                   std::to_string(record.sensorWidth) + "x" + std::to_string(record.sensorHeight) +
                   " pixels (x, y from 0; x + width up to " + std::to_string(record.sensorWidth) +
                   ", y + height up to " + std::to_string(record.sensorHeight) + ")";
    }
    return "";
}

std::string settingsText(const CommonParamsRecord& params) {
    return "exposure " + plainNumber(params.exposure) + " s, contrast " + plainNumber(params.contrast) +
           ", brightness " + plainNumber(params.brightness) + ", window " + std::to_string(params.roix) +
           "," + std::to_string(params.roiy) + "," + std::to_string(params.roiwidth) + "," +
           std::to_string(params.roiheight) + ", trigger " +
           (params.acqTriggered == 0          ? "off"
            : params.acqTriggerLowToHigh != 0 ? "rising"
                                              : "falling");
}

CommonParamsRecord grabParams(const Channel& channel, const GrabSettings& settings) {
    CommonParamsRecord params = currentCommonParams(channel);
    params.exposure = settings.exposure.value_or(params.exposure);
    params.contrast = settings.contrast.value_or(params.contrast);
    params.brightness = settings.brightness.value_or(params.brightness);
    if (!settings.trigger.empty()) {
        params.acqTriggered = settings.trigger != "off";
        params.acqTriggerLowToHigh = settings.trigger == "rising";
    }
    if (settings.roi.size() == 4) {
        params.roix = settings.roi[0];
        params.roiy = settings.roi[1];
        params.roiwidth = settings.roi[2];
        params.roiheight = settings.roi[3];
    }
    return params;
}

} // namespace aikhost
