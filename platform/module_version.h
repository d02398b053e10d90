// The file version of the module this code is linked into.
#pragma once

#include <cstdint>

namespace platform {

// Writes major, minor, build and revision into parts. Windows: from the module's
// version resource; false when the module has none or it cannot be read. POSIX has
// no version resources: the numbers the build compiled in, always true.
bool ModuleFileVersion(uint16_t parts[4]);

} // namespace platform
