// The stream's counts as the camera library keeps them, read by name through ReadValue:
// the GenTL SFNC data-stream nodes both libraries of the family offer. They count what
// the camera made whatever the images carry, where frame stamps in the pixels are
// the simulator's alone.
#ifndef AIKHOST_STREAM_COUNTS_H
#define AIKHOST_STREAM_COUNTS_H

#include "host/loader/channel.h"

#include <cstdint>
#include <optional>

namespace aikhost {

struct StreamCounts {
    uint64_t delivered = 0;
    uint64_t lost = 0; // never arrived, arrived incomplete, or replaced before the host took them
    uint64_t produced() const { return delivered + lost; }
};

// Nothing when the library offers no such nodes (or one cannot be read).
std::optional<StreamCounts> readStreamCounts(const Channel& channel);

// Asks the camera library, before the stream starts, to keep every completed image for
// the host in order (StreamBufferHandlingMode OldestFirst) rather than the newest alone,
// so that images arriving closer together than the host wakes are not replaced. A
// library without the choice is left as it is.
void keepEveryImage(const Channel& channel);

} // namespace aikhost

#endif
