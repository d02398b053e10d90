// What the inspection slots tell of a feature: type, access, value, limits, entries,
// and the unit its standard name implies.
#ifndef AIKHOST_FEATURE_INFO_H
#define AIKHOST_FEATURE_INFO_H

#include "host/loader/channel.h"

#include <optional>
#include <string>
#include <vector>

namespace aikhost {

struct FeatureInfo {
    std::string name;
    int32_t type = AIK_FEATURE_UNSUPPORTED;
    bool listed = true; // in the module's feature list; false: a standard node found by name
    bool readable = false;
    bool writable = false;
    std::optional<std::string> value;
    std::optional<std::string> minimum, maximum; // integer and float features
    std::vector<std::string> entries;            // enumerations
    std::string unit;
    std::string description;
    std::string category; // the standard feature category its name belongs to
};

const char* featureTypeName(int32_t type);

// Nothing when the camera has no such feature.
std::optional<FeatureInfo> inspectFeature(const Channel& channel, const std::string& name);

// Which of the standard nodes outside the module's list a listing adds.
enum class StandardNodes {
    None,
    Common, // the settings people look for first: the window, the exposure, the gain, the trigger
    All,
};

// The module's feature list in its order, the "_Min"/"_Max" companions folded into
// their feature's limits; then the standard nodes asked for that the list leaves out
// but the camera has.
std::vector<FeatureInfo> listFeatures(const Channel& channel, StandardNodes standardNodes);
inline std::vector<FeatureInfo> listFeatures(const Channel& channel, bool standardNodes) {
    return listFeatures(channel, standardNodes ? StandardNodes::All : StandardNodes::None);
}

// The category of the standard features' naming a feature belongs to
// ("AcquisitionControl" for TriggerMode), or "Other". The module's slots name no
// categories, so a name is placed by its standard prefix.
const char* featureCategory(const std::string& name);

// What the feature takes, for a message: "a Float from 0.25 to 4", "one of Off, On".
std::string acceptedValues(const FeatureInfo& info);

// Whether text is a whole number (integer features) or a number (float features);
// other types take any text.
bool isValueText(int32_t type, const std::string& text);

} // namespace aikhost

#endif
