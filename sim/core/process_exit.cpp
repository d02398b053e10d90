// The process-exit flag.
#include "sim/core/process_exit.h"

#include <atomic>

namespace sim {

namespace {
std::atomic<bool> g_exiting{false};
}

bool ProcessExiting() {
    return g_exiting;
}

void MarkProcessExiting() {
    g_exiting = true;
}

} // namespace sim
