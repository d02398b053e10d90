// The log's folder, the free-space guard and the open-retry rule.
#include "diag/log_file.h"

#include "platform/fs.h"
#include "platform/message_pump.h"
#include "platform/thread.h"
#include "platform/volume.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr uint64_t kMinimumFreeBytes = 200000000;
constexpr int kOpenAttempts = 10;
// The attempts after whose sleep the message queue is drained.
constexpr int kFirstDrainingAttempt = 8;

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

} // namespace

void EnsureLogFolder(const char* path) {
    size_t end = strnlen(path, platform::kPathBytes);
    while (end > 1 && !IsSeparator(path[end - 1]))
        --end;
    // The scan stops at the second character: what is left is a separator in the
    // first place (the folder is the root) or no separator at all. Neither needs
    // creating.
    if (end <= 1)
        return;
    char folder[platform::kPathBytes];
    memcpy(folder, path, end - 1);
    folder[end - 1] = '\0';
    if (!platform::IsDirectory(folder))
        platform::CreateFolder(folder);
}

bool LogVolumeShortOfSpace(const char* path) {
    uint64_t freeBytes = 0;
    return platform::VolumeFreeBytes(path, &freeBytes) && freeBytes < kMinimumFreeBytes;
}

FILE* OpenLogFile(const char* path, const char* mode) {
    for (int attempt = 1; attempt <= kOpenAttempts; ++attempt) {
        FILE* file = fopen(path, mode);
        if (file != nullptr)
            return file;
        platform::SleepMs(1);
        // A thread that owns windows must keep them answering while it waits.
        if (attempt >= kFirstDrainingAttempt)
            platform::DrainMessageQueue();
    }
    return nullptr;
}
