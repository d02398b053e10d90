// std::signal is the one signal interface both POSIX and Windows builds have.
#include "host/cli/interrupt.h"

#include <atomic>
#include <csignal>

namespace aikhost {

namespace {

// Atomic rather than sig_atomic_t: threads other than the one the signal lands on
// (record's channel threads) read it. Lock-free, so the handler may set it.
std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "a signal handler sets it");

extern "C" void onInterrupt(int signalNumber) {
    g_interrupted = true;
    std::signal(signalNumber, onInterrupt);
}

} // namespace

void catchInterrupts() {
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
}

bool interrupted() {
    return g_interrupted;
}

} // namespace aikhost
