// The utility library's entry gate: when QuorvexApi64 is loaded in the process, its
// call counts and injected faults cover the utility operations too; without it the
// utility library works alone.
#pragma once

#include "camera/quorvex_api.h"
#include "sim/core/operations.h"

#include <optional>

namespace sim {

// The status to return instead of running the call, when a fault says so. image is
// the image data the call works on (may be null).
std::optional<PvxStatus> EnterUtilityCall(Operation operation, const void* image);

} // namespace sim
