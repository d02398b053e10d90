// Free space on POSIX: the volume of the file's folder, which exists even before
// the file does.
#include "platform/volume.h"

#include <climits>
#include <cstring>
#include <sys/statvfs.h>

namespace platform {

bool VolumeFreeBytes(const char* path, uint64_t* freeBytes) {
    char folder[PATH_MAX];
    const size_t length = strnlen(path, sizeof folder);
    if (length == sizeof folder)
        return false;
    memcpy(folder, path, length + 1);
    char* slash = strrchr(folder, '/');
    if (slash == nullptr)
        strcpy(folder, ".");
    else
        slash[slash == folder ? 1 : 0] = '\0'; // the root keeps its slash
    struct statvfs volume;
    if (statvfs(folder, &volume) != 0)
        return false;
    *freeBytes = static_cast<uint64_t>(volume.f_bfree) * volume.f_frsize;
    return true;
}

} // namespace platform
