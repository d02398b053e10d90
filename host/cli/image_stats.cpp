// Mono10 and Mono12 arrive as little-endian 16-bit words with the value in the low bits.
#include "host/cli/image_stats.h"

#include <algorithm>

namespace aikhost {

namespace {

template <class Sample>
PlaneStats planeStats(const char* name, std::size_t count, unsigned top, Sample sample) {
    PlaneStats stats;
    stats.plane = name;
    stats.minimum = top;
    uint64_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned value = sample(i);
        stats.minimum = std::min(stats.minimum, value);
        stats.maximum = std::max(stats.maximum, value);
        sum += value;
        stats.saturated += value >= top ? 1 : 0;
    }
    stats.mean = count > 0 ? static_cast<double>(sum) / static_cast<double>(count) : 0;
    return stats;
}

} // namespace

std::vector<PlaneStats> imageStats(const ImageAttributes& attributes, const uint8_t* image) {
    const std::size_t pixels =
        static_cast<std::size_t>(attributes.width) * static_cast<std::size_t>(attributes.height);
    switch (attributes.pixelFormat) {
    case AIK_PIXEL_MONO8:
        return {planeStats("grey", pixels, 255, [image](std::size_t i) { return unsigned{image[i]}; })};
    case AIK_PIXEL_MONO10:
    case AIK_PIXEL_MONO12: {
        const unsigned top = attributes.pixelFormat == AIK_PIXEL_MONO10 ? 1023 : 4095;
        return {planeStats("grey", pixels, top, [image, top](std::size_t i) {
            return (image[2 * i] | unsigned{image[2 * i + 1]} << 8) & top;
        })};
    }
    default: {
        std::vector<PlaneStats> planes;
        const char* const names[] = {"blue", "green", "red"};
        for (std::size_t p = 0; p < 3; ++p) {
            const uint8_t* plane = image + p * pixels;
            planes.push_back(
                planeStats(names[p], pixels, 255, [plane](std::size_t i) { return unsigned{plane[i]}; }));
        }
        std::reverse(planes.begin(), planes.end());
        return planes;
    }
    }
}

} // namespace aikhost
