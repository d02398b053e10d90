// Opaque handles: never 0, never reused within a process, and tagged by kind so that
// a handle of one kind is never taken for another.
#pragma once

#include "camera/quorvex_api.h"

#include <string>

namespace sim {

enum class HandleKind : uint64_t { Camera = 0xCA, Stream = 0x57, Node = 0x0D, EnumEntry = 0xEE };

PvxHandle NewHandle(HandleKind kind);

// A handle as failure texts show it: 0x and sixteen hexadecimal digits.
std::string HandleText(PvxHandle handle);

} // namespace sim
