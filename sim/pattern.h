// Test patterns of the simulated cameras and the frame number every image carries:
// the per-pixel reference that delivered images are checked against (header-only, so
// tests and tools include it without linking the library).
//
// Every image is a pure function of its geometry, the TestPattern and the frame
// number. The first kFrameHeaderPixels pixels of row 0 carry the frame number instead
// of the pattern: pixel k holds byte k of the number (least significant first) for
// k < 4 and the complement of byte k - 4 for k >= 4, as a grey level of the format.
#pragma once

#include "camlib/frame_stamp.h"

#include <cstdint>
#include <cstring>
#include <iterator>
#include <optional>
#include <string_view>
#include <vector>

namespace sim {

enum class TestPattern : uint8_t {
    Off, // the simulated scene: diagonal colour bands that move one pixel per frame
    Black,
    White,
    GreyHorizontalRamp,
    GreyVerticalRamp,
    GreyDiagonalRamp,
    Count
};

inline constexpr std::string_view kTestPatternNames[] = {
    "Off", "Black", "White", "GreyHorizontalRamp", "GreyVerticalRamp", "GreyDiagonalRamp",
};
static_assert(std::size(kTestPatternNames) == static_cast<std::size_t>(TestPattern::Count),
              "one name per pattern, in enum order");

inline std::string_view TestPatternName(TestPattern pattern) {
    return kTestPatternNames[static_cast<std::size_t>(pattern)];
}

inline std::optional<TestPattern> TestPatternFromName(std::string_view name) {
    for (std::size_t i = 0; i < std::size(kTestPatternNames); ++i) {
        if (kTestPatternNames[i] == name)
            return static_cast<TestPattern>(i);
    }
    return std::nullopt;
}

// A pattern is a function of one phase, ax * x + ay * y + af * frame with (x, y) the
// pixel's position on the sensor; only the low 8 bits of the phase count.
struct PatternMotion {
    uint32_t ax, ay, af;
};

constexpr PatternMotion MotionOf(TestPattern pattern) {
    switch (pattern) {
    case TestPattern::Off:
        return {1, 1, 1};
    case TestPattern::GreyHorizontalRamp:
        return {1, 0, 0};
    case TestPattern::GreyVerticalRamp:
        return {0, 1, 0};
    case TestPattern::GreyDiagonalRamp:
        return {1, 1, 0};
    default:
        return {0, 0, 0};
    }
}

constexpr uint32_t PatternPhase(TestPattern pattern, uint32_t sensorX, uint32_t sensorY, uint32_t frame) {
    const PatternMotion m = MotionOf(pattern);
    return m.ax * sensorX + m.ay * sensorY + m.af * frame;
}

// The grey level of monochrome formats.
constexpr uint8_t GreyAtPhase(TestPattern pattern, uint32_t phase) {
    if (pattern == TestPattern::Black)
        return 0;
    if (pattern == TestPattern::White)
        return 255;
    return static_cast<uint8_t>(phase);
}

// The colour that colour formats sample; the grey patterns are grey here too.
constexpr camlib::Rgb ColourAtPhase(TestPattern pattern, uint32_t phase) {
    if (pattern == TestPattern::Off)
        return {static_cast<uint8_t>(phase), static_cast<uint8_t>(phase + 85),
                static_cast<uint8_t>(phase + 170)};
    const uint8_t grey = GreyAtPhase(pattern, phase);
    return {grey, grey, grey};
}

// The bytes pixel (x, y) holds before stamping: the frame header or the pattern.
inline uint32_t UnstampedPixel(const camlib::ImageGeometry& geometry, TestPattern pattern, uint32_t frame,
                               uint32_t x, uint32_t y, uint8_t* out) {
    if (y == 0 && x < camlib::kFrameHeaderPixels) {
        const uint8_t level = camlib::FrameHeaderByte(frame, x);
        return camlib::EncodePixel(geometry.pixelFormat, x, y, level, {level, level, level}, out);
    }
    const uint32_t phase = PatternPhase(pattern, geometry.offsetX + x, geometry.offsetY + y, frame);
    return camlib::EncodePixel(geometry.pixelFormat, x, y, GreyAtPhase(pattern, phase),
                               ColourAtPhase(pattern, phase), out);
}

// The bytes pixel (x, y) of image number frame holds; returns their count.
inline uint32_t ExpectedPixel(const camlib::ImageGeometry& geometry, TestPattern pattern, uint32_t frame,
                              uint32_t x, uint32_t y, uint8_t* out) {
    if (!camlib::InStamp(geometry, x, y))
        return UnstampedPixel(geometry, pattern, frame, x, y, out);
    const uint32_t bytes = camlib::BytesPerPixel(geometry.pixelFormat);
    const std::size_t rowBytes = std::size_t{geometry.width} * bytes;
    std::vector<uint8_t> rows(2 * rowBytes);
    const uint32_t first = y & ~1u;
    for (uint32_t row = 0; row < 2; ++row) {
        for (uint32_t column = 0; column < geometry.width; ++column)
            UnstampedPixel(geometry, pattern, frame, column, first + row,
                           &rows[row * rowBytes + column * bytes]);
    }
    camlib::StampRowPair(geometry.pixelFormat, geometry.width, first, frame, rows.data(),
                         rows.data() + rowBytes);
    std::memcpy(out, &rows[(y - first) * rowBytes + std::size_t{x} * bytes], bytes);
    return bytes;
}

} // namespace sim
