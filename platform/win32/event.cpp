// Events over Win32 auto-reset event objects.
#include "platform/event.h"

#include <windows.h>

namespace platform {

static HANDLE AsHandle(EventHandle event) {
    return reinterpret_cast<HANDLE>(event);
}

EventHandle EventCreate() {
    return reinterpret_cast<EventHandle>(CreateEventA(nullptr, FALSE, FALSE, nullptr));
}
bool EventSet(EventHandle event) {
    return event != kNoEvent && SetEvent(AsHandle(event)) != 0;
}
bool EventReset(EventHandle event) {
    return event != kNoEvent && ResetEvent(AsHandle(event)) != 0;
}
bool EventResetNeverBlocks(EventHandle event) {
    return event != kNoEvent;
}

bool EventWait(EventHandle event, uint32_t timeoutMs) {
    return event != kNoEvent && WaitForSingleObject(AsHandle(event), timeoutMs) == WAIT_OBJECT_0;
}

void EventClose(EventHandle event) {
    if (event != kNoEvent)
        CloseHandle(AsHandle(event));
}

} // namespace platform
