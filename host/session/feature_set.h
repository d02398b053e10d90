// Feature sets: every readable and writable feature of a channel as a JSON document,
// each entry of every selector included, and writing such a set back in an order the
// features' dependencies allow.
#ifndef AIKHOST_FEATURE_SET_H
#define AIKHOST_FEATURE_SET_H

#include "host/loader/channel.h"
#include "host/session/feature_write.h"

#include <nlohmann/json.hpp>

#include <string>
#include <utility>
#include <vector>

namespace aikhost {

// One value of a set: a feature's, or with a selector the one it has for that
// selector's entry ({"LineSelector", "Line2"}).
struct SetValue {
    std::string name;
    std::string value;
    std::vector<std::pair<std::string, std::string>> selector;
};

struct FeatureSet {
    std::string camera; // the model it was saved from; empty when the set does not say
    std::vector<SetValue> values;
};

// {"camera": name, "features": [{"name": ..., "value": ...}, ...]} in the order of
// listFeatures with every standard node, commands left out; then, for every entry of
// each selector, the features that follow it, as {"name", "selector": {SELECTOR:
// ENTRY}, "value"}. Each selector is written back to its entry afterwards. A value
// that is not UTF-8 text is kept as Latin-1 with "encoding": "latin1".
nlohmann::json saveFeatureSet(const Channel& channel);

// The values of a set; throws HostFailure (Usage) naming source and the field that
// is wrong.
FeatureSet readFeatureSet(const nlohmann::json& set, const std::string& source);
// Reads and parses the file, no larger than 16 MiB and nested no deeper than 64
// levels; throws HostFailure (Usage) naming the cause or the limit.
FeatureSet readFeatureSetFile(const std::string& path);

// Throws HostFailure (Refused) when the set was saved from another camera model,
// unless force; source names the set.
void checkSetModel(const FeatureSet& set, const Channel& channel, bool force, const std::string& source);

struct LoadOutcome {
    std::string selector; // "LineSelector=Line2" for a selected value; empty otherwise
    WriteOutcome write;
};

// Writes the plain values in dependency order (selectors, formats, sizes, offsets,
// the rest, TriggerMode last), then each selected value after its selector, then
// puts each selector back to the entry the set gives it. One outcome per value.
std::vector<LoadOutcome> applyFeatureSet(const Channel& channel, const FeatureSet& set);

} // namespace aikhost

#endif
