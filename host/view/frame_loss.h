// Images the camera made that never reached the host, counted across restarts of the
// stream from the frame numbers delivered images carry (deliveredFrameNumber): every
// gap between two of them is that many lost images. Images without a number leave the
// count unknown.
#ifndef AIKHOST_FRAME_LOSS_H
#define AIKHOST_FRAME_LOSS_H

#include <cstdint>
#include <optional>

namespace aikhost {

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
