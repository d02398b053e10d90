// Images from the fake camera through the module, pixel by pixel against Aravis's
// own generator: copied (Mono8) or converted into three planes (Bayer, RGB8), and a 16-bit format
// the module does not deliver refused cleanly.
#include "tests/aravis/aravis_fixture.h"

#include "sim/util/planes.h"
#include "tests/aravis/fake_reference.h"

namespace aiktest {
namespace {

struct FormatCase {
    const char* name;
    uint32_t pfnc;
};

const FormatCase kFormats[] = {
    {"Mono8", PVX_PIXEL_MONO8},
    {"BayerRG8", PVX_PIXEL_BAYER_RG8},
    {"BayerGR8", PVX_PIXEL_BAYER_GR8},
    {"RGB8", PVX_PIXEL_RGB8},
};

// As the module lays colour out: the plane at 2·w·h is the first the conversion gets.
std::vector<uint8_t> ExpectedDelivery(uint32_t pfnc, uint32_t width, uint32_t height,
                                      const std::vector<uint8_t>& raw) {
    if (pfnc == PVX_PIXEL_MONO8)
        return raw;
    const size_t plane = size_t{width} * height;
    std::vector<uint8_t> planes(3 * plane);
    sim::ConvertImageToPlanes(pfnc, planes.data() + 2 * plane, planes.data() + plane, planes.data(),
                              raw.data(), width, height);
    return planes;
}

// Frames the generator may have run ahead of the reference between two deliveries.
constexpr int kFramesSearched = 1000;

class AravisImageTest : public AravisFixture, public ::testing::WithParamInterface<OnBackend<FormatCase>> {};

// Catches rows or planes shifted or swapped, a buffer handed back to Aravis before
// the copy (torn images), the wrong buffer named newest, or one image delivered twice.
TEST_P(AravisImageTest, DeliveredImagesAreTheCameraPattern) {
    const auto& [backend, format] = GetParam();
    ASSERT_NO_FATAL_FAILURE(openCamera(backend));
    if (IsSkipped())
        return;
    write("PixelFormat", format.name);
    ASSERT_EQ(channel().setupCommonParams(FakeParams(13, 7, 100, 50)).rc, 0);
    aikhost::ImageAttributesResult attributes = channel().getImageAttributes();
    ASSERT_EQ(attributes.rc, 0) << attributes.errText;
    const auto width = static_cast<uint32_t>(attributes.attributes.width);
    const auto height = static_cast<uint32_t>(attributes.attributes.height);
    ASSERT_EQ(width, 112u);
    ASSERT_EQ(height, 52u);
    const size_t bytes = size_t{width} * height * (format.pfnc == PVX_PIXEL_MONO8 ? 1 : 3);
    ASSERT_EQ(channel().startAcquisition().rc, 0);
    // Each image must be a frame of the generator later than the one before it.
    FakeReference reference(format.pfnc, 8, 6, width, height);
    for (int image = 0; image < 3; ++image) {
        ASSERT_TRUE(waitForImage()) << "image " << image;
        std::vector<uint8_t> delivered(bytes);
        aikhost::AcquisitionResult got = channel().getImage(delivered.data());
        ASSERT_EQ(got.rc, 0) << got.errText;
        int frame = 0;
        while (frame < kFramesSearched &&
               ExpectedDelivery(format.pfnc, width, height, reference.nextFrame()) != delivered)
            ++frame;
        EXPECT_LT(frame, kFramesSearched) << "image " << image << " is not a later frame of the camera";
    }
    EXPECT_EQ(channel().stopAcquisition().rc, 0);
}

INSTANTIATE_TEST_SUITE_P(Aravis, AravisImageTest,
                         ::testing::Combine(::testing::ValuesIn(kBackends), ::testing::ValuesIn(kFormats)),
                         BackendCaseName());

class AravisWideFormatTest : public AravisFixture, public ::testing::WithParamInterface<Backend> {};

// Catches a 16-bit image copied into a buffer the host sized for 8 bits, or a stream
// that the refusal leaves unusable.
TEST_P(AravisWideFormatTest, Mono16IsRefusedAndTheStreamGoesOn) {
    ASSERT_NO_FATAL_FAILURE(openCamera(GetParam()));
    if (IsSkipped())
        return;
    write("PixelFormat", "Mono16");
    ASSERT_EQ(channel().setupCommonParams(FakeParams(0, 0, 64, 64)).rc, 0);
    ASSERT_EQ(channel().startAcquisition().rc, 0);
    std::vector<uint8_t> buffer(64 * 64 * 2);
    for (int image = 0; image < 2; ++image) {
        ASSERT_TRUE(waitForImage()) << "image " << image;
        aikhost::AcquisitionResult got = channel().getImage(buffer.data());
        EXPECT_EQ(got.rc, 1);
        EXPECT_EQ(got.acqResult, static_cast<uint32_t>(AIK_ACQ_NOT_DELIVERED));
        EXPECT_EQ(got.errText, "Not suppreted image format.");
    }
    EXPECT_EQ(channel().stopAcquisition().rc, 0);
}

INSTANTIATE_TEST_SUITE_P(Aravis, AravisWideFormatTest, ::testing::ValuesIn(kBackends),
                         [](const ::testing::TestParamInfo<Backend>& tested) {
                             return BackendName(tested.param);
                         });

} // namespace
} // namespace aiktest
