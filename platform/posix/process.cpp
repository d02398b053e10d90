// The running process on POSIX: its executable through /proc, its environment.
#include "platform/process.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace platform {

namespace {

// Copies length characters and a terminating zero when they fit in size bytes.
bool CopyBounded(char* out, size_t size, const char* text, size_t length) {
    if (length >= size)
        return false;
    memcpy(out, text, length);
    out[length] = '\0';
    return true;
}

} // namespace

bool ExecutableFolder(char* folder, size_t size) {
    char path[PATH_MAX];
    // readlink does not terminate the text, and says nothing when it was cut short.
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0 || static_cast<size_t>(length) == sizeof path - 1)
        return false;
    path[length] = '\0';
    const char* last = strrchr(path, '/');
    if (last == nullptr)
        return false;
    return CopyBounded(folder, size, path, static_cast<size_t>(last - path) + 1);
}

bool EnvironmentValue(const char* name, char* value, size_t size) {
    const char* text = getenv(name);
    return text != nullptr && CopyBounded(value, size, text, strlen(text));
}

} // namespace platform
