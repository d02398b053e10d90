// The region of interest as the host sees it: the aligned window the camera is given,
// where the requested region lies inside it, and the retry until the camera holds it.
#include "tests/acquisition/acquisition_fixture.h"
#include "tests/support/case_name.h"

namespace aiktest {
namespace {

struct RegionCase {
    const char* name;
    uint32_t offsetXMin; // the camera's minimum x offset (x increment 8 otherwise)
    int32_t x, y, width, height;
    // Told to the host: the window's size and where the request lies in it.
    int32_t camWidth, camHeight, roix, roiy, roiwidth, roiheight;
};
// Sensor 1280 x 1024; x offset step 8, y step 2, width step 16 from 16, height step 2 from 2.
const RegionCase kRegionCases[] = {
    // Offset (8, 6), 112 x 52: origin aligned down, the far edge covered and rounded up.
    {"WorkedExample", 0, 13, 7, 100, 50, 112, 52, 5, 1, 100, 50},
    // Width 16 at 1272 passes the sensor's edge and is moved back to 1264.
    {"RightEdgeMovedBack", 0, 1275, 0, 5, 2, 16, 2, 11, 0, 5, 2},
    {"AlignedRequestProgrammedExactly", 0, 64, 32, 320, 240, 320, 240, 0, 0, 320, 240},
    // 1200 + 200 passes the sensor: the request is clipped to 80 wide, the window too.
    {"RequestClippedToSensor", 0, 1200, 1000, 200, 100, 80, 24, 0, 0, 80, 24},
    {"WidthRaisedToMinimum", 0, 40, 10, 4, 1, 16, 2, 0, 0, 4, 1},
    // A minimum offset of 112 puts the window right of the request.
    {"OffsetRaisedToMinimum", 112, 100, 0, 64, 2, 64, 2, -12, 0, 64, 2},
};

class RegionTest : public AcquisitionFixture, public ::testing::WithParamInterface<RegionCase> {};

// Catches an origin rounded instead of truncated, a width not covering the requested
// right edge, a window left past the sensor, the clip to the sensor skipped, the
// minima ignored, or the sub-window origin taken the wrong way round.
TEST_P(RegionTest, WindowIsAlignedAndRequestLocatedInIt) {
    const RegionCase& c = GetParam();
    nlohmann::json camera = gridCamera(1280, 1024);
    camera["offsetX"] = {{"min", c.offsetXMin}, {"max", 1264}, {"inc", 8}, {"value", c.offsetXMin}};
    camera["width"]["value"] = 1280 - 128; // leaves room for any minimum offset of the table
    openCameras({camera});
    aikhost::SlotResult setup = channel().setupCommonParams(regionParams(c.x, c.y, c.width, c.height));
    ASSERT_EQ(setup.rc, 0) << setup.errText;

    ImageAttributes before{};
    before.reserved = 0x1234;
    aikhost::ImageAttributesResult result = channel().getImageAttributes(before);
    ASSERT_EQ(result.rc, 0) << result.errText;
    const ImageAttributes& a = result.attributes;
    EXPECT_EQ(a.reserved, 0x1234);
    // width, pitch and height of the window, the request in it, and the request's origin.
    EXPECT_EQ((std::vector<int32_t>{a.width, a.pitch, a.height, a.roix, a.roiy, a.roiwidth, a.roiheight,
                                    a.offsetx, a.offsety}),
              (std::vector<int32_t>{c.camWidth, c.camWidth, c.camHeight, c.roix, c.roiy, c.roiwidth,
                                    c.roiheight, c.x, c.y}));
    EXPECT_EQ(a.pixelFormat, AIK_PIXEL_MONO8);
    EXPECT_EQ(result.acqResult, static_cast<uint32_t>(AIK_ACQ_DONE));
}

INSTANTIATE_TEST_SUITE_P(Sensor1280x1024, RegionTest, ::testing::ValuesIn(kRegionCases), CaseName());

struct RetryCase {
    const char* name;
    nlohmann::json camera; // additions to the grid camera
    int64_t setCalls;
    int32_t rc;
    const char* errText;
};
class RoiRetryTest : public AcquisitionFixture, public ::testing::WithParamInterface<RetryCase> {};

// Catches a retry loop of the wrong length, one that gives up on the first refusal,
// one that treats a persistent mismatch as a failure, or a failure not reported.
TEST_P(RoiRetryTest, RetriesUntilTheCameraHoldsTheWindow) {
    const RetryCase& c = GetParam();
    nlohmann::json camera = gridCamera(1280, 1024);
    camera.update(c.camera);
    openCameras({camera});
    resetCalls();
    EXPECT_EQ(rcText(channel().setupCommonParams(regionParams(13, 7, 100, 50))), RcText(c.rc, c.errText));
    EXPECT_EQ(calls("pvxSetRoi"), c.setCalls);
}

const RetryCase kRetryCases[] = {
    {"HeldAtOnce", nlohmann::json::object(), 1, 0, ""},
    // The camera always reports the window 8 pixels further right: 20 attempts, then
    // the settings go on, since every call itself succeeded.
    {"ReadBackNeverMatches", {{"roiReadback", {{"dx", 8}, {"dy", 0}, {"dw", 0}, {"dh", 0}}}}, 20, 0, ""},
    {"RefusedTwiceThenHeld", withFault({}, "pvxSetRoi", PVX_ERR_BUSY, {{"times", 2}}), 3, 0, ""},
    {"ReadBackFailsOnce", withFault({}, "pvxGetRoi", PVX_ERR_CAMERA_NOT_RESPONDING, {{"times", 1}}), 2, 0,
     ""},
    {"AlwaysRefused", withFault({}, "pvxSetRoi", PVX_ERR_BUSY), 20, 1, "BUSY."},
};

INSTANTIATE_TEST_SUITE_P(Faults, RoiRetryTest, ::testing::ValuesIn(kRetryCases), CaseName());

// Catches a division by the zero increments of a camera whose limits could not be
// read when it was opened: the host's process would die instead of getting a message.
TEST_F(AcquisitionFixture, RegionOnACameraWithoutLimitsFailsCleanly) {
    openCameras({withFault(gridCamera(1280, 1024), "pvxGetOffsetXRange", PVX_ERR_CAMERA_NOT_RESPONDING)});
    // Unaligned, the window is refused by the camera: a message, not a crash.
    EXPECT_EQ(rcText(channel().setupCommonParams(regionParams(13, 7, 100, 50))),
              RcText(1, "INVALID PARAMETER."));
}

} // namespace
} // namespace aiktest
