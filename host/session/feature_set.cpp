// A selector's dependants are saved for each of its entries, so writing the selector
// before each value restores it to the same entry; the selector itself gets its own
// entry back last.
#include "host/session/feature_set.h"

#include "host/session/feature_info.h"
#include "host/session/host_failure.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <set>

namespace aikhost {

namespace {

constexpr int kOffsetRank = 3;

// Limits of a feature-set file: far above what any camera's set needs.
constexpr std::size_t kMaxFeatureSetBytes = std::size_t{16} << 20;
constexpr int kMaxFeatureSetNesting = 64;
constexpr std::size_t kReadBlockBytes = 65536;

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

// The deepest nesting of arrays and objects, strings passed over, measured before the
// parser meets it. The parser takes the text without a callback, whose clean-up scans
// each array at every object's end and so would take quadratic time on a long one.
int nestingDepth(const std::string& text) {
    int depth = 0, deepest = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (inString && text[i] == '\\') {
            ++i; // the escaped character belongs to the string
        } else if (inString) {
            inString = text[i] != '"';
        } else if (text[i] == '"') {
            inString = true;
        } else if (text[i] == '[' || text[i] == '{') {
            deepest = std::max(deepest, ++depth);
        } else if (text[i] == ']' || text[i] == '}') {
            --depth;
        }
    }
    return deepest;
}

// Whether JSON can hold text as it is: nlohmann-json refuses to write what is not UTF-8.
bool isUtf8(const std::string& text) {
    try {
        static_cast<void>(nlohmann::json(text).dump());
        return true;
    } catch (const nlohmann::json::type_error&) {
        return false;
    }
}

std::string latin1ToUtf8(const std::string& bytes) {
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text += c;
        } else {
            text += static_cast<char>(0xC0 | (byte >> 6));
            text += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return text;
}

// Nothing when the text holds a character beyond Latin-1.
std::optional<std::string> utf8ToLatin1(const std::string& text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            bytes += text[i];
        } else if ((byte == 0xC2 || byte == 0xC3) && i + 1 < text.size()) {
            bytes += static_cast<char>(((byte & 0x03) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F));
        } else {
            return std::nullopt;
        }
    }
    return bytes;
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

// A set is read no further than its size limit and parsed no deeper than its nesting
// limit, so that no file, however large or deep, costs the memory or the stack.
FeatureSet readFeatureSetFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw HostFailure(FailureKind::Usage, path + ": cannot be read: " + std::strerror(errno));
    const auto tooLarge = [&path](const std::string& what) {
        return HostFailure(FailureKind::Usage, path + ": " + what + ", the most a feature set may hold");
    };
    std::string text;
    std::vector<char> block(kReadBlockBytes);
    do {
        file.read(block.data(), static_cast<std::streamsize>(block.size()));
        text.append(block.data(), static_cast<std::size_t>(file.gcount()));
        if (text.size() > kMaxFeatureSetBytes)
            throw tooLarge("larger than " + std::to_string(kMaxFeatureSetBytes >> 20) + " MiB");
    } while (file);
    if (file.bad())
        throw HostFailure(FailureKind::Usage, path + ": cannot be read: " + std::strerror(errno));
    if (nestingDepth(text) > kMaxFeatureSetNesting)
        throw tooLarge("nested deeper than " + std::to_string(kMaxFeatureSetNesting) +
                       " levels of arrays and objects");
    const nlohmann::json set = nlohmann::json::parse(text, nullptr, false);
    if (set.is_discarded())
        throw HostFailure(FailureKind::Usage, path + ": not valid JSON");
    return readFeatureSet(set, path);
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
