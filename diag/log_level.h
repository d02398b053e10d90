// The levels of the log, lowest first.
#pragma once

#include <cstdint>

// A line is written when its level is at or above the threshold.
enum LogLevel : uint32_t { LOG_DEBUG = 0, LOG_INFO = 1, LOG_WARN = 2, LOG_ERROR = 3, LOG_FATAL = 4 };
