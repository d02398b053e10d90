// Numbers are compared as numbers, so that "1.50" read back for "1.5" is no change.
#include "host/session/feature_write.h"

#include "host/session/feature_info.h"

#include <cmath>
#include <cstdlib>

namespace aikhost {

namespace {

// Steps tried each way from the current value before the step is called unknown.
constexpr int64_t kMaxProbedStep = 64;

// An offset and a size share the sensor's pixels along one axis: each one's maximum
// is what the other leaves, whatever the node itself reports as its maximum.
struct WindowAxis {
    const char* offset;
    const char* size;
    const char* side; // of the sensor
};
const WindowAxis kWindowAxes[] = {{"OffsetX", "Width", "wide"}, {"OffsetY", "Height", "high"}};

bool sameValue(int32_t type, const std::string& written, const std::string& readBack) {
    if (type != AIK_FEATURE_INT && type != AIK_FEATURE_FLOAT)
        return written == readBack;
    const double a = std::strtod(written.c_str(), nullptr);
    const double b = std::strtod(readBack.c_str(), nullptr);
    return std::fabs(a - b) <= 1e-9 * std::fmax(1.0, std::fabs(a));
}

std::optional<double> numberOf(const std::optional<std::string>& text) {
    if (!text || !isValueText(AIK_FEATURE_FLOAT, *text))
        return std::nullopt;
    return std::strtod(text->c_str(), nullptr);
}

std::string wholeText(double value) {
    return std::to_string(std::llround(value));
}

// What the feature takes, from its type, limits or entries.
std::string typeAndLimits(const FeatureInfo& info) {
    if (!info.writable)
        return info.name + " is not writable now (" + featureTypeName(info.type) +
               (info.readable ? ", read-only" : ", not available") + ")";
    return info.name + " is " + acceptedValues(info);
}

// The limits of a number feature as they are now: its own, the maximum narrowed by
// the other half of its window axis.
struct CurrentLimits {
    FeatureInfo info;        // with the maximum as it is now
    std::string limitedBy;   // the feature that narrows the maximum; empty when none does
    std::string limitSource; // "Width 1280 leaves on the sensor 1280 pixels wide (OffsetX + Width ≤ 1280)"
};

CurrentLimits currentLimits(const Channel& channel, const FeatureInfo& info) {
    CurrentLimits limits{info, "", ""};
    for (const WindowAxis& axis : kWindowAxes) {
        const bool isOffset = info.name == axis.offset;
        if (!isOffset && info.name != axis.size)
            continue;
        const std::string other = isOffset ? axis.size : axis.offset;
        const TextResult otherValue = channel.readValue(other);
        const std::optional<double> otherNumber = numberOf(otherValue.text);
        const uint32_t sensor =
            axis.side[0] == 'w' ? channel.record().sensorWidth : channel.record().sensorHeight;
        const std::optional<double> ownMaximum = numberOf(info.maximum);
        if (!otherValue.ok() || !otherNumber || *otherNumber > sensor)
            break;
        const double room = sensor - *otherNumber;
        if (ownMaximum && *ownMaximum <= room)
            break;
        limits.info.maximum = wholeText(room);
        limits.limitedBy = other;
        limits.limitSource = other + " " + otherValue.text + " leaves on the sensor " +
                             std::to_string(sensor) + " pixels " + axis.side + " (" + axis.offset + " + " +
                             axis.size + " ≤ " + std::to_string(sensor) + "; change " + other + " first)";
    }
    return limits;
}

// The camera's step for an integer feature: the smallest distance from its current
// value (which is on the camera's grid) to a value it takes. Each value taken on the
// way is undone by writing the current value back; nothing when none is taken.
std::optional<int64_t> probeStep(const Channel& channel, const std::string& feature, int64_t current,
                                 int64_t lowest, int64_t highest, std::string& undoFailure) {
    for (int64_t step = 1; step <= kMaxProbedStep; ++step) {
        for (const int64_t candidate : {current + step, current - step}) {
            if (candidate < lowest || candidate > highest ||
                !channel.writeValue(feature, std::to_string(candidate)).ok())
                continue;
            const SlotResult undone = channel.writeValue(feature, std::to_string(current));
            if (!undone.ok())
                undoFailure = "; writing " + feature + " back to " + std::to_string(current) +
                              " after trying " + std::to_string(candidate) + " failed: " + undone.errText;
            return step;
        }
    }
    return std::nullopt;
}

// Why an integer inside its limits was refused: off the camera's grid, with the values
// next to it that it takes.
std::optional<std::string> gridReason(const Channel& channel, const CurrentLimits& limits, double wanted) {
    const FeatureInfo& info = limits.info;
    const std::optional<double> current = numberOf(channel.readValue(info.name).text);
    const std::optional<double> lowest = numberOf(info.minimum), highest = numberOf(info.maximum);
    if (!current || !lowest || !highest)
        return std::nullopt;
    std::string undoFailure;
    const std::optional<int64_t> step = probeStep(channel, info.name, std::llround(*current),
                                                  std::llround(*lowest), std::llround(*highest), undoFailure);
    if (!step)
        return std::nullopt;
    const int64_t below =
        std::llround(*current) + static_cast<int64_t>(std::floor((wanted - *current) / *step)) * *step;
    std::string nearest;
    if (below >= *lowest)
        nearest = std::to_string(below);
    if (below + *step <= *highest)
        nearest += (nearest.empty() ? "" : " and ") + std::to_string(below + *step);
    return " is off the camera's grid: " + info.name + " takes " + *info.minimum + " to " + *info.maximum +
           " in steps of " + std::to_string(*step) + (info.unit.empty() ? "" : " " + info.unit) +
           (nearest.empty() ? "" : " (the nearest: " + nearest + ")") + undoFailure;
}

// Why a number was refused, from the limits the feature has now.
std::string numberReason(const Channel& channel, const FeatureInfo& info, const std::string& value,
                         WriteOutcome& outcome) {
    const CurrentLimits limits = currentLimits(channel, info);
    const std::string takes = typeAndLimits(limits.info) + (limits.limitedBy.empty() ? "" : " now");
    const double wanted = std::strtod(value.c_str(), nullptr);
    const std::optional<double> lowest = numberOf(limits.info.minimum),
                                highest = numberOf(limits.info.maximum);
    const std::string named = info.name + " " + value;
    if (lowest && wanted < *lowest)
        return named + " is below its minimum " + *limits.info.minimum + ": " + takes;
    if (highest && wanted > *highest && !limits.limitedBy.empty()) {
        outcome.limitedBy = limits.limitedBy;
        return named + " is above its current maximum " + *limits.info.maximum + ", which " +
               limits.limitSource + ": " + takes;
    }
    if (highest && wanted > *highest)
        return named + " is above its maximum " + *limits.info.maximum + ": " + takes;
    if (info.type == AIK_FEATURE_INT) {
        if (const std::optional<std::string> grid = gridReason(channel, limits, wanted))
            return named + *grid;
    }
    return "the camera refused " + named + " although it lies within the limits it has now: " + takes;
}

std::string enumerationReason(const FeatureInfo& info, const std::string& value) {
    for (const std::string& entry : info.entries) {
        if (entry == value)
            return "the camera refused " + info.name + " " + value +
                   ", one of its entries, in the state it is in now: " + typeAndLimits(info);
    }
    return "\"" + value + "\" is no entry of " + info.name + ": " + typeAndLimits(info);
}

// The feature as it is after the refusal: its limits may follow other features.
std::string refusalReason(const Channel& channel, const FeatureInfo& before, const std::string& value,
                          WriteOutcome& outcome) {
    const FeatureInfo info = inspectFeature(channel, before.name).value_or(before);
    if (!info.writable)
        return typeAndLimits(info);
    if (info.type == AIK_FEATURE_INT || info.type == AIK_FEATURE_FLOAT)
        return numberReason(channel, info, value, outcome);
    if (info.type == AIK_FEATURE_ENUM)
        return enumerationReason(info, value);
    return "the camera refused " + info.name + " " + value + ": " + typeAndLimits(info);
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
                         typeAndLimits(*info);
        return outcome;
    }
    const SlotResult written = channel.writeValue(feature, value);
    outcome.moduleText = written.errText;
    if (!written.ok()) {
        if (!info) {
            outcome.failure = FailureKind::NotFound;
            outcome.reason = "the camera has no feature " + feature + " (aikhost features --all lists them)";
        } else {
            outcome.reason = refusalReason(channel, *info, value, outcome);
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
