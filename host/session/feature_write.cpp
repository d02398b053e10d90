// Numbers are compared as numbers, so that "1.50" read back for "1.5" is no change.
#include "host/session/feature_write.h"

#include "host/session/feature_info.h"

#include <cmath>
#include <cstdlib>

namespace aikhost {

namespace {

bool sameValue(int32_t type, const std::string& written, const std::string& readBack) {
    if (type != AIK_FEATURE_INT && type != AIK_FEATURE_FLOAT)
        return written == readBack;
    const double a = std::strtod(written.c_str(), nullptr);
    const double b = std::strtod(readBack.c_str(), nullptr);
    return std::fabs(a - b) <= 1e-9 * std::fmax(1.0, std::fabs(a));
}

std::string refusalReason(const FeatureInfo& info) {
    const std::string takes = info.name + " is " + acceptedValues(info);
    if (!info.writable)
        return info.name + " is not writable now (" + featureTypeName(info.type) +
               (info.readable ? ", read-only" : ", not available") + ")";
    return takes;
}

} // namespace

WriteOutcome writeFeature(const Channel& channel, const std::string& feature, const std::string& value) {
    WriteOutcome outcome;
    outcome.feature = feature;
    outcome.value = value;
    const std::optional<FeatureInfo> info = inspectFeature(channel, feature);
    if (info && !isValueText(info->type, value)) {
        outcome.reason = "\"" + value + "\" is not " +
                         (info->type == AIK_FEATURE_INT ? "a whole number" : "a number") + ": " +
                         refusalReason(*info);
        return outcome;
    }
    const SlotResult written = channel.writeValue(feature, value);
    outcome.moduleText = written.errText;
    if (!written.ok()) {
        if (!info) {
            outcome.failure = FailureKind::NotFound;
            outcome.reason = "the camera has no feature " + feature + " (aikhost features --all lists them)";
        } else {
            outcome.reason = refusalReason(*info);
        }
        return outcome;
    }
    outcome.ok = true;
    if (info && info->readable) {
        TextResult now = channel.readValue(feature);
        if (now.ok()) {
            outcome.readBack = now.text;
            outcome.adjusted = !sameValue(info->type, value, now.text);
        }
    }
    return outcome;
}

std::optional<std::pair<std::string, std::string>> splitAssignment(const std::string& text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0)
        return std::nullopt;
    return std::make_pair(text.substr(0, equals), text.substr(equals + 1));
}

} // namespace aikhost
