// Event signalling: SetEvent/ResetEvent on Windows; elsewhere an 8-byte count of 1
// written to an eventfd, and a read that takes pending counts back.
#include "sim/core/event_signal.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace sim {

#ifdef _WIN32

bool IsEvent(PvxEvent event) {
    return event != 0;
}

void SignalEvent(PvxEvent event) {
    if (IsEvent(event))
        SetEvent(reinterpret_cast<HANDLE>(event));
}

bool CanWithdrawSignals(PvxEvent event) {
    return IsEvent(event);
}

void WithdrawSignals(PvxEvent event) {
    ResetEvent(reinterpret_cast<HANDLE>(event));
}

#else

bool IsEvent(PvxEvent event) {
    return event >= 0;
}

void SignalEvent(PvxEvent event) {
    if (!IsEvent(event))
        return;
    const uint64_t one = 1;
    // A full eventfd counter or a closed descriptor loses this signal only: the
    // host has not consumed the earlier ones either.
    [[maybe_unused]] const ssize_t written = write(static_cast<int>(event), &one, sizeof one);
}

bool CanWithdrawSignals(PvxEvent event) {
    if (!IsEvent(event))
        return false;
    const int flags = fcntl(static_cast<int>(event), F_GETFL);
    return flags != -1 && (flags & O_NONBLOCK) != 0;
}

void WithdrawSignals(PvxEvent event) {
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t taken = read(static_cast<int>(event), &count, sizeof count);
}

#endif

} // namespace sim
