// A selector's dependants are saved for each of its entries, so writing the selector
// before each value restores it to the same entry; the selector itself gets its own
// entry back last.
#include "host/session/feature_set.h"

#include "host/session/feature_info.h"
#include "host/session/host_failure.h"
#include "host/session/json_file.h"
#include "host/session/latin1_text.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

namespace aikhost {

namespace {

constexpr int kOffsetRank = 3;

// Limits of a feature-set file: far above what any camera's set needs.
constexpr JsonFileLimits kFeatureSetLimits{std::size_t{16} << 20, 64, "a feature set"};

constexpr char kLatin1[] = "latin1";

bool hasSuffix(const std::string& name, const char* suffix) {
    const std::size_t length = std::strlen(suffix);
    return name.size() >= length && name.compare(name.size() - length, length, suffix) == 0;
}

int loadRank(const std::string& name) {
    if (hasSuffix(name, "Selector"))
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

nlohmann::json valueDocument(const std::string& name, const std::string& value) {
    nlohmann::json document{{"name", name}};
    if (isUtf8(value)) {
        document["value"] = value;
    } else {
        document["value"] = latin1ToUtf8(value);
        document["encoding"] = kLatin1;
    }
    return document;
}

bool isSelector(const FeatureInfo& info) {
    return info.type == AIK_FEATURE_ENUM && hasSuffix(info.name, "Selector") && !info.entries.empty();
}

// The features that follow a selector: those named after it (LineSource after
// LineSelector) but not those that cover every entry at once (LineModeAll), and any
// other whose value differs from one entry to the next.
std::vector<const FeatureInfo*> dependants(const Channel& channel, const FeatureInfo& selector,
                                           const std::vector<const FeatureInfo*>& plain) {
    const std::string prefix = selector.name.substr(0, selector.name.size() - std::strlen("Selector"));
    std::map<std::string, std::set<std::string>> seen;
    for (const std::string& entry : selector.entries) {
        if (!channel.writeValue(selector.name, entry).ok())
            continue;
        for (const FeatureInfo* info : plain)
            seen[info->name].insert(channel.readValue(info->name).text);
    }
    std::vector<const FeatureInfo*> found;
    for (const FeatureInfo* info : plain) {
        const bool named =
            !prefix.empty() && info->name.rfind(prefix, 0) == 0 && !hasSuffix(info->name, "All");
        if (!isSelector(*info) && (named || seen[info->name].size() > 1))
            found.push_back(info);
    }
    return found;
}

// Each entry's values of a selector's dependants; the selector ends at its own value.
void saveSelected(const Channel& channel, const FeatureInfo& selector,
                  const std::vector<const FeatureInfo*>& follow, nlohmann::json& features) {
    for (const std::string& entry : selector.entries) {
        if (!channel.writeValue(selector.name, entry).ok())
            continue;
        for (const FeatureInfo* info : follow) {
            const TextResult value = channel.readValue(info->name);
            if (!value.ok())
                continue;
            nlohmann::json document = valueDocument(info->name, value.text);
            document["selector"] = {{selector.name, entry}};
            features.push_back(document);
        }
    }
    channel.writeValue(selector.name, *selector.value);
}

std::string selectorText(const SetValue& value) {
    std::string text;
    for (const auto& [selector, entry] : value.selector)
        text += (text.empty() ? "" : ",") + selector + "=" + entry;
    return text;
}

} // namespace

nlohmann::json saveFeatureSet(const Channel& channel) {
    const std::vector<FeatureInfo> listed = listFeatures(channel, true);
    std::vector<const FeatureInfo*> plain;
    for (const FeatureInfo& info : listed) {
        if (info.readable && info.writable && info.value && info.type != AIK_FEATURE_COMMAND)
            plain.push_back(&info);
    }
    nlohmann::json selected = nlohmann::json::array();
    std::set<const FeatureInfo*> followers;
    for (const FeatureInfo* selector : plain) {
        if (!isSelector(*selector))
            continue;
        const std::vector<const FeatureInfo*> follow = dependants(channel, *selector, plain);
        saveSelected(channel, *selector, follow, selected);
        followers.insert(follow.begin(), follow.end());
    }
    nlohmann::json features = nlohmann::json::array();
    for (const FeatureInfo* info : plain) {
        if (followers.count(info) == 0)
            features.push_back(valueDocument(info->name, *info->value));
    }
    features.insert(features.end(), selected.begin(), selected.end());
    return {{"camera", channel.name()}, {"features", features}};
}

FeatureSet readFeatureSet(const nlohmann::json& set, const std::string& source) {
    const auto wrong = [&source](const std::string& field, const std::string& expected) {
        return HostFailure(FailureKind::Usage, source + ": " + field + ": expected " + expected);
    };
    if (!set.is_object() || !set.contains("features") || !set["features"].is_array())
        throw wrong("features", "an array of {\"name\", \"value\"}");
    FeatureSet read;
    if (set.contains("camera")) {
        if (!set["camera"].is_string())
            throw wrong("camera", "the camera model's name (text)");
        read.camera = set["camera"].get<std::string>();
    }
    const nlohmann::json& features = set["features"];
    for (std::size_t i = 0; i < features.size(); ++i) {
        const std::string field = "features[" + std::to_string(i) + "]";
        const nlohmann::json& feature = features[i];
        if (!feature.is_object() || !feature.contains("name") || !feature["name"].is_string())
            throw wrong(field + ".name", "a feature name (text)");
        if (!feature.contains("value"))
            throw wrong(field + ".value", "a value");
        SetValue value;
        value.name = feature["name"].get<std::string>();
        const nlohmann::json& text = feature["value"];
        value.value = text.is_string() ? text.get<std::string>() : text.dump();
        if (feature.contains("encoding")) {
            const std::optional<std::string> bytes =
                feature["encoding"].is_string() && feature["encoding"].get<std::string>() == kLatin1 &&
                        text.is_string()
                    ? utf8ToLatin1(value.value)
                    : std::nullopt;
            if (!bytes)
                throw wrong(field + ".encoding", "\"latin1\" with a value of Latin-1 characters");
            value.value = *bytes;
        }
        if (feature.contains("selector")) {
            const nlohmann::json& selector = feature["selector"];
            if (!selector.is_object() || selector.empty())
                throw wrong(field + ".selector", "an object of selector names and entries");
            for (const auto& [name, entry] : selector.items()) {
                if (!entry.is_string())
                    throw wrong(field + ".selector." + name, "an entry name (text)");
                value.selector.emplace_back(name, entry.get<std::string>());
            }
        }
        read.values.push_back(std::move(value));
    }
    return read;
}

FeatureSet readFeatureSetFile(const std::string& path) {
    return readFeatureSet(readJsonFile(path, kFeatureSetLimits), path);
}

void checkSetModel(const FeatureSet& set, const Channel& channel, bool force, const std::string& source) {
    if (force || set.camera.empty() || set.camera == channel.name())
        return;
    throw HostFailure(FailureKind::Refused, source + " was saved from a " + set.camera +
                                                ", and this camera is a " + channel.name() +
                                                ": its features may differ; give --force to load it anyway");
}

// A window that grows needs room first: offsets that the set writes go to 0 before
// the sizes, and get their own values after them.
std::vector<LoadOutcome> applyFeatureSet(const Channel& channel, const FeatureSet& set) {
    std::vector<const SetValue*> plain, selected;
    for (const SetValue& value : set.values)
        (value.selector.empty() ? plain : selected).push_back(&value);
    std::stable_sort(plain.begin(), plain.end(), [](const SetValue* a, const SetValue* b) {
        return loadRank(a->name) < loadRank(b->name);
    });
    for (const SetValue* value : plain) {
        if (loadRank(value->name) == kOffsetRank)
            channel.writeValue(value->name, "0");
    }
    std::vector<LoadOutcome> outcomes;
    for (const SetValue* value : plain)
        outcomes.push_back({"", writeFeature(channel, value->name, value->value)});
    std::set<std::string> walked;
    for (const SetValue* value : selected) {
        LoadOutcome outcome{selectorText(*value), {}};
        bool chosen = true;
        for (const auto& [selector, entry] : value->selector) {
            walked.insert(selector);
            const WriteOutcome choice = writeFeature(channel, selector, entry);
            if (chosen && !choice.ok) {
                outcome.write = choice;
                outcome.write.feature = value->name;
                outcome.write.value = value->value;
                outcome.write.reason = "its selector was refused: " + choice.reason;
                chosen = false;
            }
        }
        if (chosen)
            outcome.write = writeFeature(channel, value->name, value->value);
        outcomes.push_back(outcome);
    }
    // Each selector points at the entry the set gives it, as it did when saved.
    for (const SetValue* value : plain) {
        if (walked.count(value->name) > 0)
            channel.writeValue(value->name, value->value);
    }
    return outcomes;
}

} // namespace aikhost
