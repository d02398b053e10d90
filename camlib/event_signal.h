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
// After the host took a held image: a pending signal would announce nothing new, so it
// is taken back where that is possible; images still held are announced again, as the
// host's wait consumed the signal that covered them.
void SignalAfterTaking(PvxEvent event, bool canWithdraw, bool imagesHeld);

} // namespace camlib
