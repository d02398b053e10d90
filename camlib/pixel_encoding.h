// Pixels as a camera of the family stores them: one grey level or colour written as
// the bytes of a PFNC format, and planes turned back into the stored layout. Header-only,
// so tools and tests use it without linking a camera library.
#pragma once

#include "camlib/pixel_format.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace camlib {

struct Rgb {
    uint8_t r, g, b;
};

// Writes the bytes of one pixel of format code; x and y are image coordinates (their
// parity places a Bayer sample). Multi-byte samples are little-endian with the grey
// level in the top bits. Returns the number of bytes written.
inline uint32_t EncodePixel(uint32_t code, uint32_t x, uint32_t y, uint8_t grey, Rgb colour, uint8_t* out) {
    const PixelFormatInfo& format = PixelFormatOf(code);
    const uint32_t bytes = BytesPerPixel(code);
    switch (format.layout) {
    case SampleLayout::Mono:
        if (bytes == 1) {
            out[0] = grey;
        } else {
            const uint32_t sample = static_cast<uint32_t>(grey) << (format.significantBits - 8);
            out[0] = static_cast<uint8_t>(sample);
            out[1] = static_cast<uint8_t>(sample >> 8);
        }
        break;
    case SampleLayout::Bayer: {
        const bool redRow = (y & 1) == format.redY;
        const bool redColumn = (x & 1) == format.redX;
        out[0] = redRow && redColumn ? colour.r : (!redRow && !redColumn ? colour.b : colour.g);
        break;
    }
    case SampleLayout::Rgb:
        out[0] = colour.r;
        out[1] = colour.g;
        out[2] = colour.b;
        break;
    case SampleLayout::Bgr:
        out[0] = colour.b;
        out[1] = colour.g;
        out[2] = colour.r;
        break;
    case SampleLayout::Yuv422: // luma only: the chroma of every pixel is neutral
        out[0] = grey;
        out[1] = 128;
        break;
    case SampleLayout::Opaque:
        std::memset(out, grey, bytes);
        break;
    }
    return bytes;
}

// The image as stored, back from the three planes a host receives: each Bayer sample
// from the plane of its own colour (which a conversion leaves as it was), RGB8 and
// BGR8 interleaved again.
inline void StoredFromPlanes(uint32_t code, const uint8_t* red, const uint8_t* green, const uint8_t* blue,
                             uint32_t width, uint32_t height, uint8_t* out) {
    const uint32_t bytes = BytesPerPixel(code);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const std::size_t i = std::size_t{y} * width + x;
            const Rgb colour{red[i], green[i], blue[i]};
            EncodePixel(code, x, y, colour.g, colour, out + i * bytes);
        }
    }
}

} // namespace camlib
