// The frame-thread faults: counters the frame threads take from, set by the test control.
#include "sim/core/frame_faults.h"

#include "sim/sim_control.h"

#include <atomic>
#include <chrono>
#include <new>
#include <thread>

namespace sim {

namespace {

// What a library written carelessly lets escape through its C functions.
struct ForeignException {
    int code;
};

std::atomic<uint64_t> g_frameThrows{0};
std::atomic<uint32_t> g_frameThrowKind{0};
std::atomic<uint32_t> g_signalHoldMs{0};

} // namespace

[[noreturn]] void ThrowInjected(uint32_t kind) {
    if (kind == PVX_SIM_THROW_BAD_ALLOC)
        throw std::bad_alloc();
    throw ForeignException{static_cast<int>(kind)};
}

void ThrowInFrames(uint64_t count, uint32_t kind) {
    g_frameThrowKind = kind;
    g_frameThrows = count;
}

void EnterFrame() {
    uint64_t due = g_frameThrows;
    while (due != 0 && !g_frameThrows.compare_exchange_weak(due, due - 1)) {
    }
    if (due != 0)
        ThrowInjected(g_frameThrowKind);
}

void HoldInSignal(uint32_t ms) {
    g_signalHoldMs = ms;
}

void EnterSignal() {
    if (const uint32_t ms = g_signalHoldMs)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace sim
