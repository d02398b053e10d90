// Call counting and fault injection at the entry of every export.
#include "sim/core/call_gate.h"

#include "camlib/last_error.h"
#include "sim/core/frame_faults.h"
#include "sim/core/registry.h"

#include <array>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace sim {

namespace {

std::array<std::atomic<uint64_t>, camlib::kOperationCount> g_callCounts{};
// Calls of every operation since the last reset, and the span of them that fails.
std::atomic<uint64_t> g_totalCalls{0};
std::atomic<uint64_t> g_failFirst{0}, g_failCount{0};
std::atomic<PvxStatus> g_failStatus{0};
std::atomic<uint64_t> g_throwAt{0};
std::atomic<uint32_t> g_throwKind{0};
std::mutex g_argumentsMutex;
std::array<std::vector<uint64_t>, camlib::kOperationCount> g_lastArguments;
} // namespace

std::optional<PvxStatus> EnterCall(camlib::Operation operation, const CallTarget& target) {
    camlib::SetCurrentOperation(operation);
    ++g_callCounts[static_cast<std::size_t>(operation)];
    const uint64_t position = ++g_totalCalls;
    if (position == g_throwAt)
        ThrowInjected(g_throwKind);
    const uint64_t first = g_failFirst;
    try {
        if (first != 0 && position >= first && position - first < g_failCount) {
            camlib::SetLastErrorText(std::string(camlib::OperationName(operation)) +
                                     ": injected fault at call " + std::to_string(position));
            return g_failStatus.load();
        }
        const FaultScope scope = Registry::Instance().ScopeOf(target);
        std::optional<FaultHit> hit;
        // Every list counts the call; a library-wide rule wins over a camera's.
        for (FaultList* list : {scope.library.get(), scope.camera.get()}) {
            if (!list)
                continue;
            std::optional<FaultHit> listHit = list->Check(operation, scope.node);
            if (!hit)
                hit = std::move(listHit);
        }
        if (!hit)
            return std::nullopt;
        if (hit->delayMs != 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(hit->delayMs));
        if (!hit->status)
            return std::nullopt;
        camlib::SetLastErrorText(std::move(hit->errorText));
        return hit->status;
    } catch (const std::exception&) {
        return std::nullopt; // out of memory while looking: the call itself will say so
    }
}

uint64_t CallCount(camlib::Operation operation) {
    return g_callCounts[static_cast<std::size_t>(operation)];
}

void RecordArguments(camlib::Operation operation, std::initializer_list<uint64_t> arguments) {
    std::lock_guard<std::mutex> lock(g_argumentsMutex);
    g_lastArguments[static_cast<std::size_t>(operation)].assign(arguments);
}

std::vector<uint64_t> LastArguments(camlib::Operation operation) {
    std::lock_guard<std::mutex> lock(g_argumentsMutex);
    return g_lastArguments[static_cast<std::size_t>(operation)];
}

void ResetCallCounts() {
    for (std::atomic<uint64_t>& count : g_callCounts)
        count = 0;
    g_totalCalls = 0;
}

uint64_t TotalCallCount() {
    return g_totalCalls;
}

void ThrowAtCall(uint64_t position, uint32_t kind) {
    g_throwKind = kind;
    g_throwAt = position;
}

void FailCalls(uint64_t first, uint64_t count, PvxStatus status) {
    g_failStatus = status;
    g_failCount = count;
    g_failFirst = first;
}

} // namespace sim
