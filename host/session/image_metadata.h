// What a recording notes of each image besides its samples, gathered in one place: the
// frame number the image carries, when the host received it, and what the camera says
// of it. Values the camera gives once (exposure) are read before the stream starts;
// the last image's frame id and timestamp are read by their standard chunk names where
// the camera library offers them, and left unknown where it does not.
#ifndef AIKHOST_IMAGE_METADATA_H
#define AIKHOST_IMAGE_METADATA_H

#include "host/loader/channel.h"
#include "recording/image_meta.h"

#include <cstdint>
#include <optional>

namespace aikhost {

class ImageMetadata {
public:
    // Reads ExposureTime (µs) and finds out which chunk nodes the channel answers.
    explicit ImageMetadata(const Channel& channel);
    // The image just received: its frame number from its pixels (simulated cameras),
    // else the camera's frame id; the host's time now; the camera's timestamp.
    recording::ImageMeta gather(std::optional<uint32_t> stampedFrame) const;

private:
    std::optional<uint64_t> readCount(const char* node) const;

    const Channel& m_channel;
    std::optional<double> m_exposureUs;
    bool m_frameIds = false, m_timestamps = false;
};

} // namespace aikhost

#endif
