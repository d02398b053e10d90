// The host's copy slowed inside the library's copy call while a fast camera refills
// its one to three buffers: the image being copied is never the one being refilled.
#include "tests/acquisition/acquisition_fixture.h"
#include "tests/acquisition/expected_image.h"
#include "tests/support/case_name.h"

namespace aiktest {
namespace {

struct RefillCase {
    const char* name;
    const char* pixelFormat;
    const char* copyCall; // the library call that fills the host's buffer
    uint32_t buffers;
};
const RefillCase kRefillCases[] = {
    {"Mono8OneBuffer", "Mono8", "pvxCopyImageData", 1},
    {"Mono8TwoBuffers", "Mono8", "pvxCopyImageData", 2},
    {"Mono8ThreeBuffers", "Mono8", "pvxCopyImageData", 3},
    {"BayerRG8OneBuffer", "BayerRG8", "pvxConvertToPlanes", 1},
    {"BayerRG8ThreeBuffers", "BayerRG8", "pvxConvertToPlanes", 3},
};

class CopyAgainstRefillTest : public AcquisitionFixture, public ::testing::WithParamInterface<RefillCase> {};

// Catches an image released to the library before the host's copy ends (torn or
// overwritten while copied), and a locked buffer the generator writes anyway.
TEST_P(CopyAgainstRefillTest, NoImageIsTornWhileCopied) {
    const RefillCase& c = GetParam();
    nlohmann::json camera =
        withFault(gridCamera(64, 48, c.pixelFormat, 1000), c.copyCall, PVX_OK, {{"delayMs", 3}});
    camera["faults"][0].erase("status"); // slowed, not failed
    camera["streamBuffers"] = c.buffers;
    openCameras({camera});
    ASSERT_EQ(channel().setupCommonParams(regionParams(0, 0, 64, 48)).rc, 0);
    const aikhost::ImageAttributesResult attributes = channel().getImageAttributes();
    ASSERT_EQ(attributes.rc, 0) << attributes.errText;
    const camlib::ImageGeometry window =
        windowOf(attributes.attributes, *camlib::PixelFormatFromName(c.pixelFormat));
    ASSERT_EQ(channel().startAcquisition().rc, 0);
    uint32_t lastFrame = 0;
    // With one buffer, an image refilled between naming and locking is lost.
    const int delivered = receiveImages(window, 100, c.buffers == 1, &lastFrame);
    EXPECT_EQ(delivered, 100);
    // While one buffer was locked for 3 ms the camera went on producing: images the
    // host never saw (about three per copy, fewer on a loaded machine).
    EXPECT_GT(lastFrame, static_cast<uint32_t>(delivered));
    EXPECT_EQ(channel().stopAcquisition().rc, 0);
}

INSTANTIATE_TEST_SUITE_P(SlowCopy, CopyAgainstRefillTest, ::testing::ValuesIn(kRefillCases), CaseName());

} // namespace
} // namespace aiktest
