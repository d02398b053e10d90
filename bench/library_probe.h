// What the module hands the camera library and gets back, seen from the benchmark
// program: the frame event of the last stream opened, when the library completed the
// image locked last, and how long its last image copy took.
#pragma once

#include "camera/quorvex_api.h"

#include <cstdint>

namespace aikbench {

// The event the module gave the last pvxOpenStream; -1 before any.
PvxEvent LastFrameEvent();
// The completion time (steady clock, microseconds) of the image pvxLockImage filled last.
uint64_t LastLockedTimestamp();
// Microseconds the library's last pvxCopyImageData took.
double LastCopyMicroseconds();

} // namespace aikbench
