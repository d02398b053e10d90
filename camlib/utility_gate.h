// The utility library's entry gate: when the access library loaded beside it exports
// a utility gate (the simulated one does, for its call counts and injected faults),
// every utility operation passes it first; without one the utility library works alone.
#pragma once

#include "camera/quorvex_api.h"
#include "camlib/operations.h"

#include <optional>

namespace camlib {

// The status to return instead of running the call, when a fault says so. image is
// the image data the call works on (may be null).
std::optional<PvxStatus> EnterUtilityCall(Operation operation, const void* image);

} // namespace camlib
