// The performance counter on POSIX: the monotonic clock in nanoseconds.
#include "platform/clock.h"

#include <ctime>

namespace platform {

int64_t PerfCounter() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

int64_t PerfFrequency() {
    return 1000000000LL;
}

} // namespace platform
