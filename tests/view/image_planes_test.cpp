// What the live view reads from a delivered image at its full depth: each plane's
// histogram and figures, and the snapshot PNG, read back by libpng.
#include "host/view/image_planes.h"
#include "host/view/png_snapshot.h"
#include "tests/support/case_name.h"
#include "tests/support/png_read_back.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace aiktest {
namespace {

struct PlaneFigures {
    unsigned minimum, maximum;
    double mean, deviation, saturatedPercent;
};

struct PlanesCase {
    const char* name;
    int32_t format;
    unsigned bits;
    std::vector<const char*> names;
    std::vector<std::vector<unsigned>> levels; // per plane, in the order named; one row of pixels
    std::vector<PlaneFigures> figures;
};

const PlanesCase kPlanesCases[] = {
    {"Mono8", AIK_PIXEL_MONO8, 8, {"grey"}, {{0, 255, 100, 255}}, {{0, 255, 152.5, 108.4262422110072, 50}}},
    {"Mono12AtFullDepth",
     AIK_PIXEL_MONO12,
     12,
     {"grey"},
     {{4095, 4095, 16, 2048}},
     {{16, 4095, 2563.5, 1691.632421656667, 50}}},
    {"Mono10", AIK_PIXEL_MONO10, 10, {"grey"}, {{1023, 0}}, {{0, 1023, 511.5, 511.5, 50}}},
    {"ColourPlanesInRgbOrder",
     AIK_PIXEL_PLANES_RGB,
     8,
     {"red", "green", "blue"},
     {{255, 0}, {10, 20}, {1, 2}},
     {{0, 255, 127.5, 127.5, 50}, {10, 20, 15, 5, 0}, {1, 2, 1.5, 0.5, 0}}},
};

// The buffer GetImage fills: grey bytes, little-endian words whose bits above the
// depth are not the level's, or the planes blue, green, red.
std::vector<uint8_t> delivered(const PlanesCase& c) {
    const std::size_t pixels = c.levels[0].size();
    std::vector<uint8_t> image;
    if (c.format == AIK_PIXEL_PLANES_RGB) {
        for (int plane = 2; plane >= 0; --plane)
            image.insert(image.end(), c.levels[static_cast<std::size_t>(plane)].begin(),
                         c.levels[static_cast<std::size_t>(plane)].end());
        return image;
    }
    for (std::size_t i = 0; i < pixels; ++i) {
        const unsigned level = c.levels[0][i];
        if (c.bits == 8) {
            image.push_back(static_cast<uint8_t>(level));
            continue;
        }
        const unsigned word = level | 0x8000u;
        image.push_back(static_cast<uint8_t>(word));
        image.push_back(static_cast<uint8_t>(word >> 8));
    }
    return image;
}

class PlanesTest : public ::testing::TestWithParam<PlanesCase> {
protected:
    void SetUp() override {
        m_image = delivered(GetParam());
        m_geometry.width = static_cast<int32_t>(GetParam().levels[0].size());
        m_geometry.height = 1;
        m_geometry.pixelFormat = GetParam().format;
    }
    aikhost::ImagePlanes planes() const { return aikhost::ImagePlanes(m_geometry, m_image); }

    ImageAttributes m_geometry{};
    std::vector<uint8_t> m_image;
};

// Catches levels cut to 8 bits (as a JPEG holds them), bits above the depth counted,
// the colour planes swapped, and a wrong mean, deviation or saturation.
TEST_P(PlanesTest, HistogramsAtFullDepth) {
    const PlanesCase& c = GetParam();
    const auto histograms = aikhost::planeHistograms(planes());
    ASSERT_EQ(histograms.size(), c.names.size());
    for (std::size_t p = 0; p < histograms.size(); ++p) {
        const aikhost::PlaneHistogram& histogram = histograms[p];
        SCOPED_TRACE(histogram.plane);
        EXPECT_EQ(histogram.plane, c.names[p]);
        EXPECT_EQ(histogram.bits, c.bits);
        ASSERT_EQ(histogram.counts.size(), std::size_t{1} << c.bits);
        for (const unsigned level : c.levels[p])
            EXPECT_GT(histogram.counts[level], 0u) << "level " << level;
        EXPECT_EQ(histogram.minimum, c.figures[p].minimum);
        EXPECT_EQ(histogram.maximum, c.figures[p].maximum);
        EXPECT_DOUBLE_EQ(histogram.mean, c.figures[p].mean);
        EXPECT_NEAR(histogram.deviation, c.figures[p].deviation, 1e-9);
        EXPECT_DOUBLE_EQ(histogram.saturatedPercent, c.figures[p].saturatedPercent);
    }
}

// Catches a snapshot cut to 8 bits, without its significant bits, with its levels not
// recoverable from the 16-bit samples, or with its colours in the host's plane order.
TEST_P(PlanesTest, SnapshotKeepsEveryLevel) {
    const PlanesCase& c = GetParam();
    const ReadBack png = readPng(aikhost::pngSnapshot(planes(), static_cast<uint32_t>(m_geometry.width), 1));
    ASSERT_EQ(png.width, static_cast<png_uint_32>(m_geometry.width));
    EXPECT_EQ(png.height, 1u);
    EXPECT_EQ(png.colourType, c.names.size() == 3 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY);
    EXPECT_EQ(png.bitDepth, c.bits > 8 ? 16 : 8);
    EXPECT_EQ(png.significantBits, c.bits > 8 ? static_cast<int>(c.bits) : 0);
    const std::size_t planeCount = c.names.size();
    for (std::size_t i = 0; i < c.levels[0].size(); ++i) {
        for (std::size_t p = 0; p < planeCount; ++p) {
            const std::size_t sample = i * planeCount + p;
            if (c.bits == 8) {
                EXPECT_EQ(png.pixels.at(sample), c.levels[p][i]) << "pixel " << i << " plane " << c.names[p];
                continue;
            }
            const unsigned word = png.pixels.at(2 * sample) << 8 | png.pixels.at(2 * sample + 1);
            EXPECT_EQ(word >> (16 - c.bits), c.levels[p][i]) << "pixel " << i;
            if (c.levels[p][i] == (1u << c.bits) - 1) {
                EXPECT_EQ(word, 0xFFFFu) << "the highest level fills 16 bits for a viewer that ignores sBIT";
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, PlanesTest, ::testing::ValuesIn(kPlanesCases), CaseName());

} // namespace
} // namespace aiktest
