// The test patterns mean what their names say, and the frame header round-trips, in
// the reference that tests and tools check delivered images against.
#include "sim/pattern.h"

#include <gtest/gtest.h>

#include <vector>

namespace simtest {
namespace {

struct PatternLaw {
    sim::TestPattern pattern;
    // The grey level expected at sensor position (x, y) of frame f.
    uint8_t (*grey)(uint32_t x, uint32_t y, uint32_t f);
};

// Catches a pattern whose levels do not follow its name (a ramp along the wrong axis,
// a scene that does not move between frames).
TEST(PatternTest, GreyLevelsFollowThePatternsName) {
    const PatternLaw laws[] = {
        {sim::TestPattern::Off,
         [](uint32_t x, uint32_t y, uint32_t f) { return static_cast<uint8_t>(x + y + f); }},
        {sim::TestPattern::Black, [](uint32_t, uint32_t, uint32_t) { return uint8_t{0}; }},
        {sim::TestPattern::White, [](uint32_t, uint32_t, uint32_t) { return uint8_t{255}; }},
        {sim::TestPattern::GreyHorizontalRamp,
         [](uint32_t x, uint32_t, uint32_t) { return static_cast<uint8_t>(x); }},
        {sim::TestPattern::GreyVerticalRamp,
         [](uint32_t, uint32_t y, uint32_t) { return static_cast<uint8_t>(y); }},
        {sim::TestPattern::GreyDiagonalRamp,
         [](uint32_t x, uint32_t y, uint32_t) { return static_cast<uint8_t>(x + y); }},
    };
    const sim::ImageGeometry geometry{PVX_PIXEL_MONO8, 300, 20, 5, 3};
    for (const PatternLaw& law : laws) {
        SCOPED_TRACE(std::string(sim::TestPatternName(law.pattern)));
        for (uint32_t frame : {1u, 2u, 77u}) {
            for (uint32_t y = 1; y < geometry.height; ++y) {
                for (uint32_t x = 0; x < geometry.width; ++x) {
                    uint8_t level = 0;
                    sim::ExpectedPixel(geometry, law.pattern, frame, x, y, &level);
                    ASSERT_EQ(level, law.grey(x + geometry.offsetX, y + geometry.offsetY, frame))
                        << x << "," << y;
                }
            }
        }
    }
}

// Catches a header that does not survive a format's sample layout, or a decoder that
// accepts a damaged header.
TEST(PatternTest, FrameHeaderRoundTripsInEveryFormat) {
    for (const sim::PixelFormatInfo& format : sim::kPixelFormats) {
        SCOPED_TRACE(std::string(format.name));
        const sim::ImageGeometry geometry{format.code, 8, 1, 0, 0};
        const uint32_t bytes = sim::BytesPerPixel(format.code);
        std::vector<uint8_t> row(8 * bytes);
        for (uint32_t frame : {1u, 0x01020304u, 0xFFFFFFFEu}) {
            for (uint32_t x = 0; x < 8; ++x)
                sim::ExpectedPixel(geometry, sim::TestPattern::Off, frame, x, 0, &row[x * bytes]);
            EXPECT_EQ(sim::DecodeFrameNumber(format.code, row.data(), 8), frame);
        }
        const uint8_t damaged = sim::FrameHeaderByte(0xFFFFFFFEu, 5) ^ 0x10;
        sim::EncodePixel(format.code, 5, 0, damaged, {damaged, damaged, damaged}, &row[5 * bytes]);
        EXPECT_FALSE(sim::DecodeFrameNumber(format.code, row.data(), 8).has_value());
        EXPECT_FALSE(sim::DecodeFrameNumber(format.code, row.data(), 7).has_value());
    }
}

} // namespace
} // namespace simtest
