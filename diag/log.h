// How the module logs: macros that test g_logEnabled before anything is formatted,
// so a module without a log pays one flag test per message.
#pragma once

#include "diag/log_writer.h"

#if defined(__GNUC__)
#define AIK_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define AIK_PRINTF(fmt, args)
#endif

// Formats a line (at most 255 characters) and hands it to WriteLog.
void LogFormat(uint32_t level, const char* format, ...) AIK_PRINTF(2, 3);
// Formats a trace text (at most 255 characters) and hands it to WriteTrace.
void TraceFormat(const char* format, ...) AIK_PRINTF(1, 2);

#define AIK_LOG(level, ...)                                                                                  \
    do {                                                                                                     \
        if (g_logEnabled)                                                                                    \
            LogFormat(level, __VA_ARGS__);                                                                   \
    } while (0)

#define AIK_TRACE(...)                                                                                       \
    do {                                                                                                     \
        if (g_logEnabled)                                                                                    \
            TraceFormat(__VA_ARGS__);                                                                        \
    } while (0)
