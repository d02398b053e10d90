// Files and folders on POSIX.
#include "platform/fs.h"

#include <sys/stat.h>

namespace platform {

bool PathExists(const char* path) {
    struct stat info;
    return stat(path, &info) == 0;
}

bool IsDirectory(const char* path) {
    struct stat info;
    return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool CreateFolder(const char* path) {
    return mkdir(path, 0777) == 0;
}

} // namespace platform
