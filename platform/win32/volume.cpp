// Free space on Win32: the volume named by the path's drive root.
#include "platform/volume.h"

#include <windows.h>

namespace platform {

bool VolumeFreeBytes(const char* path, uint64_t* freeBytes) {
    // The first three characters, such as "C:\"; anything else makes the query fail.
    char root[4] = {};
    for (int i = 0; i < 3 && path[i] != '\0'; ++i)
        root[i] = path[i];
    ULARGE_INTEGER totalFree;
    if (!GetDiskFreeSpaceExA(root, nullptr, nullptr, &totalFree))
        return false;
    *freeBytes = totalFree.QuadPart;
    return true;
}

} // namespace platform
