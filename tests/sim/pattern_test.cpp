// The test patterns mean what their names say, and the frame header and the stamps
// round-trip, in the reference that tests and tools check delivered images against.
#include "sim/pattern.h"

#include "camera/quorvex_api.h"

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
                    if (sim::InStamp(geometry, x, y))
                        continue;
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

// Catches stamps that do not survive the plane conversion of a colour image, or a
// check that misses a changed pixel or a pair of rows from another image.
TEST(PatternTest, StampsSurviveThePlanesAndShowDamage) {
    for (const char* name : {"Mono8", "Mono12", "BayerRG8", "BayerGB8", "RGB8", "BGR8"}) {
        SCOPED_TRACE(name);
        const uint32_t code = *sim::PixelFormatFromName(name);
        const sim::ImageGeometry geometry{code, 40, 7, 3, 1};
        const uint32_t bytes = sim::BytesPerPixel(code);
        const auto render = [&](uint32_t frame) {
            std::vector<uint8_t> image(40 * 7 * bytes);
            for (uint32_t y = 0; y < 7; ++y)
                for (uint32_t x = 0; x < 40; ++x)
                    sim::ExpectedPixel(geometry, sim::TestPattern::Off, frame, x, y,
                                       &image[(y * 40 + x) * bytes]);
            return image;
        };
        std::vector<uint8_t> image = render(0x01020304);
        if (sim::PixelFormatOf(code).layout != sim::SampleLayout::Mono) {
            std::vector<uint8_t> planes(3 * 40 * 7), stored(image.size());
            ASSERT_EQ(pvxConvertToPlanes(code, &planes[0], &planes[280], &planes[560], image.data(), 40, 7),
                      0u);
            sim::StoredFromPlanes(code, &planes[0], &planes[280], &planes[560], 40, 7, stored.data());
            image = stored;
        }
        sim::StampCheck check = sim::CheckStamps(code, image.data(), 40, 7);
        EXPECT_EQ(check.frame, 0x01020304u);
        EXPECT_EQ(check.pairs, 3u);
        EXPECT_EQ(check.corrupt + check.torn, 0u);

        const std::vector<uint8_t> other = render(0x01020305);
        std::copy(other.begin() + 2 * 40 * bytes, other.begin() + 4 * 40 * bytes,
                  image.begin() + 2 * 40 * bytes);
        image[(5 * 40 + 30) * bytes] ^= 0x40;
        check = sim::CheckStamps(code, image.data(), 40, 7);
        EXPECT_EQ(check.torn, 1u);
        EXPECT_EQ(check.corrupt, 1u);
    }
}

} // namespace
} // namespace simtest
