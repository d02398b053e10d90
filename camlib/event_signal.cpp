// Signalling over the platform's events, which are the very objects a host hands in.
#include "camlib/event_signal.h"

#include "platform/event.h"

namespace camlib {

bool IsEvent(PvxEvent event) {
    return event != platform::kNoEvent;
}

void SignalEvent(PvxEvent event) {
    // A full eventfd counter or a closed descriptor loses this signal only: the host
    // has not consumed the earlier ones either.
    platform::EventSet(event);
}

bool CanWithdrawSignals(PvxEvent event) {
    return platform::EventResetNeverBlocks(event);
}

void WithdrawSignals(PvxEvent event) {
    platform::EventReset(event);
}

void SignalAfterTaking(PvxEvent event, bool canWithdraw, bool imagesHeld) {
    if (canWithdraw)
        WithdrawSignals(event);
    if (imagesHeld)
        SignalEvent(event);
}

} // namespace camlib
