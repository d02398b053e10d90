// Opaque handles: never 0, never reused within a process, and tagged by kind so that
// a handle of one kind is never taken for another.
#pragma once

#include "camera/quorvex_api.h"

namespace sim {

enum class HandleKind : uint64_t { Camera = 0xCA, Stream = 0x57, Node = 0x0D, EnumEntry = 0xEE };

PvxHandle NewHandle(HandleKind kind);

} // namespace sim
