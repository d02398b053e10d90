// The catalogue of features the adapter can offer, and the list of those one
// channel's camera has.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <vector>

constexpr size_t kFeatureNameBytes = 256;

// The fixed, ordered catalogue; the order is the order the host sees. A new feature
// is a new line here: the count follows.
inline constexpr const char* g_featureTable[] = {
    "AdapterVersion",
    "DeviceVendorName",
    "DeviceVenderName",
    "DeviceModelName",
    "DeviceManufacturerInfo",
    "DeviceVersion",
    "DeviceID",
    "DeviceUserID",
    "ImageFormatSelector",
    "SensorWidth",
    "SensorHeight",
    "PixelCoding",
    "PixelSize",
    "PixelEndian",
    "PixelFormat",
    "AcquisitionFrameRateControl",
    "AcquisitionFrameRate",
    "AcquisitionFrameRate_Min",
    "AcquisitionFrameRate_Max",
    "AcquisitionFrameIntervalControl",
    "AcquisitionFrameInterval",
    "AcquisitionFrameInterval_Min",
    "AcquisitionFrameInterval_Max",
    "ExposureTimeControl",
    "Gamma",
    "Gamma_Min",
    "Gamma_Max",
    "TriggerSequence",
    "TriggerSource",
    "TriggerDelay",
    "TriggerDelay_Min",
    "TriggerDelay_Max",
    "TriggerSoftware",
    "LineModeAll",
    "LineInverterAll",
    "LineStatusAll",
    "UserOutputValueAll",
    "LineSelector",
    "LineSource",
    "TimerSelector",
    "TimerDuration",
    "TimerDuration_Min",
    "TimerDuration_Max",
    "TimerDelay",
    "TimerDelay_Min",
    "TimerDelay_Max",
    "TestPattern",
};
constexpr size_t kFeatureCount = std::size(g_featureTable);

// The features offered for channel g_featureListChannel, in catalogue order; a
// position is the host's feature index. Each entry is a 256-byte name buffer.
extern std::vector<std::unique_ptr<char[]>> g_featureList;
// The whole channelID the list was built for; -1 (all bits set) matches none.
extern int64_t g_featureListChannel;

// Makes g_featureList hold the features of channelID's camera, unless it already
// does. An invalid channel leaves the list empty (and remembered).
void UpdateFeatures(int64_t channelID);
// Empties the list and forgets its channel, so any next request rebuilds it.
void ClearFeatureList();

// The adapter's own feature: any name whose first 14 characters are these.
constexpr char kAdapterVersionName[] = "AdapterVersion";
bool IsAdapterVersionName(const char* name);

// A companion ("_Min"/"_Max" after a name longer than 5 characters) stands for the
// limit of its base node.
enum class FeatureKind { Node, Minimum, Maximum };
// Splits a feature name into its kind and the base name looked up in the node map
// (written into baseName, 256 bytes).
FeatureKind SplitFeatureName(const char* name, char* baseName);
