// A selector's dependants are saved for the entry it held at the save, so writing
// the selector first restores them to the same entry.
#include "host/session/feature_set.h"

#include "host/session/feature_info.h"
#include "host/session/host_failure.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

namespace aikhost {

namespace {

constexpr int kOffsetRank = 3;

int loadRank(const std::string& name) {
    const auto endsWith = [&name](const char* suffix) {
        const std::size_t length = std::strlen(suffix);
        return name.size() >= length && name.compare(name.size() - length, length, suffix) == 0;
    };
    if (endsWith("Selector"))
        return 0;
    if (name == "PixelFormat")
        return 1;
    if (name == "Width" || name == "Height")
        return 2;
    if (name == "OffsetX" || name == "OffsetY")
        return kOffsetRank;
    if (name == "TriggerMode")
        return 5;
    return 4;
}

} // namespace

nlohmann::json saveFeatureSet(const Channel& channel) {
    nlohmann::json features = nlohmann::json::array();
    for (const FeatureInfo& info : listFeatures(channel, true)) {
        if (info.readable && info.writable && info.value && info.type != AIK_FEATURE_COMMAND)
            features.push_back({{"name", info.name}, {"value", *info.value}});
    }
    return {{"camera", channel.name()}, {"features", features}};
}

FeatureValues readFeatureSet(const nlohmann::json& set, const std::string& source) {
    const auto wrong = [&source](const std::string& field, const std::string& expected) {
        return HostFailure(FailureKind::Usage, source + ": " + field + ": expected " + expected);
    };
    if (!set.is_object() || !set.contains("features") || !set["features"].is_array())
        throw wrong("features", "an array of {\"name\", \"value\"}");
    FeatureValues values;
    const nlohmann::json& features = set["features"];
    for (std::size_t i = 0; i < features.size(); ++i) {
        const std::string field = "features[" + std::to_string(i) + "]";
        const nlohmann::json& feature = features[i];
        if (!feature.is_object() || !feature.contains("name") || !feature["name"].is_string())
            throw wrong(field + ".name", "a feature name (text)");
        if (!feature.contains("value"))
            throw wrong(field + ".value", "a value");
        const nlohmann::json& value = feature["value"];
        values.emplace_back(feature["name"].get<std::string>(),
                            value.is_string() ? value.get<std::string>() : value.dump());
    }
    return values;
}

FeatureValues readFeatureSetFile(const std::string& path) {
    std::ifstream file(path);
    if (!file)
        throw HostFailure(FailureKind::Usage, path + ": cannot be read: " + std::strerror(errno));
    const nlohmann::json set = nlohmann::json::parse(file, nullptr, false);
    if (set.is_discarded())
        throw HostFailure(FailureKind::Usage, path + ": not valid JSON");
    return readFeatureSet(set, path);
}

FeatureValues loadOrder(FeatureValues values) {
    std::stable_sort(values.begin(), values.end(),
                     [](const auto& a, const auto& b) { return loadRank(a.first) < loadRank(b.first); });
    return values;
}

// A window that grows needs room first: offsets that the set writes go to 0 before
// the sizes, and get their own values after them.
std::vector<WriteOutcome> applyFeatureSet(const Channel& channel, const FeatureValues& values) {
    for (const auto& [name, value] : values) {
        if (loadRank(name) == kOffsetRank)
            channel.writeValue(name, "0");
    }
    std::vector<WriteOutcome> outcomes;
    for (const auto& [name, value] : loadOrder(values))
        outcomes.push_back(writeFeature(channel, name, value));
    return outcomes;
}

} // namespace aikhost
