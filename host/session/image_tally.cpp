// The simulated cameras' frame header survives the plane conversion: each sample of a
// Bayer image stays in the plane of its own colour (camlib/frame_stamp.h).
#include "host/session/image_tally.h"

#include "camlib/frame_stamp.h"
#include "camlib/pixel_format.h"

#include <algorithm>

namespace aikhost {

std::optional<uint32_t> pixelFormatCode(const std::string& name) {
    return camlib::PixelFormatFromName(name);
}

std::optional<uint32_t> deliveredFrameNumber(const ImageAttributes& attributes, const uint8_t* image,
                                             uint32_t storedFormat) {
    const auto width = static_cast<uint32_t>(attributes.width);
    if (attributes.pixelFormat != AIK_PIXEL_PLANES_RGB)
        return camlib::DecodeFrameNumber(storedFormat, image, width);
    if (width < camlib::kFrameHeaderPixels || attributes.height < 1)
        return std::nullopt;
    const std::size_t plane = std::size_t{width} * static_cast<uint32_t>(attributes.height);
    // Row 0 alone: the header lies there.
    std::vector<uint8_t> stored(std::size_t{width} * camlib::BytesPerPixel(storedFormat));
    camlib::StoredFromPlanes(storedFormat, image + 2 * plane, image + plane, image, width, 1, stored.data());
    return camlib::DecodeFrameNumber(storedFormat, stored.data(), width);
}

void ImageTally::addDelivered(std::optional<uint32_t> frameNumber) {
    ++m_delivered;
    if (!frameNumber) {
        m_counted = false;
        return;
    }
    if (!m_first)
        m_first = frameNumber;
    m_highest = m_highest ? std::max(*m_highest, *frameNumber) : *frameNumber;
}

std::optional<uint64_t> ImageTally::produced() const {
    if (m_library)
        return m_library->produced();
    if (!m_counted || !m_first)
        return std::nullopt;
    return uint64_t{*m_highest} - *m_first + 1;
}

std::optional<uint64_t> ImageTally::lost() const {
    if (m_library)
        return m_library->lost;
    const std::optional<uint64_t> made = produced();
    if (!made)
        return std::nullopt;
    return *made > m_delivered ? *made - m_delivered : 0;
}

} // namespace aikhost
