// The Aravis camera library's own contract, below the module: frame numbers across
// the camera's block-id wrap and, on the in-process fake camera, register writes and
// the stream's buffer cycle (newest image named, locked one kept, released one given
// back).
#include "aravis/arv_control.h"
#include "aravis/core/frame_id.h"
#include "tests/aravis/aravis_fixture.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

namespace aiktest {
namespace {

struct FrameIdCase {
    const char* name;
    std::vector<uint64_t> blockIds;
    std::vector<uint64_t> frameIds;
};

const FrameIdCase kCases[] = {
    {"ConsecutiveAndAGapCountingTheLostFrames", {5, 6, 9}, {5, 6, 9}},
    // 0 is skipped: 65535 is followed by 1.
    {"SixteenBitWrapSkipsZero", {65534, 65535, 1, 2}, {65534, 65535, 65536, 65537}},
    {"WrapWithLoss", {65533, 3}, {65533, 65538}},
    {"SixtyFourBitIdsPassTheWrapPoint", {65535, 65536, 65537}, {65535, 65536, 65537}},
    {"RestartedCountMovesOn", {100000, 7}, {100000, 100001}},
    {"LateImageKeepsItsPlace", {5, 7, 6, 8}, {5, 7, 6, 8}},
    {"LateImageAcrossTheWrap", {65535, 1, 65535, 2}, {65535, 65536, 65535, 65537}},
};

// Catches frame numbers that jump back at the wrap or count the skipped 0, or a late
// image taken for a wrap.
TEST(AravisFrameId, FrameNumbersKeepCounting) {
    for (const FrameIdCase& c : kCases) {
        arv_backend::FrameIdExtender extender;
        std::vector<uint64_t> frameIds;
        for (uint64_t blockId : c.blockIds)
            frameIds.push_back(extender.Extend(blockId));
        EXPECT_EQ(frameIds, c.frameIds) << c.name;
    }
}

// The library's operations looked up by name, so the program links neither family.
#define PVX(name) reinterpret_cast<decltype(&name)>(dlsym(library, #name))

class AravisLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        PointAtBackend(Backend::Fake);
        library = dlopen(AIK_TEST_ARAVIS_API_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        ASSERT_TRUE(library) << dlerror();
        const PvxStatus init = PVX(pvxInitLibrary)(1);
        ASSERT_TRUE(init == PVX_OK || init == PVX_ERR_ALREADY_INITIALIZED);
        ASSERT_EQ(PVX(pvxOpenCamera)(0, &cam, 0, true, 0, 1), PVX_OK);
    }
    void TearDown() override {
        if (cam)
            PVX(pvxCloseCamera)(cam);
        if (library)
            dlclose(library);
    }
    void* library = nullptr;
    PvxHandle cam = 0;
};

// Catches arbitrary register writes reaching a camera, or the stop register refused.
TEST_F(AravisLibraryTest, OnlyTheStopRegisterIsWritten) {
    const uint32_t zero = 0;
    EXPECT_EQ(PVX(pvxWriteRegister)(cam, PVX_REG_ACQUISITION_STOP, 1, &zero), PVX_OK);
    EXPECT_EQ(PVX(pvxWriteRegister)(cam, 0x1f0, 1, &zero), PVX_ERR_NOT_IMPLEMENTED);
}

// Catches an image handed back to Aravis while locked, an older image named instead
// of the newest, a released buffer kept, or counts that do not add up.
TEST_F(AravisLibraryTest, StreamNamesTheNewestAndKeepsTheLockedImage) {
    PvxHandle rate = 0;
    ASSERT_EQ(PVX(pvxGetNode)(cam, "AcquisitionFrameRate", &rate), PVX_OK);
    ASSERT_EQ(PVX(pvxSetFloatValue)(cam, rate, 100, true), PVX_OK);
    const int event = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    PvxHandle stream = 0;
    uint32_t frameBytes = 0;
    ASSERT_EQ(PVX(pvxOpenStream)(cam, &stream, &frameBytes, event, 4, 0), PVX_OK);
    EXPECT_EQ(frameBytes, 512u * 512u);
    ASSERT_EQ(PVX(pvxStartStream)(stream, 4), PVX_OK);
    uint64_t produced = 0, delivered = 0, lost = 0, superseded = 0;
    // Waits, bounded, until count more images have completed; a loaded machine
    // delays them, so no fixed sleep can promise any.
    const auto awaitImages = [&](uint64_t count) {
        ASSERT_EQ(PVX(pvxArvStreamCounters)(stream, &produced, &delivered, &lost, &superseded), PVX_OK);
        const uint64_t wanted = produced + count;
        for (int poll = 0; poll < 500 && produced < wanted; ++poll) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            ASSERT_EQ(PVX(pvxArvStreamCounters)(stream, &produced, &delivered, &lost, &superseded), PVX_OK);
        }
        ASSERT_GE(produced, wanted) << "no " << count << " images in 5 s";
    };
    // Several images complete while the host takes none.
    awaitImages(3);
    uint32_t index = 0;
    ASSERT_EQ(PVX(pvxGetCompletedImage)(stream, &index), PVX_OK);
    PvxImageRecord first{};
    ASSERT_EQ(PVX(pvxLockImage)(stream, index, &first), PVX_OK);
    EXPECT_EQ(first.uiPixelFormat, PVX_PIXEL_MONO8);
    EXPECT_EQ(first.uiWidth * first.uiHeight, first.uiDataBytes);
    const uint8_t firstPixel = *static_cast<const uint8_t*>(first.pData);
    // The locked buffer stays the host's while newer images come and go.
    awaitImages(3);
    EXPECT_EQ(*static_cast<const uint8_t*>(first.pData), firstPixel);
    uint32_t newer = 0;
    ASSERT_EQ(PVX(pvxGetCompletedImage)(stream, &newer), PVX_OK);
    EXPECT_NE(newer, index);
    PvxImageRecord second{};
    ASSERT_EQ(PVX(pvxLockImage)(stream, newer, &second), PVX_OK);
    EXPECT_GT(second.ullFrameId, first.ullFrameId);
    EXPECT_EQ(PVX(pvxReleaseImage)(stream, index), PVX_OK);
    EXPECT_EQ(PVX(pvxLockImage)(stream, index, &first), PVX_ERR_NOT_READY);
    EXPECT_EQ(PVX(pvxReleaseImage)(stream, newer), PVX_OK);
    ASSERT_EQ(PVX(pvxArvStreamCounters)(stream, &produced, &delivered, &lost, &superseded), PVX_OK);
    // Lost images are not checked: a loaded machine can leave Aravis without a free
    // buffer now and then, which it counts as lost.
    EXPECT_EQ(delivered, 2u);
    EXPECT_GE(produced, delivered + superseded);
    EXPECT_GT(superseded, 0u);
    EXPECT_EQ(PVX(pvxStopStream)(stream), PVX_OK);
    EXPECT_EQ(PVX(pvxCloseStream)(stream), PVX_OK);
    EXPECT_EQ(PVX(pvxCloseStream)(stream), PVX_ERR_INVALID_STREAM_HANDLE);
    close(event);
}

} // namespace
} // namespace aiktest
