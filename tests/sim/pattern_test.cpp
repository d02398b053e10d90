// The test patterns mean what their names say, and the frame header and the stamps
// round-trip, in the reference that tests and tools check delivered images against.
#include "tests/sim/sim_fixture.h"

#include <vector>

namespace simtest {
namespace {

// The grey level expected at sensor position (x, y) of frame f: fixed, or else
// ax * x + ay * y + af * f.
struct PatternLaw {
    sim::TestPattern pattern;
    int fixed;
    uint32_t ax, ay, af;
};

// Catches a pattern whose levels do not follow its name (a ramp along the wrong axis,
// a scene that does not move between frames).
TEST(PatternTest, GreyLevelsFollowThePatternsName) {
    using sim::TestPattern;
    const PatternLaw laws[] = {{TestPattern::Off, -1, 1, 1, 1},
                               {TestPattern::Black, 0, 0, 0, 0},
                               {TestPattern::White, 255, 0, 0, 0},
                               {TestPattern::GreyHorizontalRamp, -1, 1, 0, 0},
                               {TestPattern::GreyVerticalRamp, -1, 0, 1, 0},
                               {TestPattern::GreyDiagonalRamp, -1, 1, 1, 0}};
    const camlib::ImageGeometry geometry{PVX_PIXEL_MONO8, 300, 20, 5, 3};
    for (const PatternLaw& law : laws) {
        SCOPED_TRACE(std::string(sim::TestPatternName(law.pattern)));
        for (uint32_t frame : {1u, 2u, 77u}) {
            for (uint32_t y = 1; y < geometry.height; ++y) {
                for (uint32_t x = 0; x < geometry.width; ++x) {
                    if (camlib::InStamp(geometry, x, y))
                        continue;
                    uint8_t level = 0;
                    sim::ExpectedPixel(geometry, law.pattern, frame, x, y, &level);
                    const uint32_t sx = x + geometry.offsetX, sy = y + geometry.offsetY;
                    ASSERT_EQ(level, law.fixed >= 0
                                         ? law.fixed
                                         : static_cast<uint8_t>(law.ax * sx + law.ay * sy + law.af * frame))
                        << x << "," << y;
                }
            }
        }
    }
}

// Catches a header that does not survive a format's sample layout, or a decoder that
// accepts a damaged header.
TEST(PatternTest, FrameHeaderRoundTripsInEveryFormat) {
    for (const camlib::PixelFormatInfo& format : camlib::kPixelFormats) {
        SCOPED_TRACE(std::string(format.name));
        const camlib::ImageGeometry geometry{format.code, 8, 1, 0, 0};
        const uint32_t bytes = camlib::BytesPerPixel(format.code);
        std::vector<uint8_t> row;
        for (uint32_t frame : {1u, 0x01020304u, 0xFFFFFFFEu}) {
            row = ExpectedImage(geometry, sim::TestPattern::Off, frame);
            EXPECT_EQ(camlib::DecodeFrameNumber(format.code, row.data(), 8), frame);
        }
        const uint8_t damaged = camlib::FrameHeaderByte(0xFFFFFFFEu, 5) ^ 0x10;
        camlib::EncodePixel(format.code, 5, 0, damaged, {damaged, damaged, damaged}, &row[5 * bytes]);
        EXPECT_FALSE(camlib::DecodeFrameNumber(format.code, row.data(), 8).has_value());
        EXPECT_FALSE(camlib::DecodeFrameNumber(format.code, row.data(), 7).has_value());
    }
}

// Catches stamps that do not survive the plane conversion of a colour image, or a
// check that misses a changed pixel or a pair of rows from another image.
TEST(PatternTest, StampsSurviveThePlanesAndShowDamage) {
    for (const char* name : {"Mono8", "Mono12", "BayerRG8", "BayerGB8", "RGB8", "BGR8"}) {
        SCOPED_TRACE(name);
        const uint32_t code = *camlib::PixelFormatFromName(name);
        const camlib::ImageGeometry geometry{code, 40, 7, 3, 1};
        const uint32_t bytes = camlib::BytesPerPixel(code);
        std::vector<uint8_t> image = ExpectedImage(geometry, sim::TestPattern::Off, 0x01020304);
        if (camlib::PixelFormatOf(code).layout != camlib::SampleLayout::Mono) {
            std::vector<uint8_t> planes(3 * 40 * 7), stored(image.size());
            ASSERT_EQ(pvxConvertToPlanes(code, &planes[0], &planes[280], &planes[560], image.data(), 40, 7),
                      0u);
            camlib::StoredFromPlanes(code, &planes[0], &planes[280], &planes[560], 40, 7, stored.data());
            image = stored;
        }
        camlib::StampCheck check = camlib::CheckStamps(code, image.data(), 40, 7);
        EXPECT_EQ(check.frame, 0x01020304u);
        EXPECT_EQ(check.pairs, 3u);
        EXPECT_EQ(check.corrupt + check.torn, 0u);

        const std::vector<uint8_t> other = ExpectedImage(geometry, sim::TestPattern::Off, 0x01020305);
        std::copy(other.begin() + 2 * 40 * bytes, other.begin() + 4 * 40 * bytes,
                  image.begin() + 2 * 40 * bytes);
        image[(5 * 40 + 30) * bytes] ^= 0x40;
        check = camlib::CheckStamps(code, image.data(), 40, 7);
        EXPECT_EQ(check.torn, 1u);
        EXPECT_EQ(check.corrupt, 1u);
    }
}

} // namespace
} // namespace simtest
