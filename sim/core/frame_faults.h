// Faults on a stream's frame thread rather than at an export: exceptions thrown while
// an image is made, and a slow signal. The call gate throws its exceptions here too.
#pragma once

#include <cstdint>

namespace sim {

// Throws an exception of kind (PVX_SIM_THROW_*), as a library that lets one escape would.
[[noreturn]] void ThrowInjected(uint32_t kind);

// The next count images of any stream throw an exception of kind on the frame thread
// while they are made; count 0 ends it. EnterFrame is where they throw.
void ThrowInFrames(uint64_t count, uint32_t kind);
void EnterFrame();

// Every stream's frame thread then waits ms at each image's signal (EnterSignal), with
// the stream locked, as a slow library would; 0 ends it.
void HoldInSignal(uint32_t ms);
void EnterSignal();

} // namespace sim
