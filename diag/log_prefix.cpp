// Formats the log line prefix without printf, which alone would cost more than the
// rest of a memory log line.
#include "diag/log_prefix.h"

#include "diag/log_level.h"

#include <charconv>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kLevelTags[] = {"DEBUG,", "INFO ,", "WARN ,", "ERROR,", "FATAL,"};
static_assert(sizeof kLevelTags / sizeof kLevelTags[0] == LOG_FATAL + 1, "one tag per level");

constexpr size_t kTagChars = 6;
// ",API " + tag + "ThreadId:" + sign and ten digits + "," + terminating zero.
constexpr size_t kAfterSecondsBytes = 5 + kTagChars + 9 + 11 + 1 + 1;

char* Append(char* out, const char* text, size_t length) {
    memcpy(out, text, length);
    return out + length;
}

// "%04d": at least four characters, the sign counted, zeros between sign and digits.
char* AppendThreadId(char* out, uint32_t threadId) {
    const bool negative = static_cast<int32_t>(threadId) < 0;
    uint32_t magnitude = negative ? 0u - threadId : threadId;
    char digits[10];
    size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative)
        *out++ = '-';
    for (size_t width = negative ? 3 : 4; width > count; --width)
        *out++ = '0';
    while (count > 0)
        *out++ = digits[--count];
    return out;
}

} // namespace

const char* LogLevelTag(uint32_t level) {
    return level <= LOG_FATAL ? kLevelTags[level] : nullptr;
}

size_t FormatLogPrefix(char* out, double seconds, const char* tag, uint32_t threadId) {
    // Fixed notation with a precision prints exactly what printf's "%.06f" prints.
    const std::to_chars_result secondsEnd =
        std::to_chars(out, out + kLogPrefixBytes - kAfterSecondsBytes, seconds, std::chars_format::fixed, 6);
    if (secondsEnd.ec != std::errc()) {
        // Only an absurd clock reading has this many digits; printf cuts the line.
        const int length = snprintf(out, kLogPrefixBytes, "%.06f,API %sThreadId:%04d,", seconds, tag,
                                    static_cast<int>(threadId));
        return length < 0 ? 0 : strnlen(out, kLogPrefixBytes);
    }
    char* p = Append(secondsEnd.ptr, ",API ", 5);
    p = Append(p, tag, kTagChars);
    p = Append(p, "ThreadId:", 9);
    p = AppendThreadId(p, threadId);
    *p++ = ',';
    *p = '\0';
    return static_cast<size_t>(p - out);
}
