// A feature as the page and scripts see it, in JSON: what GetFeatureName,
// GetFeatureType, GetFeatureAttr, GetValidEnum and ReadValue tell of it, and the
// category its standard name puts it in.
#ifndef AIKHOST_FEATURE_JSON_H
#define AIKHOST_FEATURE_JSON_H

#include "host/loader/channel.h"
#include "host/session/feature_write.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>

namespace aikhost {

// Feature number `index` of the channel: {"name", "type", "category", "readable",
// "writable", "description", "value" (when readable), "entries" (enumerations),
// "error" (a failed read)}; null past the last feature.
nlohmann::json describeFeature(const Channel& channel, int32_t index);

// {"error": text} for a slot's failure, with the slot and the feature it concerned.
nlohmann::json slotError(const char* slot, const std::string& feature, const SlotResult& result);

// A checked write's answer: {"name", "value" (read back), "adjusted"}, or on refusal
// {"error", "reason"} with aikhost's reason as `aikhost set` gives it.
nlohmann::json writeAnswer(const WriteOutcome& outcome);

// JSON text of a document; bytes that are not UTF-8 (a camera's Latin-1 text) are
// replaced, as aikhost's --json does, rather than failing the answer.
std::string jsonText(const nlohmann::json& document);

} // namespace aikhost

#endif
