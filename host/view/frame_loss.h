// Images the camera made that never reached the host, counted from the frame number
// that simulated images carry (sim/pattern.h): every gap between two delivered frame
// numbers is that many lost images. Images without a number leave the count unknown.
#ifndef AIKHOST_FRAME_LOSS_H
#define AIKHOST_FRAME_LOSS_H

#include "adapter/video_channel.h"

#include <cstdint>
#include <optional>

namespace aikhost {

// The frame number of an image laid out as GetImage delivers it for geometry.
std::optional<uint32_t> deliveredFrameNumber(const ImageAttributes& geometry, const uint8_t* image);

struct FrameLoss {
    std::optional<uint32_t> lastFrame;
    uint64_t lost = 0;
    bool known = true; // false once an image came without a frame number
};

// Counts the gap before frame; a frame number that goes backwards (a restarted
// stream) starts the count afresh from it.
void countFrame(FrameLoss& loss, std::optional<uint32_t> frame);

} // namespace aikhost

#endif
