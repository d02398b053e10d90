// The running process on Win32: its main module's file name, its environment.
#include "platform/process.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace platform {

bool ExecutableFolder(char* folder, size_t size) {
    char path[MAX_PATH];
    // No module handle: the host's executable, not this DLL.
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    char drive[_MAX_DRIVE];
    char dir[_MAX_DIR];
    if (_splitpath_s(path, drive, sizeof drive, dir, sizeof dir, nullptr, 0, nullptr, 0) != 0)
        return false;
    const int written = snprintf(folder, size, "%s%s", drive, dir);
    return written >= 0 && static_cast<size_t>(written) < size;
}

// getenv_s rather than _dupenv_s, which msvcrt.dll (the C runtime mingw-w64 builds
// against) lacks: the same C runtime environment, read into the caller's buffer.
bool EnvironmentValue(const char* name, char* value, size_t size) {
    size_t length = 0; // with the terminating zero; 0 when the variable is not set
    return getenv_s(&length, value, size, name) == 0 && length != 0;
}

} // namespace platform
