// Limits come from the module's "<name>_Min"/"<name>_Max" companions, which it answers
// for any integer or float node, listed or not.
#include "host/session/feature_info.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace aikhost {

namespace {

// Attribute numbers of GetFeatureAttr.
constexpr int32_t kAttrDescription = 1;
constexpr int32_t kAttrReadable = 2;
constexpr int32_t kAttrWritable = 3;

// Standard nodes the camera libraries keep beside the module's list (the window, the
// exposure, the trigger, the payload) that a user would otherwise find by guessing;
// the common ones show in every listing.
struct StandardNode {
    const char* name;
    bool common;
};
const StandardNode kStandardNodes[] = {
    {"Width", true},
    {"Height", true},
    {"OffsetX", true},
    {"OffsetY", true},
    {"PayloadSize", false},
    {"ExposureTime", true},
    {"ExposureAuto", true},
    {"Gain", true},
    {"BlackLevel", false},
    {"Contrast", false},
    {"Brightness", false},
    {"TriggerSelector", false},
    {"TriggerMode", true},
    {"TriggerActivation", true},
    {"AcquisitionMode", false},
    {"DeviceSerialNumber", false},
};

// Name prefixes of the standard feature categories; the first that matches decides.
struct CategoryOf {
    const char* prefix;
    const char* category;
};
const CategoryOf kCategories[] = {
    {"Device", "DeviceControl"},
    {"Adapter", "DeviceControl"},
    {"Sensor", "ImageFormatControl"},
    {"Width", "ImageFormatControl"},
    {"Height", "ImageFormatControl"},
    {"Offset", "ImageFormatControl"},
    {"Pixel", "ImageFormatControl"},
    {"ImageFormat", "ImageFormatControl"},
    {"TestPattern", "ImageFormatControl"},
    {"Binning", "ImageFormatControl"},
    {"Reverse", "ImageFormatControl"},
    {"Acquisition", "AcquisitionControl"},
    {"Exposure", "AcquisitionControl"},
    {"Trigger", "AcquisitionControl"},
    {"Gain", "AnalogControl"},
    {"BlackLevel", "AnalogControl"},
    {"Gamma", "AnalogControl"},
    {"Balance", "AnalogControl"},
    {"Contrast", "AnalogControl"},
    {"Brightness", "AnalogControl"},
    {"Line", "DigitalIOControl"},
    {"UserOutput", "DigitalIOControl"},
    {"Counter", "CounterAndTimerControl"},
    {"Timer", "CounterAndTimerControl"},
    {"PayloadSize", "TransportLayerControl"},
    {"Gev", "TransportLayerControl"},
};

struct UnitOf {
    const char* name;
    const char* unit;
};
const UnitOf kUnits[] = {{"ExposureTime", "µs"},  {"TriggerDelay", "µs"}, {"AcquisitionFrameInterval", "µs"},
                         {"TimerDuration", "µs"}, {"TimerDelay", "µs"},   {"AcquisitionFrameRate", "Hz"},
                         {"Width", "px"},         {"Height", "px"},       {"OffsetX", "px"},
                         {"OffsetY", "px"},       {"SensorWidth", "px"},  {"SensorHeight", "px"},
                         {"PayloadSize", "B"}};

bool endsWith(const std::string& text, const char* suffix) {
    const std::size_t length = std::strlen(suffix);
    return text.size() > length && text.compare(text.size() - length, length, suffix) == 0;
}

bool isCompanion(const std::string& name) {
    return endsWith(name, "_Min") || endsWith(name, "_Max");
}

std::optional<std::string> readText(const Channel& channel, const std::string& name) {
    TextResult result = channel.readValue(name);
    return result.ok() ? std::optional<std::string>(result.text) : std::nullopt;
}

bool attrTrue(const Channel& channel, const std::string& name, int32_t attr) {
    TextResult result = channel.getFeatureAttr(name, attr);
    return result.ok() && result.text == "True";
}

} // namespace

const char* featureTypeName(int32_t type) {
    switch (type) {
    case AIK_FEATURE_ENUM:
        return "Enumeration";
    case AIK_FEATURE_INT:
        return "Integer";
    case AIK_FEATURE_FLOAT:
        return "Float";
    case AIK_FEATURE_COMMAND:
        return "Command";
    case AIK_FEATURE_BOOL:
        return "Boolean";
    case AIK_FEATURE_STRING:
        return "String";
    default:
        return "unsupported";
    }
}

const char* featureCategory(const std::string& name) {
    for (const CategoryOf& rule : kCategories) {
        if (name.rfind(rule.prefix, 0) == 0)
            return rule.category;
    }
    return "Other";
}

std::optional<FeatureInfo> inspectFeature(const Channel& channel, const std::string& name) {
    FeatureTypeResult type = channel.getFeatureType(name);
    if (!type.ok())
        return std::nullopt;
    FeatureInfo info;
    info.name = name;
    info.type = type.type;
    info.readable = attrTrue(channel, name, kAttrReadable);
    info.writable = attrTrue(channel, name, kAttrWritable);
    info.category = featureCategory(name);
    TextResult description = channel.getFeatureAttr(name, kAttrDescription);
    if (description.ok())
        info.description = description.text;
    if (info.readable && info.type != AIK_FEATURE_COMMAND)
        info.value = readText(channel, name);
    if (info.type == AIK_FEATURE_INT || info.type == AIK_FEATURE_FLOAT) {
        info.minimum = readText(channel, name + "_Min");
        info.maximum = readText(channel, name + "_Max");
    }
    if (info.type == AIK_FEATURE_ENUM) {
        for (int32_t index = 0;; ++index) {
            TextResult entry = channel.getValidEnum(name, index);
            if (!entry.ok())
                break;
            info.entries.push_back(entry.text);
        }
    }
    for (const UnitOf& unit : kUnits) {
        if (name == unit.name)
            info.unit = unit.unit;
    }
    return info;
}

std::vector<FeatureInfo> listFeatures(const Channel& channel, StandardNodes standardNodes) {
    std::vector<FeatureInfo> features;
    std::vector<std::string> names;
    for (int32_t index = 0;; ++index) {
        TextResult name = channel.getFeatureName(index);
        if (!name.ok())
            break;
        names.push_back(name.text);
    }
    for (const std::string& name : names) {
        if (isCompanion(name))
            continue;
        if (std::optional<FeatureInfo> info = inspectFeature(channel, name))
            features.push_back(std::move(*info));
    }
    for (const StandardNode& node : kStandardNodes) {
        if (standardNodes == StandardNodes::None || (standardNodes == StandardNodes::Common && !node.common))
            continue;
        std::optional<FeatureInfo> info = inspectFeature(channel, node.name);
        if (info && (info->readable || info->writable)) {
            info->listed = false;
            features.push_back(std::move(*info));
        }
    }
    return features;
}

std::string acceptedValues(const FeatureInfo& info) {
    if (info.type == AIK_FEATURE_ENUM) {
        std::string entries;
        for (const std::string& entry : info.entries)
            entries += (entries.empty() ? "" : ", ") + entry;
        return "one of " + (entries.empty() ? std::string("(no entries)") : entries);
    }
    std::string text = std::string(info.type == AIK_FEATURE_INT ? "an " : "a ") + featureTypeName(info.type);
    if (info.minimum && info.maximum)
        text += " from " + *info.minimum + " to " + *info.maximum;
    if (!info.unit.empty())
        text += " " + info.unit;
    return text;
}

bool isValueText(int32_t type, const std::string& text) {
    if (type != AIK_FEATURE_INT && type != AIK_FEATURE_FLOAT)
        return true;
    if (text.empty() || std::isspace(static_cast<unsigned char>(text.front())) != 0)
        return false;
    char* end = nullptr;
    errno = 0;
    if (type == AIK_FEATURE_INT) {
        std::strtoll(text.c_str(), &end, 10);
    } else {
        const double value = std::strtod(text.c_str(), &end);
        if (!std::isfinite(value))
            return false;
    }
    return errno == 0 && end == text.c_str() + text.size();
}

} // namespace aikhost
