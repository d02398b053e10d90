// Whether the process is exiting while the library is still loaded. On Windows its
// other threads (a stream's generator among them) are gone by then, perhaps holding a
// lock: what the library holds is left to the system instead of being torn down.
#pragma once

namespace sim {

bool ProcessExiting();
// From the library's detach notification when the process terminates.
void MarkProcessExiting();

} // namespace sim
