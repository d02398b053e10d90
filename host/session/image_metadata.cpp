// The host time is the wall clock, so that recordings of several channels and
// machines line up; replay takes only its differences.
#include "host/session/image_metadata.h"

#include <chrono>
#include <cstdlib>

namespace aikhost {

ImageMetadata::ImageMetadata(const Channel& channel) {
    const TextResult exposure = channel.readValue("ExposureTime");
    if (exposure.ok())
        m_exposureUs = std::strtod(exposure.text.c_str(), nullptr);
}

recording::ImageMeta ImageMetadata::gather(std::optional<uint32_t> frame) const {
    recording::ImageMeta meta;
    meta.frame = frame;
    meta.hostTimeNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                          std::chrono::system_clock::now().time_since_epoch())
                          .count();
    meta.exposureUs = m_exposureUs;
    return meta;
}

} // namespace aikhost
