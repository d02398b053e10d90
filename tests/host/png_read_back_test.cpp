// The library-free PNG writer of the Windows build read back by libpng: header, sBIT
// and every row. libpng checks the chunk CRCs and zlib the stream's Adler-32, so a
// file that reads back is a valid one.
#include "host/cli/png_stored.h"
#include "tests/support/case_name.h"

#include <gtest/gtest.h>
#include <png.h>

#include <sstream>
#include <stdexcept>

namespace aiktest {
namespace {

struct ReadBack {
    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colourType = -1;
    int significantBits = 0; // 0: no sBIT chunk
    std::vector<uint8_t> pixels;
};

// libpng's reader without transformations: samples as stored, 16-bit ones big-endian.
ReadBack readPng(const std::vector<uint8_t>& file) {
    png_structp png = png_create_read_struct(
        PNG_LIBPNG_VER_STRING, nullptr,
        [](png_structp, png_const_charp message) { throw std::runtime_error(message); }, nullptr);
    png_infop info = png_create_info_struct(png);
    std::istringstream stream(std::string(file.begin(), file.end()));
    ReadBack image;
    try {
        png_set_read_fn(png, &stream, [](png_structp p, png_bytep out, png_size_t length) {
            if (!static_cast<std::istream*>(png_get_io_ptr(p))->read(reinterpret_cast<char*>(out), length))
                png_error(p, "the file ends early");
        });
        png_read_info(png, info);
        png_get_IHDR(png, info, &image.width, &image.height, &image.bitDepth, &image.colourType, nullptr,
                     nullptr, nullptr);
        png_color_8p bits = nullptr;
        if (png_get_sBIT(png, info, &bits) != 0)
            image.significantBits = bits->gray;
        const std::size_t rowBytes = png_get_rowbytes(png, info);
        image.pixels.resize(rowBytes * image.height);
        for (png_uint_32 y = 0; y < image.height; ++y)
            png_read_row(png, image.pixels.data() + y * rowBytes, nullptr);
        png_read_end(png, nullptr);
    } catch (const std::runtime_error& error) {
        ADD_FAILURE() << "libpng: " << error.what();
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return image;
}

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
