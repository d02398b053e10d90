// Signals the event a host handed to pvxOpenStream, which is a platform event.
#pragma once

#include "camera/quorvex_api.h"

namespace camlib {

// POSIX: an eventfd (negative: none). Windows: an event HANDLE (0: none).
bool IsEvent(PvxEvent event);
void SignalEvent(PvxEvent event);
// Whether pending signals can be taken back without blocking (POSIX: only from a
// non-blocking eventfd).
bool CanWithdrawSignals(PvxEvent event);
// Consumes every pending signal.
void WithdrawSignals(PvxEvent event);

} // namespace camlib
