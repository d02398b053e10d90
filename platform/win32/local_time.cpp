// Local time on Win32, through the runtime's 64-bit time functions.
#include "platform/local_time.h"

#include <ctime>

namespace platform {

LocalTime CurrentLocalTime() {
    const __time64_t now = _time64(nullptr);
    struct tm parts;
    if (_localtime64_s(&parts, &now) != 0)
        return LocalTime{};
    return LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                     parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

} // namespace platform
