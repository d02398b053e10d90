#include "host/view/frame_loss.h"

namespace aikhost {

void countFrame(FrameLoss& loss, std::optional<uint32_t> frame) {
    if (!frame) {
        loss.known = false;
        return;
    }
    if (loss.lastFrame && *frame > *loss.lastFrame)
        loss.lost += *frame - *loss.lastFrame - 1;
    loss.lastFrame = frame;
}

} // namespace aikhost
