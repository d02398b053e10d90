// A feature as the page and scripts see it, in JSON: what GetFeatureName,
// GetFeatureType, GetFeatureAttr, GetValidEnum and ReadValue tell of it.
#ifndef AIKHOST_FEATURE_JSON_H
#define AIKHOST_FEATURE_JSON_H

#include "host/loader/channel.h"

#include <nlohmann/json.hpp>

#include <cstdint>

namespace aikhost {

// Feature number `index` of the channel: {"name", "type", "readable", "writable",
// "description", "value" (when readable), "entries" (enumerations), "error" (a failed
// read)}; null past the last feature.
nlohmann::json describeFeature(const Channel& channel, int32_t index);

// {"error": text} for a slot's failure, with the slot and the feature it concerned.
nlohmann::json slotError(const char* slot, const std::string& feature, const SlotResult& result);

} // namespace aikhost

#endif
