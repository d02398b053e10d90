// Reads a JSON description of simulated cameras and checks every field of it.
#pragma once

#include "sim/core/description.h"

#include <string>
#include <vector>

namespace sim {

// Throws DescriptionError for a field that is wrong (its JSON path and what was
// expected) and std::runtime_error for a file that cannot be read or parsed. Fields
// that are not part of the format are ignored, each with a line in warnings.
Description ReadDescriptionFile(const std::string& file, std::vector<std::string>& warnings);
// The same for a description's text; folder: where a relative recording path starts
// (the description file's folder; empty: the working directory).
Description ReadDescriptionText(const std::string& text, std::vector<std::string>& warnings,
                                const std::string& folder = "");

} // namespace sim
