// The running process on Win32: its main module's file name, its environment.
#include "platform/process.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

bool EnvironmentValue(const char* name, char* value, size_t size) {
    char* text = nullptr;
    size_t length = 0;
    if (_dupenv_s(&text, &length, name) != 0 || text == nullptr)
        return false;
    const size_t textLength = strlen(text);
    const bool fits = textLength < size;
    if (fits)
        memcpy(value, text, textLength + 1);
    free(text);
    return fits;
}

} // namespace platform
