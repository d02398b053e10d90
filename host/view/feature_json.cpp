#include "host/view/feature_json.h"

#include "host/session/feature_info.h"

#include <iterator>
#include <string>

namespace aikhost {

namespace {

struct TypeName {
    int32_t type;
    const char* name;
};

constexpr TypeName kTypeNames[] = {
    {AIK_FEATURE_ENUM, "Enumeration"}, {AIK_FEATURE_INT, "Integer"},  {AIK_FEATURE_FLOAT, "Float"},
    {AIK_FEATURE_COMMAND, "Command"},  {AIK_FEATURE_BOOL, "Boolean"}, {AIK_FEATURE_STRING, "String"},
};

std::string typeText(int32_t type) {
    for (const TypeName& known : kTypeNames) {
        if (known.type == type)
            return known.name;
    }
    return "unsupported";
}

bool attributeIsTrue(const Channel& channel, const std::string& feature, int32_t attr) {
    const TextResult answer = channel.getFeatureAttr(feature, attr);
    return answer.ok() && answer.text == "True";
}

// GetValidEnum with index 0, 1, 2, ... until the first failure.
nlohmann::json enumEntries(const Channel& channel, const std::string& feature) {
    nlohmann::json entries = nlohmann::json::array();
    for (int32_t index = 0;; ++index) {
        const TextResult entry = channel.getValidEnum(feature, index);
        if (!entry.ok())
            return entries;
        entries.push_back(entry.text);
    }
}

} // namespace

nlohmann::json describeFeature(const Channel& channel, int32_t index) {
    const TextResult name = channel.getFeatureName(index);
    if (!name.ok())
        return nullptr;
    const std::string& feature = name.text;
    const FeatureTypeResult type = channel.getFeatureType(feature);
    const TextResult description = channel.getFeatureAttr(feature, 1);
    nlohmann::json described = {
        {"name", feature},
        {"type", type.ok() ? typeText(type.type) : "unsupported"},
        {"category", featureCategory(feature)},
        {"readable", attributeIsTrue(channel, feature, 2)},
        {"writable", attributeIsTrue(channel, feature, 3)},
        {"description", description.ok() ? description.text : ""},
    };
    if (type.ok() && type.type == AIK_FEATURE_ENUM)
        described["entries"] = enumEntries(channel, feature);
    if (described["readable"]) {
        const TextResult value = channel.readValue(feature);
        described[value.ok() ? "value" : "error"] = value.ok() ? value.text : value.errText;
    }
    return described;
}

nlohmann::json slotError(const char* slot, const std::string& feature, const SlotResult& result) {
    return {{"error", std::string(slot) + "(" + feature + ") failed: " + result.errText}};
}

nlohmann::json writeAnswer(const WriteOutcome& outcome) {
    if (!outcome.ok)
        return {{"error", outcome.moduleText.empty()
                              ? outcome.reason
                              : "WriteValue(" + outcome.feature + ") failed: " + outcome.moduleText},
                {"reason", outcome.reason}};
    nlohmann::json answer = {{"name", outcome.feature}, {"adjusted", outcome.adjusted}};
    if (outcome.readBack)
        answer["value"] = *outcome.readBack;
    return answer;
}

std::string jsonText(const nlohmann::json& document) {
    return document.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

} // namespace aikhost
