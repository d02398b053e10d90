// Feature sets: every readable and writable feature of a channel as a JSON document,
// and writing such a set back in an order the features' dependencies allow.
#ifndef AIKHOST_FEATURE_SET_H
#define AIKHOST_FEATURE_SET_H

#include "host/loader/channel.h"
#include "host/session/feature_write.h"

#include <nlohmann/json.hpp>

#include <string>
#include <utility>
#include <vector>

namespace aikhost {

using FeatureValues = std::vector<std::pair<std::string, std::string>>;

// {"camera": name, "features": [{"name": ..., "value": ...}, ...]} in the order of
// listFeatures with the standard nodes; commands are left out.
nlohmann::json saveFeatureSet(const Channel& channel);

// The features of a set; throws HostFailure (Usage) naming source and the field
// that is wrong.
FeatureValues readFeatureSet(const nlohmann::json& set, const std::string& source);
// Reads and parses the file; throws HostFailure (Usage) when it cannot.
FeatureValues readFeatureSetFile(const std::string& path);

// The order to write them in: selectors first, then formats, then sizes, then
// offsets, then everything else with the trigger mode last (after its source);
// otherwise as given.
FeatureValues loadOrder(FeatureValues values);

// Writes every feature in loadOrder; one outcome each.
std::vector<WriteOutcome> applyFeatureSet(const Channel& channel, const FeatureValues& values);

} // namespace aikhost

#endif
