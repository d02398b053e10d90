// The log writer: one process-wide state, and a recursive lock around the ring and
// every file write.
#include "diag/log_writer.h"

#include "diag/log_file.h"
#include "diag/log_prefix.h"
#include "platform/clock.h"
#include "platform/fs.h"
#include "platform/lock.h"
#include "platform/thread.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

bool g_logEnabled = false;

namespace {

enum LogTarget : uint32_t { TARGET_NONE = 0, TARGET_MEMORY = 1, TARGET_FILE = 2 };

// The body: the text, the line feed and the terminating zero.
constexpr size_t kBodyBytes = 256;
constexpr size_t kMaxTraceBytesInRing = 512;

struct LogState {
    LogTarget target;
    char* ring;
    uint32_t ringSize;
    uint32_t writePos; // next byte to store, always below ringSize
    bool wrapped;
    uint32_t threshold;
    int64_t startCount;
    int64_t frequency;
    char filePath[platform::kPathBytes];
};

// Plain data: nothing to construct at load, nothing destroyed before the unload
// steps have run.
LogState g_logState{};
platform::RecursiveLock* g_logLock = nullptr;

class LogLockGuard {
public:
    LogLockGuard() { platform::LockEnter(g_logLock); }
    ~LogLockGuard() { platform::LockLeave(g_logLock); }
    LogLockGuard(const LogLockGuard&) = delete;
    LogLockGuard& operator=(const LogLockGuard&) = delete;
};

// At unload a thread may have ended while it held the lock (killed, or ended with the
// process): waiting for it would hang the host's exit. Tries for about 100 ms, then
// the unload goes on without it.
constexpr int64_t kUnloadLockMs = 100;

bool EnterLockAtUnload() {
    const int64_t frequency = platform::PerfFrequency();
    const int64_t giveUp = platform::PerfCounter() + frequency * kUnloadLockMs / 1000;
    while (!platform::LockTryEnter(g_logLock)) {
        if (platform::PerfCounter() > giveUp)
            return false;
        platform::SleepMs(1);
    }
    return true;
}

void StartClock() {
    g_logState.frequency = platform::PerfFrequency();
    g_logState.startCount = platform::PerfCounter();
}

// Old bytes are overwritten without notice; a line may wrap around the end.
void StoreInRing(const char* bytes, size_t count) {
    while (count > 0) {
        const size_t room = g_logState.ringSize - g_logState.writePos;
        const size_t chunk = count < room ? count : room;
        memcpy(g_logState.ring + g_logState.writePos, bytes, chunk);
        g_logState.writePos += static_cast<uint32_t>(chunk);
        bytes += chunk;
        count -= chunk;
        if (g_logState.writePos == g_logState.ringSize) {
            g_logState.writePos = 0;
            g_logState.wrapped = true;
        }
    }
}

// Opens, appends and closes for every line, so that nothing is lost when the host
// dies. False when the line is lost.
bool AppendToFile(const char* bytes, size_t count) {
    if (LogVolumeShortOfSpace(g_logState.filePath))
        return false;
    FILE* file = OpenLogFile(g_logState.filePath, "a");
    if (file == nullptr)
        return false;
    fwrite(bytes, 1, count, file);
    fclose(file);
    return true;
}

// Stores or writes bytes under the lock. An exception (a window procedure that the
// message pump ran may throw) leaves the lock released and counts as written.
bool Emit(const char* bytes, size_t count) {
    LogLockGuard lock;
    try {
        switch (g_logState.target) {
        case TARGET_MEMORY:
            StoreInRing(bytes, count);
            return true;
        case TARGET_FILE:
            return AppendToFile(bytes, count);
        default:
            return true;
        }
    } catch (...) {
        return true;
    }
}

// Writes bytes up to the first zero byte, which marks the end of what was ever
// stored; false when it met one.
bool WriteUpToZero(const char* bytes, size_t count, FILE* file) {
    const void* zero = memchr(bytes, '\0', count);
    const size_t length =
        zero == nullptr ? count : static_cast<size_t>(static_cast<const char*>(zero) - bytes);
    fwrite(bytes, 1, length, file);
    return zero == nullptr;
}

} // namespace

bool WriteLog(uint32_t level, const char* text) {
    if (!g_logEnabled)
        return false;
    if (level < g_logState.threshold)
        return true;
    const int64_t now = platform::PerfCounter();
    const char* tag = LogLevelTag(level);
    if (tag == nullptr)
        return false;
    const double seconds =
        static_cast<double>(now - g_logState.startCount) / static_cast<double>(g_logState.frequency);
    char line[kLogPrefixBytes + kBodyBytes];
    size_t length = FormatLogPrefix(line, seconds, tag, platform::CurrentThreadId());
    const size_t textLength = text == nullptr ? 0 : strnlen(text, kBodyBytes - 2);
    if (textLength > 0)
        memcpy(line + length, text, textLength);
    length += textLength;
    line[length++] = '\n';
    return Emit(line, length);
}

bool WriteTrace(const char* text) {
    if (!g_logEnabled)
        return false;
    if (g_logState.threshold > LOG_DEBUG)
        return true;
    if (text == nullptr)
        text = "";
    const size_t count =
        g_logState.target == TARGET_MEMORY ? strnlen(text, kMaxTraceBytesInRing) : strlen(text);
    return Emit(text, count);
}

bool InitMemoryLog(uint32_t size, uint32_t level) {
    if (g_logState.target != TARGET_NONE || size < kMinimumRingBytes)
        return false;
    // Zero-filled: lines hold no zero byte, so the first one ends what was written.
    char* ring = static_cast<char*>(calloc(size, 1));
    if (ring == nullptr)
        return false;
    platform::RecursiveLock* lock = platform::LockCreate();
    if (lock == nullptr) {
        free(ring);
        return false;
    }
    g_logLock = lock;
    g_logState.ring = ring;
    g_logState.ringSize = size;
    g_logState.writePos = 0;
    g_logState.target = TARGET_MEMORY;
    g_logState.threshold = level;
    g_logState.wrapped = false;
    StartClock();
    g_logEnabled = true;
    return true;
}

bool InitFileLog(const char* path, uint32_t level) {
    if (g_logEnabled || path == nullptr || strnlen(path, platform::kPathBytes) == platform::kPathBytes)
        return false;
    EnsureLogFolder(path);
    FILE* file = fopen(path, "w");
    if (file == nullptr)
        return false;
    fclose(file);
    platform::RecursiveLock* lock = platform::LockCreate();
    if (lock == nullptr)
        return false;
    g_logLock = lock;
    strcpy(g_logState.filePath, path);
    g_logState.ringSize = 0;
    g_logState.writePos = 0;
    g_logState.target = TARGET_FILE;
    g_logState.threshold = level;
    StartClock();
    g_logEnabled = true;
    return true;
}

bool FlushMemoryLog(const char* path) {
    if (g_logState.target != TARGET_MEMORY || g_logState.ring == nullptr || path == nullptr)
        return false;
    if (LogVolumeShortOfSpace(path))
        return false;
    EnsureLogFolder(path);
    // Without the lock the ring is written as it stands: its holder is gone.
    const bool locked = EnterLockAtUnload();
    bool written = true;
    try {
        FILE* file = OpenLogFile(path, "w");
        if (file == nullptr) {
            written = false;
        } else {
            const char* ring = g_logState.ring;
            const uint32_t pos = g_logState.writePos;
            if (g_logState.wrapped) {
                if (WriteUpToZero(ring + pos, g_logState.ringSize - pos, file))
                    WriteUpToZero(ring, pos, file);
            } else {
                WriteUpToZero(ring, pos, file);
            }
            fclose(file);
        }
    } catch (...) {
    }
    if (locked)
        platform::LockLeave(g_logLock);
    return written;
}

bool CloseLog() {
    if (!g_logEnabled)
        return false;
    if (!EnterLockAtUnload())
        return true; // its holder may still be inside: the log, its ring and its lock stay
    g_logState.target = TARGET_NONE;
    free(g_logState.ring);
    g_logState.ring = nullptr;
    g_logState.ringSize = 0;
    g_logState.writePos = 0;
    g_logState.wrapped = false;
    g_logState.filePath[0] = '\0';
    platform::LockLeave(g_logLock);
    platform::LockDestroy(g_logLock);
    g_logLock = nullptr;
    g_logEnabled = false;
    return true;
}
