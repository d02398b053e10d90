// One image's samples as the file writers take them, whatever the file's format.
#ifndef AIKHOST_IMAGE_SAMPLES_H
#define AIKHOST_IMAGE_SAMPLES_H

#include <cstdint>

namespace aikhost {

struct ImageSamples {
    uint32_t width = 0;
    uint32_t height = 0;
    int bitDepth = 8;                // 8, or 16 for grey with samples big-endian
    bool rgb = false;                // interleaved red, green, blue (8-bit only); grey otherwise
    int significantBits = 8;         // grey only: below bitDepth when the samples were scaled up
    const uint8_t* pixels = nullptr; // height rows of packed samples, no padding
};

} // namespace aikhost

#endif
