// Thread identity and sleeping on POSIX.
#include "platform/thread.h"

#include <cerrno>
#include <ctime>
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform {

namespace {

// The system call costs more than a whole log line, so each thread asks once. The
// one thread of a forked child has a new identifier and must ask again.
thread_local uint32_t t_threadId = 0;

void ForgetThreadId() {
    t_threadId = 0;
}

} // namespace

uint32_t CurrentThreadId() {
    if (t_threadId == 0) {
        static const bool forgottenAtFork = pthread_atfork(nullptr, nullptr, ForgetThreadId) == 0;
        (void)forgottenAtFork;
        t_threadId = static_cast<uint32_t>(syscall(SYS_gettid));
    }
    return t_threadId;
}

void SleepMs(uint32_t milliseconds) {
    timespec left{static_cast<time_t>(milliseconds / 1000),
                  static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

} // namespace platform
