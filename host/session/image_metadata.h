// What a recording notes of each image besides its samples, gathered in one place: the
// frame number the image carries, when the host received it, and what the camera says
// of it. Values the camera gives once (exposure) are read before the stream starts.
#ifndef AIKHOST_IMAGE_METADATA_H
#define AIKHOST_IMAGE_METADATA_H

#include "host/loader/channel.h"
#include "recording/image_meta.h"

#include <cstdint>
#include <optional>

namespace aikhost {

class ImageMetadata {
public:
    // Reads ExposureTime (µs) from the channel; nothing when it has none.
    explicit ImageMetadata(const Channel& channel);
    // The image just received: frame from its pixels (simulated cameras), the host's
    // time now; the camera's timestamp stays empty, as no node gives it yet.
    recording::ImageMeta gather(std::optional<uint32_t> frame) const;

private:
    std::optional<double> m_exposureUs;
};

} // namespace aikhost

#endif
