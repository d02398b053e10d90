// pvxConvertToPlanes: bilinear demosaicing of every Bayer order with mirrored
// borders, the RGB8/BGR8 split, and not a byte written outside the three planes.
#include "camera/quorvex_api.h"
#include "camlib/pixel_format.h"
#include "tests/camlib/guarded_planes.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace simtest {
namespace {

PvxStatus Convert(GuardedPlanes& planes, uint32_t format, const void* source, uint32_t width,
                  uint32_t height) {
    return pvxConvertToPlanes(format, planes.Plane(kRed), planes.Plane(kGreen), planes.Plane(kBlue), source,
                              width, height);
}

// Colour of the CFA site (x, y) for a format whose red sits at (redX, redY).
Colour SiteColour(const camlib::PixelFormatInfo& format, uint32_t x, uint32_t y) {
    const bool redRow = (y % 2) == format.redY, redColumn = (x % 2) == format.redX;
    return redRow && redColumn ? kRed : (redRow || redColumn ? kGreen : kBlue);
}

// The straightforward reference: a packed pixel's own samples; for Bayer each missing
// colour is the rounded mean of the neighbours of that colour among the 8 around, the
// image mirrored at its borders.
std::array<uint8_t, 3> ReferencePixel(const camlib::PixelFormatInfo& format,
                                      const std::vector<uint8_t>& image, uint32_t width, uint32_t height,
                                      uint32_t x, uint32_t y) {
    if (format.layout != camlib::SampleLayout::Bayer) {
        const uint8_t* pixel = &image[3 * (std::size_t{y} * width + x)];
        const bool bgr = format.layout == camlib::SampleLayout::Bgr;
        return {pixel[bgr ? 2 : 0], pixel[1], pixel[bgr ? 0 : 2]};
    }
    const auto mirror = [](int64_t i, uint32_t n) {
        return static_cast<uint32_t>(i < 0 ? -i : (i >= n ? 2 * n - 2 - i : i));
    };
    std::array<unsigned, 3> sum{}, count{};
    std::array<uint8_t, 3> result{};
    const Colour own = SiteColour(format, x, y);
    result[own] = image[std::size_t{y} * width + x];
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (dx == 0 && dy == 0)
                continue;
            const uint32_t nx = mirror(int64_t{x} + dx, width), ny = mirror(int64_t{y} + dy, height);
            const Colour colour = SiteColour(format, nx, ny);
            // Green of a red or blue site comes from the four direct neighbours only.
            if (colour == own || (colour == kGreen && dx != 0 && dy != 0))
                continue;
            sum[colour] += image[std::size_t{ny} * width + nx];
            ++count[colour];
        }
    }
    for (int c = 0; c < 3; ++c) {
        if (c != own)
            result[c] = static_cast<uint8_t>((sum[c] + count[c] / 2) / count[c]);
    }
    return result;
}

struct PlanesCase {
    uint32_t format;
    uint32_t width, height;
};

class ConversionTest : public ::testing::TestWithParam<PlanesCase> {};

// Catches a wrong colour order, a wrong neighbour at the borders, off-by-one rounding,
// swapped channels in the packed split, a wrong tail after the last whole vector, and
// writes outside the planes, for every Bayer order and packed format and odd and even
// sizes, from one pixel to rows of several vectors with an overlapping last one.
TEST_P(ConversionTest, MatchesTheReferenceEverywhereAndStaysInsideThePlanes) {
    const PlanesCase c = GetParam();
    const camlib::PixelFormatInfo& format = camlib::PixelFormatOf(c.format);
    const std::size_t pixels = std::size_t{c.width} * c.height;
    const std::vector<uint8_t> image =
        RandomImage(pixels * camlib::BytesPerPixel(c.format), c.format ^ (c.width * 131 + c.height));
    GuardedPlanes planes(pixels);
    ASSERT_EQ(Convert(planes, c.format, image.data(), c.width, c.height), PVX_OK);
    EXPECT_TRUE(planes.GuardsIntact());
    for (uint32_t y = 0; y < c.height; ++y) {
        for (uint32_t x = 0; x < c.width; ++x) {
            const auto expected = ReferencePixel(format, image, c.width, c.height, x, y);
            for (int colour = 0; colour < 3; ++colour) {
                ASSERT_EQ(planes.At(colour, std::size_t{y} * c.width + x),
                          expected[static_cast<std::size_t>(colour)])
                    << "colour " << colour << " at (" << x << ", " << y << ")";
            }
        }
    }
}

// Bayer needs two rows and columns; the packed formats start at one pixel.
constexpr uint32_t kSizes[][2] = {{1, 1}, {17, 1},  {2, 2},  {3, 3},  {4, 4},  {5, 3},
                                  {8, 6}, {33, 17}, {34, 4}, {35, 5}, {67, 9}, {130, 3}};

std::vector<PlanesCase> PlanesCases() {
    std::vector<PlanesCase> cases;
    for (uint32_t format : {PVX_PIXEL_BAYER_GR8, PVX_PIXEL_BAYER_RG8, PVX_PIXEL_BAYER_GB8,
                            PVX_PIXEL_BAYER_BG8, PVX_PIXEL_RGB8, PVX_PIXEL_BGR8}) {
        for (const auto& size : kSizes) {
            if (camlib::BytesPerPixel(format) == 3 || size[1] > 1)
                cases.push_back({format, size[0], size[1]});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, ConversionTest, ::testing::ValuesIn(PlanesCases()),
                         [](const ::testing::TestParamInfo<PlanesCase>& test) {
                             return std::string(camlib::PixelFormatOf(test.param.format).name) + "_" +
                                    std::to_string(test.param.width) + "x" +
                                    std::to_string(test.param.height);
                         });

// Catches conversions of formats that have no three-plane form, or of degenerate sizes.
TEST(PlanesTest, RefusesOtherFormatsAndDegenerateImagesWithoutWriting) {
    std::vector<uint8_t> image(64, 9);
    const struct {
        uint32_t format, width, height;
    } refusals[] = {{PVX_PIXEL_MONO8, 4, 4},     {PVX_PIXEL_MONO12, 4, 4},    {PVX_PIXEL_YUV422_8, 4, 4},
                    {PVX_PIXEL_BAYER_RG8, 1, 8}, {PVX_PIXEL_BAYER_RG8, 8, 1}, {PVX_PIXEL_RGB8, 0, 4}};
    for (const auto& refusal : refusals) {
        GuardedPlanes planes(64);
        EXPECT_EQ(Convert(planes, refusal.format, image.data(), refusal.width, refusal.height),
                  PVX_ERR_INVALID_PARAMETER);
        EXPECT_EQ(planes.At(kRed, 0), GuardedPlanes::kGuardByte);
    }
    uint8_t plane[4];
    EXPECT_EQ(pvxConvertToPlanes(PVX_PIXEL_RGB8, plane, nullptr, plane, image.data(), 1, 1),
              PVX_ERR_INVALID_PARAMETER);
    EXPECT_EQ(pvxUtlInit(), PVX_OK);
}

} // namespace
} // namespace simtest
