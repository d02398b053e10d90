// The diagnostic log writer: time-stamped, levelled lines and raw trace text, to a
// file or to a ring in memory that is written out at unload.
#pragma once

#include <cstdint>

// Levels of WriteLog; a line is written when its level is at or above the threshold.
enum LogLevel : uint32_t { LOG_DEBUG = 0, LOG_INFO = 1, LOG_WARN = 2, LOG_ERROR = 3, LOG_FATAL = 4 };

// True from a successful set-up until CloseLog. Read without a lock: it changes only
// while the module loads and unloads.
extern bool g_logEnabled;

bool WriteLog(uint32_t level, const char* text);
bool WriteTrace(const char* text);
