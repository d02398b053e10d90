// std::signal is the one signal interface both POSIX and Windows builds have.
#include "host/cli/interrupt.h"

#include <csignal>

namespace aikhost {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void onInterrupt(int signalNumber) {
    g_interrupted = 1;
    std::signal(signalNumber, onInterrupt);
}

} // namespace

void catchInterrupts() {
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
}

bool interrupted() {
    return g_interrupted != 0;
}

} // namespace aikhost
