// The frame number and integrity stamp every image of a simulated camera carries, and
// how a host reads them back. Header-only, so tools and tests use it without linking a
// camera library.
//
// The first kFrameHeaderPixels pixels of row 0 carry the frame number: pixel k holds
// byte k of the number (least significant first) for k < 4 and the complement of byte
// k - 4 for k >= 4, as a grey level of the format.
#pragma once

#include "camlib/pixel_encoding.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

namespace camlib {

// Where an image lies on the sensor, and in which format.
struct ImageGeometry {
    uint32_t pixelFormat;
    uint32_t width, height;
    uint32_t offsetX, offsetY;
};

inline bool operator==(const ImageGeometry& a, const ImageGeometry& b) {
    return a.pixelFormat == b.pixelFormat && a.width == b.width && a.height == b.height &&
           a.offsetX == b.offsetX && a.offsetY == b.offsetY;
}

inline constexpr uint32_t kFrameHeaderPixels = 8;

constexpr uint8_t FrameHeaderByte(uint32_t frame, uint32_t k) {
    const uint32_t word = k < 4 ? frame : ~frame;
    return static_cast<uint8_t>(word >> (8 * (k % 4)));
}

// The integrity stamp: every pair of rows (2r, 2r + 1) carries, in kStampCells cells
// of 2 x 2 pixels of one grey level from column kStampColumn on, the frame number (4
// cells, least significant byte first) and a checksum of the pair's other pixels as
// stored (4 cells). A uniform cell keeps its level at each of its own samples through
// a Bayer conversion, so a host can read the stamp back from colour planes too, and
// a pair that was torn or overwritten shows. Narrower images and an odd last row
// carry none.
inline constexpr uint32_t kStampColumn = kFrameHeaderPixels;
inline constexpr uint32_t kStampCells = 8;
inline constexpr uint32_t kStampEnd = kStampColumn + 2 * kStampCells;

constexpr bool InStamp(const ImageGeometry& geometry, uint32_t x, uint32_t y) {
    return geometry.width >= kStampEnd && (y | 1) < geometry.height && x >= kStampColumn && x < kStampEnd;
}

// The checksum of two rows of stored pixels, their stamp cells left out; eight bytes
// a step, so that stamping costs little beside rendering.
inline uint32_t RowPairChecksum(const uint8_t* first, const uint8_t* second, uint32_t width,
                                uint32_t pixelBytes) {
    constexpr uint64_t kPrime = 0x100000001B3ULL;
    uint64_t hash = 0x9E3779B97F4A7C15ULL;
    const std::size_t spans[2][2] = {{0, std::size_t{kStampColumn} * pixelBytes},
                                     {std::size_t{kStampEnd} * pixelBytes, std::size_t{width} * pixelBytes}};
    for (const uint8_t* row : {first, second}) {
        for (const auto& span : spans) {
            std::size_t i = span[0];
            for (; i + 8 <= span[1]; i += 8) {
                uint64_t word = 0;
                std::memcpy(&word, row + i, sizeof word);
                hash = (hash ^ word) * kPrime;
            }
            for (; i < span[1]; ++i)
                hash = (hash ^ row[i]) * kPrime;
        }
    }
    return static_cast<uint32_t>(hash ^ (hash >> 32));
}

constexpr uint8_t StampByte(uint32_t frame, uint32_t checksum, uint32_t cell) {
    return static_cast<uint8_t>((cell < 4 ? frame : checksum) >> (8 * (cell % 4)));
}

// Stamps the pair of rows first (row y, even) and second of an image.
inline void StampRowPair(uint32_t code, uint32_t width, uint32_t y, uint32_t frame, uint8_t* first,
                         uint8_t* second) {
    const uint32_t bytes = BytesPerPixel(code);
    const uint32_t checksum = RowPairChecksum(first, second, width, bytes);
    for (uint32_t x = kStampColumn; x < kStampEnd; ++x) {
        const uint8_t level = StampByte(frame, checksum, (x - kStampColumn) / 2);
        EncodePixel(code, x, y, level, {level, level, level}, first + std::size_t{x} * bytes);
        EncodePixel(code, x, y + 1, level, {level, level, level}, second + std::size_t{x} * bytes);
    }
}

// The grey level a header pixel carries: the inverse of EncodePixel for grey pixels.
inline uint8_t HeaderLevel(uint32_t code, const uint8_t* row, uint32_t k) {
    const PixelFormatInfo& format = PixelFormatOf(code);
    const uint32_t bytes = BytesPerPixel(code);
    if (format.layout == SampleLayout::Mono && bytes == 2) {
        const uint32_t sample = row[2 * k] | static_cast<uint32_t>(row[2 * k + 1]) << 8;
        return static_cast<uint8_t>(sample >> (format.significantBits - 8));
    }
    return row[k * bytes];
}

// The frame number an image carries; nothing when the header is not intact or the
// image is narrower than the header.
inline std::optional<uint32_t> DecodeFrameNumber(uint32_t code, const void* data, uint32_t width) {
    if (width < kFrameHeaderPixels || !IsDeliverableFormat(code))
        return std::nullopt;
    const auto* row = static_cast<const uint8_t*>(data);
    uint32_t frame = 0;
    for (uint32_t k = 0; k < 4; ++k)
        frame |= static_cast<uint32_t>(HeaderLevel(code, row, k)) << (8 * k);
    for (uint32_t k = 4; k < kFrameHeaderPixels; ++k) {
        if (HeaderLevel(code, row, k) != FrameHeaderByte(frame, k))
            return std::nullopt;
    }
    return frame;
}

// What the stamps of an image as stored say: the frame number of its first pair of
// rows, and how many pairs were checked, failed their checksum or carry another
// frame number (a torn image).
struct StampCheck {
    std::optional<uint32_t> frame;
    uint32_t pairs = 0, corrupt = 0, torn = 0;
};

inline StampCheck CheckStamps(uint32_t code, const uint8_t* image, uint32_t width, uint32_t height) {
    StampCheck check;
    const ImageGeometry geometry{code, width, height, 0, 0};
    if (!IsDeliverableFormat(code) || !InStamp(geometry, kStampColumn, 0))
        return check;
    const uint32_t bytes = BytesPerPixel(code);
    const std::size_t rowBytes = std::size_t{width} * bytes;
    for (uint32_t y = 0; y + 1 < height; y += 2) {
        const uint8_t* first = image + y * rowBytes;
        const uint8_t* second = first + rowBytes;
        uint32_t words[2] = {0, 0};
        bool uniform = true;
        for (uint32_t cell = 0; cell < kStampCells; ++cell) {
            const uint32_t x = kStampColumn + 2 * cell;
            const uint8_t level = HeaderLevel(code, first, x);
            uniform = uniform && HeaderLevel(code, first, x + 1) == level &&
                      HeaderLevel(code, second, x) == level && HeaderLevel(code, second, x + 1) == level;
            words[cell / 4] |= static_cast<uint32_t>(level) << (8 * (cell % 4));
        }
        ++check.pairs;
        if (!uniform || RowPairChecksum(first, second, width, bytes) != words[1])
            ++check.corrupt;
        if (!check.frame)
            check.frame = words[0];
        else if (*check.frame != words[0])
            ++check.torn;
    }
    return check;
}

} // namespace camlib
