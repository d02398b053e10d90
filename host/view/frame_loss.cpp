#include "host/view/frame_loss.h"

#include "camera/quorvex_api.h"
#include "sim/pattern.h"

namespace aikhost {

std::optional<uint32_t> deliveredFrameNumber(const ImageAttributes& geometry, const uint8_t* image) {
    const auto width = static_cast<uint32_t>(geometry.width);
    switch (geometry.pixelFormat) {
    case AIK_PIXEL_MONO8:
    // Header pixels are grey, so each plane of an RGB or BGR image carries them whole.
    case AIK_PIXEL_PLANES_RGB:
        return sim::DecodeFrameNumber(PVX_PIXEL_MONO8, image, width);
    case AIK_PIXEL_MONO10:
        return sim::DecodeFrameNumber(PVX_PIXEL_MONO10, image, width);
    case AIK_PIXEL_MONO12:
        return sim::DecodeFrameNumber(PVX_PIXEL_MONO12, image, width);
    default:
        return std::nullopt;
    }
}

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
