// Auto-reset events with the meaning of the Windows kernel's: one waiter consumes a
// signal, a signal with no waiter stays until consumed, several signals before a
// wait leave one. The handle is the value the camera library signals (PvxEvent),
// usable from any thread and from another shared library.
#pragma once

#include <cstdint>

namespace platform {

// Windows: the event HANDLE. POSIX: an eventfd descriptor (a write sets it, a read
// consumes every pending signal at once).
using EventHandle = intptr_t;

#ifdef _WIN32
constexpr EventHandle kNoEvent = 0;
#else
constexpr EventHandle kNoEvent = -1;
#endif

// A new event, not signalled; kNoEvent when it cannot be created.
EventHandle EventCreate();
bool EventSet(EventHandle event);
bool EventReset(EventHandle event);
// Whether EventReset returns at once on this handle: an eventfd opened without
// EFD_NONBLOCK (another library's, say) would make its read wait for a signal.
bool EventResetNeverBlocks(EventHandle event);
// Waits at most timeoutMs milliseconds; true when the event was signalled, and the
// signal is then consumed. False on time-out or for an invalid handle.
bool EventWait(EventHandle event, uint32_t timeoutMs);
void EventClose(EventHandle event);
// For an event that another library may still signal: the OS object stays open for
// the rest of the process instead of being closed, so that its handle or descriptor
// number is never handed to another open while that library writes to it.
void EventRetire(EventHandle event);
// Events retired so far in this process.
uint32_t RetiredEventCount();

} // namespace platform
