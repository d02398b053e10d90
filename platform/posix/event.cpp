// Events over eventfd: the camera library signals them with a plain write.
#include "platform/event.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace platform {

EventHandle EventCreate() {
    int fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    return fd < 0 ? kNoEvent : fd;
}

bool EventSet(EventHandle event) {
    uint64_t one = 1;
    return event >= 0 && write(static_cast<int>(event), &one, sizeof one) == sizeof one;
}

// Consumes every pending signal; true when there was one.
static bool Consume(EventHandle event) {
    uint64_t count = 0;
    return read(static_cast<int>(event), &count, sizeof count) == sizeof count;
}

bool EventReset(EventHandle event) {
    if (event < 0)
        return false;
    Consume(event);
    return true;
}

bool EventResetNeverBlocks(EventHandle event) {
    if (event < 0)
        return false;
    const int flags = fcntl(static_cast<int>(event), F_GETFL);
    return flags != -1 && (flags & O_NONBLOCK) != 0;
}

bool EventWait(EventHandle event, uint32_t timeoutMs) {
    if (event < 0)
        return false;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (Consume(event))
            return true;
        // Rounded up: poll counts whole milliseconds, and rounding down would end the
        // wait before its bound.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left < 0)
            return false;
        pollfd pfd{static_cast<int>(event), POLLIN, 0};
        int ready = poll(&pfd, 1, static_cast<int>(left));
        if (ready < 0 && errno != EINTR)
            return false;
        if (ready == 0)
            return Consume(event);
        // Readable: another waiter may still take it first, so loop and try.
    }
}

void EventClose(EventHandle event) {
    if (event >= 0)
        close(static_cast<int>(event));
}

} // namespace platform
