// Retired events: kept open and counted, the same on every system.
#include "platform/event.h"

#include <atomic>

namespace platform {

namespace {
std::atomic<uint32_t> g_retired{0};
}

void EventRetire(EventHandle event) {
    if (event != kNoEvent)
        ++g_retired;
}

uint32_t RetiredEventCount() {
    return g_retired;
}

} // namespace platform
