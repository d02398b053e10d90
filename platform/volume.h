// Free space of the volume a file lives on.
#pragma once

#include <cstdint>

namespace platform {

// All free bytes of the volume that holds the file at path, not only those the
// caller may use. False when the volume cannot be queried. Windows asks about the
// path's first three characters (its drive root); POSIX about the file's folder.
bool VolumeFreeBytes(const char* path, uint64_t* freeBytes);

} // namespace platform
