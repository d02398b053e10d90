// Every vector kernel of the plane conversion against the portable one, byte for byte,
// around each vector width: the borders, the overlapping last block and the fallbacks
// for rows or images narrower than one vector.
#include "camera/quorvex_api.h"
#include "sim/util/planes.h"
#include "tests/sim/guarded_planes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace simtest {
namespace {

using sim::PlanesKernel;

// Samples at the ends of the range, where a pair sum's parity decides the rounding.
const std::vector<uint8_t> kRoundingSamples = {0, 1, 2, 127, 128, 253, 254, 255};

class PlanesKernelTest : public ::testing::TestWithParam<PlanesKernel> {
protected:
    void SetUp() override {
        if (!sim::IsKernelUsable(GetParam()))
            GTEST_SKIP() << "this build or processor has no such kernel";
    }

    // Converts with the kernel under test and the portable one; both must agree and
    // stay inside their planes.
    void ExpectSameAsPortable(uint32_t format, const std::vector<uint8_t>& image, uint32_t width,
                              uint32_t height) {
        SCOPED_TRACE(std::to_string(format) + " " + std::to_string(width) + "x" + std::to_string(height));
        const std::size_t pixels = std::size_t{width} * height;
        GuardedPlanes expected(pixels), actual(pixels);
        ASSERT_EQ(Run(PlanesKernel::Portable, expected, format, image, width, height), PVX_OK);
        ASSERT_EQ(Run(GetParam(), actual, format, image, width, height), PVX_OK);
        EXPECT_TRUE(actual.GuardsIntact());
        EXPECT_TRUE(actual == expected);
    }

private:
    static PvxStatus Run(PlanesKernel kernel, GuardedPlanes& planes, uint32_t format,
                         const std::vector<uint8_t>& image, uint32_t width, uint32_t height) {
        return sim::ConvertImageToPlanesWith(kernel, format, planes.Plane(kRed), planes.Plane(kGreen),
                                             planes.Plane(kBlue), image.data(), width, height);
    }
};

// Widths on both sides of every multiple of 16 and 32 (plus the two border columns)
// up to several vectors, so each kernel meets full blocks, an overlapping last block
// at either column parity, and rows it leaves to the portable code.
std::vector<uint32_t> Widths() {
    std::vector<uint32_t> widths = {2, 3, 4, 5, 7};
    for (uint32_t vectors = 16; vectors <= 128; vectors += 16) {
        for (uint32_t width = vectors - 1; width <= vectors + 3; ++width)
            widths.push_back(width);
    }
    widths.push_back(1283);
    return widths;
}

// Catches a wrong mean, a lane given the wrong site's values, a red/blue swap in one
// order, a border or tail column the vector code gets wrong, and writes past a row's end.
TEST_P(PlanesKernelTest, BayerMatchesThePortableKernelInEveryOrder) {
    for (uint32_t format :
         {PVX_PIXEL_BAYER_GR8, PVX_PIXEL_BAYER_RG8, PVX_PIXEL_BAYER_GB8, PVX_PIXEL_BAYER_BG8}) {
        for (uint32_t width : Widths()) {
            for (uint32_t height : {2u, 3u, 6u}) {
                const std::size_t pixels = std::size_t{width} * height;
                ExpectSameAsPortable(format, RandomImage(pixels, width * 31 + height), width, height);
                ExpectSameAsPortable(format, RandomImage(pixels, width + format, kRoundingSamples), width,
                                     height);
            }
        }
    }
}

// Catches a wrong shuffle of the triplets, a swapped channel, and a wrong or missing
// last block, for images of fewer pixels than a vector up to several vectors.
TEST_P(PlanesKernelTest, PackedMatchesThePortableKernel) {
    for (uint32_t format : {PVX_PIXEL_RGB8, PVX_PIXEL_BGR8}) {
        for (uint32_t width = 1; width <= 100; ++width)
            ExpectSameAsPortable(format, RandomImage(3 * std::size_t{width}, width), width, 1);
        ExpectSameAsPortable(format, RandomImage(3 * 1283 * 5, 5), 1283, 5);
    }
}

INSTANTIATE_TEST_SUITE_P(Vector, PlanesKernelTest,
                         ::testing::Values(PlanesKernel::Sse41, PlanesKernel::Avx2, PlanesKernel::Avx512),
                         [](const ::testing::TestParamInfo<PlanesKernel>& kernel) {
                             switch (kernel.param) {
                             case PlanesKernel::Sse41:
                                 return "Sse41";
                             case PlanesKernel::Avx2:
                                 return "Avx2";
                             default:
                                 return "Avx512";
                             }
                         });

} // namespace
} // namespace simtest
