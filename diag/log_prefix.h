// The prefix of a log line: seconds since set-up, level tag and thread identifier.
#pragma once

#include <cstddef>
#include <cstdint>

// The prefix buffer, terminating zero included.
constexpr size_t kLogPrefixBytes = 256;

// The six-character tag of a level, such as "INFO ,"; nullptr above LOG_FATAL.
const char* LogLevelTag(uint32_t level);

// Writes what "%.06f,API %sThreadId:%04d," prints for seconds, tag and threadId
// (as a signed number) into out, which holds kLogPrefixBytes, and returns its length.
size_t FormatLogPrefix(char* out, double seconds, const char* tag, uint32_t threadId);
