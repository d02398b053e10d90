// The standard node map every simulated camera carries unless its description
// switches it off: the feature catalogue's nodes plus the usual GenICam ones
// (Width, ExposureTime, TriggerMode, ...), with values tied to the camera's state.
#pragma once

#include "sim/core/description.h"

#include <optional>
#include <string_view>
#include <vector>

namespace sim {

std::vector<NodeSpec> StandardNodes(const CameraSpec& camera);
// The type of the standard node of that name, if there is one.
std::optional<NodeType> StandardNodeType(std::string_view name);

// Entry names of the enumerations whose value is camera state.
inline constexpr std::string_view kTriggerModeEntries[] = {"Off", "On"};
inline constexpr std::string_view kTriggerActivationEntries[] = {"FallingEdge", "RisingEdge"};
inline constexpr std::string_view kExposureControlEntries[] = {"Off", "Timed", "TriggerWidth"};
static_assert(std::size(kExposureControlEntries) == kExposureControlModes, "one entry per mode");

} // namespace sim
