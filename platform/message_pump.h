// The calling thread's window-message queue.
#pragma once

namespace platform {

// Removes, translates and dispatches every message waiting for the calling thread,
// so that a thread waiting on a file does not stall the windows it owns. A handler
// may run on this thread meanwhile. Nothing to do where there is no such queue.
void DrainMessageQueue();

} // namespace platform
