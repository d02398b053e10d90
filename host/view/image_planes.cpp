// The figures come from the counts, so that one pass over the pixels serves the
// histogram and every figure alike.
#include "host/view/image_planes.h"

#include <cmath>

namespace aikhost {

namespace {

// The host's colour planes lie blue, green, red in memory.
constexpr int kColourPlaneInMemory[] = {2, 1, 0};
constexpr const char* kColourNames[] = {"red", "green", "blue"};

} // namespace

ImagePlanes::ImagePlanes(const ImageAttributes& geometry, const std::vector<uint8_t>& image) {
    if (geometry.width <= 0 || geometry.height <= 0)
        return;
    const std::size_t pixels =
        static_cast<std::size_t>(geometry.width) * static_cast<std::size_t>(geometry.height);
    int count = 0;
    std::size_t bytes = pixels;
    switch (geometry.pixelFormat) {
    case AIK_PIXEL_MONO8:
        count = 1;
        break;
    case AIK_PIXEL_MONO10:
    case AIK_PIXEL_MONO12:
        count = 1;
        bytes = 2 * pixels;
        m_bits = geometry.pixelFormat == AIK_PIXEL_MONO10 ? 10 : 12;
        break;
    case AIK_PIXEL_PLANES_RGB:
        count = 3;
        bytes = 3 * pixels;
        break;
    default:
        return;
    }
    if (image.size() < bytes)
        return;
    m_image = image.data();
    m_count = count;
    m_pixels = pixels;
    m_bytes = bytes;
}

const char* ImagePlanes::name(int plane) const {
    return m_count == 1 ? "grey" : kColourNames[plane];
}

unsigned ImagePlanes::sample(int plane, std::size_t pixel) const {
    if (m_count == 3)
        return m_image[static_cast<std::size_t>(kColourPlaneInMemory[plane]) * m_pixels + pixel];
    if (m_bits == 8)
        return m_image[pixel];
    // Little-endian words with the level in the low bits.
    return (m_image[2 * pixel] | unsigned{m_image[2 * pixel + 1]} << 8) & highest();
}

std::vector<PlaneHistogram> planeHistograms(const ImagePlanes& planes) {
    std::vector<PlaneHistogram> histograms;
    for (int plane = 0; plane < planes.count(); ++plane) {
        PlaneHistogram histogram;
        histogram.plane = planes.name(plane);
        histogram.bits = planes.bits();
        histogram.counts.assign(std::size_t{planes.highest()} + 1, 0);
        for (std::size_t pixel = 0; pixel < planes.pixels(); ++pixel)
            ++histogram.counts[planes.sample(plane, pixel)];
        double sum = 0;
        double squares = 0;
        bool seen = false;
        for (unsigned level = 0; level < histogram.counts.size(); ++level) {
            const auto count = static_cast<double>(histogram.counts[level]);
            if (count == 0)
                continue;
            histogram.minimum = seen ? histogram.minimum : level;
            histogram.maximum = level;
            seen = true;
            sum += count * level;
            squares += count * level * level;
        }
        const auto total = static_cast<double>(planes.pixels());
        histogram.mean = sum / total;
        histogram.deviation = std::sqrt(std::fmax(0.0, squares / total - histogram.mean * histogram.mean));
        histogram.saturatedPercent = 100.0 * static_cast<double>(histogram.counts.back()) / total;
        histograms.push_back(std::move(histogram));
    }
    return histograms;
}

} // namespace aikhost
