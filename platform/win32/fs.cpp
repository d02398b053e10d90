// Files and folders on Win32, through the shell's path functions.
#include "platform/fs.h"

#include <windows.h>

#include <shlwapi.h>

namespace platform {

bool PathExists(const char* path) {
    return PathFileExistsA(path) != FALSE;
}

bool IsDirectory(const char* path) {
    return PathIsDirectoryA(path) != FALSE;
}

bool CreateFolder(const char* path) {
    return CreateDirectoryA(path, nullptr) != FALSE;
}

} // namespace platform
