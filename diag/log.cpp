// The formatting funnel behind the logging macros.
#include "diag/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {
constexpr size_t kMessageBytes = 256;
}

void LogFormat(uint32_t level, const char* format, ...) {
    char message[kMessageBytes];
    va_list args;
    va_start(args, format);
    vsnprintf(message, sizeof message, format, args);
    va_end(args);
    // The log may have been closed while the message was formatted.
    if (!g_logEnabled)
        return;
    char line[kMessageBytes];
    memcpy(line, message, sizeof line);
    WriteLog(level, line);
}

void TraceFormat(const char* format, ...) {
    char text[kMessageBytes];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    WriteTrace(text);
}
