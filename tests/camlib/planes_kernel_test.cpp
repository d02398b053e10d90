// Every vector kernel of the plane conversion against the portable one, byte for byte:
// around each vector width, with the planes and the source at every alignment, the
// image borders, overlapping blocks and rows or images narrower than one vector.
#include "camera/quorvex_api.h"
#include "camlib/planes.h"
#include "tests/camlib/guarded_planes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace simtest {
namespace {

using camlib::PlanesKernel;

const char* const kKernelNames[] = {"Portable", "Sse41", "Avx2", "Avx512"}; // in camlib::PlanesKernel's order

constexpr uint32_t kBayerFormats[] = {PVX_PIXEL_BAYER_GR8, PVX_PIXEL_BAYER_RG8, PVX_PIXEL_BAYER_GB8,
                                      PVX_PIXEL_BAYER_BG8};

// Samples at the ends of the range, where a pair sum's parity decides the rounding.
const std::vector<uint8_t> kRoundingSamples = {0, 1, 2, 127, 128, 253, 254, 255};

class PlanesKernelTest : public ::testing::TestWithParam<camlib::PlanesKernel> {
protected:
    void SetUp() override {
        if (!camlib::IsKernelUsable(GetParam()))
            GTEST_SKIP() << "this build or processor has no such kernel";
    }

    // Converts with the kernel under test, the planes and the source shifted by shift
    // bytes, and with the portable one; both must agree and stay inside their planes.
    void ExpectSameAsPortable(uint32_t format, const std::vector<uint8_t>& image, uint32_t width,
                              uint32_t height, std::size_t shift = 0) {
        SCOPED_TRACE(std::to_string(format) + " " + std::to_string(width) + "x" + std::to_string(height) +
                     " shifted by " + std::to_string(shift));
        const std::size_t pixels = std::size_t{width} * height;
        std::vector<uint8_t> shifted(shift, 0);
        shifted.insert(shifted.end(), image.begin(), image.end());
        GuardedPlanes expected(pixels), actual(pixels, shift);
        ASSERT_EQ(Run(camlib::PlanesKernel::Portable, expected, format, image.data(), width, height), PVX_OK);
        ASSERT_EQ(Run(GetParam(), actual, format, shifted.data() + shift, width, height), PVX_OK);
        EXPECT_TRUE(actual.GuardsIntact());
        EXPECT_TRUE(actual.SamePlanesAs(expected));
    }

private:
    static PvxStatus Run(camlib::PlanesKernel kernel, GuardedPlanes& planes, uint32_t format,
                         const uint8_t* source, uint32_t width, uint32_t height) {
        return camlib::ConvertImageToPlanesWith(kernel, format, planes.Plane(kRed), planes.Plane(kGreen),
                                                planes.Plane(kBlue), source, width, height);
    }
};

// Widths on both sides of every multiple of 16 up to several 64-byte vectors, so
// each kernel meets rows it leaves to the portable code, rows its two edge blocks
// cover alone, and inner blocks starting at either column parity.
std::vector<uint32_t> Widths() {
    std::vector<uint32_t> widths = {2, 3, 4, 5, 7};
    for (uint32_t vectors = 16; vectors <= 192; vectors += 16) {
        for (uint32_t width = vectors - 1; width <= vectors + 3; ++width)
            widths.push_back(width);
    }
    widths.push_back(1283);
    return widths;
}

// Catches a wrong mean or rounding, a lane given the wrong site's values, a red/blue
// swap in one order, a wrong border or edge column, a band of rows cut short, and
// writes past a row's end.
TEST_P(PlanesKernelTest, BayerMatchesThePortableKernelInEveryOrder) {
    for (uint32_t format : kBayerFormats) {
        for (uint32_t width : Widths()) {
            // 2, 3: a band alone; 6: a full band and a short one; 9: two full ones.
            for (uint32_t height : {2u, 3u, 6u, 9u}) {
                const std::size_t pixels = std::size_t{width} * height;
                ExpectSameAsPortable(format, RandomImage(pixels, width * 31 + height), width, height);
                ExpectSameAsPortable(format, RandomImage(pixels, width + format, kRoundingSamples), width,
                                     height);
            }
        }
    }
}

// Catches blocks chosen by the planes' alignment that leave a gap or run past the row.
TEST_P(PlanesKernelTest, BayerMatchesThePortableKernelAtEveryAlignment) {
    for (uint32_t width : {67u, 130u, 200u}) {
        const std::vector<uint8_t> image = RandomImage(std::size_t{width} * 5, width);
        for (std::size_t shift = 0; shift < 64; ++shift)
            ExpectSameAsPortable(PVX_PIXEL_BAYER_RG8, image, width, 5, shift);
    }
}

// Catches a wrong shuffle of the triplets, a swapped channel, and a wrong or missing
// first or last block, from fewer pixels than a vector to several vectors and at every
// alignment of the planes.
TEST_P(PlanesKernelTest, PackedMatchesThePortableKernel) {
    for (uint32_t format : {PVX_PIXEL_RGB8, PVX_PIXEL_BGR8}) {
        for (uint32_t width = 1; width <= 200; ++width)
            ExpectSameAsPortable(format, RandomImage(3 * std::size_t{width}, width), width, 1);
        ExpectSameAsPortable(format, RandomImage(3 * 1283 * 5, 5), 1283, 5);
        for (std::size_t shift = 0; shift < 64; ++shift)
            ExpectSameAsPortable(format, RandomImage(3 * 131, 131), 131, 1, shift);
    }
}

// Catches streaming stores that skip or repeat a cache line, or that start before the
// planes are aligned: an image larger than the size from which the kernels stream.
TEST_P(PlanesKernelTest, PackedMatchesThePortableKernelWhenStreaming) {
    constexpr uint32_t kWidth = 3001, kHeight = 1001;
    const std::vector<uint8_t> image = RandomImage(3 * std::size_t{kWidth} * kHeight, 3);
    for (std::size_t shift : {0, 1, 31, 48})
        ExpectSameAsPortable(PVX_PIXEL_BGR8, image, kWidth, kHeight, shift);
}

INSTANTIATE_TEST_SUITE_P(Vector, PlanesKernelTest,
                         ::testing::Values(camlib::PlanesKernel::Sse41, camlib::PlanesKernel::Avx2,
                                           camlib::PlanesKernel::Avx512),
                         [](const ::testing::TestParamInfo<camlib::PlanesKernel>& kernel) {
                             return std::string(kKernelNames[static_cast<int>(kernel.param)]);
                         });

} // namespace
} // namespace simtest
