// The planes of an image as the host receives it, at the depth the camera delivered
// them: one grey plane of 8, 10 or 12 bits, or three colour planes of 8 bits; and
// per plane, the histogram of every level with what operators read from it.
#ifndef AIKHOST_IMAGE_PLANES_H
#define AIKHOST_IMAGE_PLANES_H

#include "channel/video_channel.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace aikhost {

class ImagePlanes {
public:
    // Nothing to read (count() 0) for a format the host does not receive, or an image
    // smaller than its geometry says.
    ImagePlanes(const ImageAttributes& geometry, const std::vector<uint8_t>& image);

    int count() const { return m_count; }
    unsigned bits() const { return m_bits; }
    unsigned highest() const { return (1u << m_bits) - 1; }
    std::size_t pixels() const { return m_pixels; }
    // The bytes of the image these planes are read from.
    std::size_t bytes() const { return m_bytes; }
    // "grey", or "red", "green", "blue"
    const char* name(int plane) const;
    // The level of pixel (row-major index) in plane; red, green, blue in that order.
    unsigned sample(int plane, std::size_t pixel) const;

private:
    const uint8_t* m_image = nullptr;
    int m_count = 0;
    unsigned m_bits = 8;
    std::size_t m_pixels = 0;
    std::size_t m_bytes = 0;
};

struct PlaneHistogram {
    std::string plane;
    unsigned bits = 8;
    std::vector<uint64_t> counts; // one per level, 2^bits of them
    unsigned minimum = 0;
    unsigned maximum = 0;
    double mean = 0;
    double deviation = 0;        // standard deviation
    double saturatedPercent = 0; // of the pixels at the highest level
};

std::vector<PlaneHistogram> planeHistograms(const ImagePlanes& planes);

} // namespace aikhost

#endif
