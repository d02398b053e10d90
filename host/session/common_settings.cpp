// Every node is read by name through ReadValue, as a host would.
#include "host/session/common_settings.h"

#include <cstdlib>
#include <optional>

namespace aikhost {

namespace {

std::optional<double> number(const Channel& channel, const std::string& name) {
    TextResult value = channel.readValue(name);
    if (!value.ok() || value.text.empty())
        return std::nullopt;
    char* end = nullptr;
    const double parsed = std::strtod(value.text.c_str(), &end);
    return *end == '\0' ? std::optional<double>(parsed) : std::nullopt;
}

// The node's value as a fraction of its range; fallback when any of them is missing.
double fraction(const Channel& channel, const std::string& name, double fallback) {
    const std::optional<double> value = number(channel, name);
    const std::optional<double> low = number(channel, name + "_Min");
    const std::optional<double> high = number(channel, name + "_Max");
    if (!value || !low || !high || *high <= *low)
        return fallback;
    return (*value - *low) / (*high - *low);
}

int32_t integer(const Channel& channel, const std::string& name, int32_t fallback) {
    const std::optional<double> value = number(channel, name);
    return value ? static_cast<int32_t>(*value) : fallback;
}

} // namespace

CommonParamsRecord currentCommonParams(const Channel& channel) {
    const VideoChannelRecord& record = channel.record();
    CommonParamsRecord params{};
    const std::optional<double> exposureUs = number(channel, "ExposureTime");
    params.exposure = exposureUs ? *exposureUs / 1e6 : record.exposure;
    params.contrast = fraction(channel, "Contrast", record.contrast);
    params.brightness = fraction(channel, "Brightness", record.brightness);
    params.acqContinuous = 1;
    params.acqTriggered = channel.readValue("TriggerMode").text == "On";
    params.acqTriggerLowToHigh = channel.readValue("TriggerActivation").text != "FallingEdge";
    params.roix = integer(channel, "OffsetX", 0);
    params.roiy = integer(channel, "OffsetY", 0);
    params.roiwidth = integer(channel, "Width", static_cast<int32_t>(record.sensorWidth));
    params.roiheight = integer(channel, "Height", static_cast<int32_t>(record.sensorHeight));
    return params;
}

} // namespace aikhost
