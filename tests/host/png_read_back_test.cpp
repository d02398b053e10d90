// The library-free PNG writer of the Windows build read back by libpng: header, sBIT
// and every row.
#include "host/cli/png_stored.h"
#include "tests/support/case_name.h"
#include "tests/support/png_read_back.h"

#include <gtest/gtest.h>

namespace aiktest {
namespace {

struct PngCase {
    const char* name;
    uint32_t width;
    uint32_t height;
    int bitDepth;
    bool rgb;
    int significantBits;
};

const PngCase kPngCases[] = {
    {"Grey8OneBlock", 7, 5, 8, false, 8},
    {"Grey16TwelveSignificantBits", 33, 9, 16, false, 12},
    // 3 * 200 + 1 bytes a row, 300 rows: three stored blocks, the last one short.
    {"RgbOverSeveralBlocks", 200, 300, 8, true, 8},
};

class PngFileTest : public ::testing::TestWithParam<PngCase> {};

// Catches a wrong header field, a missing or superfluous sBIT, a bad CRC, block
// lengths or last-block flag, an Adler-32 that overflows on long runs of bright
// samples, and rows without their filter byte or shifted against each other.
TEST_P(PngFileTest, ReadsBackAsWritten) {
    const PngCase& c = GetParam();
    std::vector<uint8_t> pixels(c.width * (c.rgb ? 3u : 1u) * (c.bitDepth / 8u) * c.height);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<uint8_t>(i % 7 == 0 ? i / 7 : 0xFF);
    const aikhost::ImageSamples written{c.width, c.height,          c.bitDepth,
                                        c.rgb,   c.significantBits, pixels.data()};
    const ReadBack image = readPng(aikhost::encodePng(written));
    EXPECT_EQ(image.width, c.width);
    EXPECT_EQ(image.height, c.height);
    EXPECT_EQ(image.bitDepth, c.bitDepth);
    EXPECT_EQ(image.colourType, c.rgb ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY);
    EXPECT_EQ(image.significantBits, c.significantBits != c.bitDepth ? c.significantBits : 0);
    EXPECT_TRUE(image.pixels == pixels) << "rows differ";
}

INSTANTIATE_TEST_SUITE_P(Images, PngFileTest, ::testing::ValuesIn(kPngCases), CaseName());

} // namespace
} // namespace aiktest
