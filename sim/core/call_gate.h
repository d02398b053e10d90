// The gate every export passes first: it counts the call and answers it with an
// injected fault when a rule of the current description says so.
#pragma once

#include "camera/quorvex_api.h"
#include "camlib/operations.h"
#include "sim/core/call_target.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

namespace sim {

// The status to return instead of running the call, when a fault says so.
std::optional<PvxStatus> EnterCall(camlib::Operation operation, const CallTarget& target);

uint64_t CallCount(camlib::Operation operation);
// Calls of all operations since the last reset, which also restarts this count.
uint64_t TotalCallCount();
// From then on, calls first to first + count - 1 of that count answer status (a
// transient fault, or with a huge count an unplugged camera); first 0 ends it.
void FailCalls(uint64_t first, uint64_t count, PvxStatus status);

// Call position of that count throws an exception of kind (PVX_SIM_THROW_*) out of
// the export, as a library that lets exceptions escape would; position 0 ends it.
void ThrowAtCall(uint64_t position, uint32_t kind);

// The scalar arguments of the latest call of an operation that records them (the
// reserved words and modes a camera never reports back), for tests.
void RecordArguments(camlib::Operation operation, std::initializer_list<uint64_t> arguments);
std::vector<uint64_t> LastArguments(camlib::Operation operation);
void ResetCallCounts();

} // namespace sim
