// Streams: delivered images are whole, follow the pattern and carry their frame
// number; locked images are never overwritten; trigger mode, the acquisition-stop
// register and the stream's life cycle.
#include "tests/sim/sim_fixture.h"

#include "sim/defaults.h"
#include "sim/pattern.h"
#include "sim/sim_control.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <thread>
#include <tuple>
#include <vector>

using nlohmann::json;

namespace simtest {
namespace {

// Every byte of a delivered image against the reference; the frame number it carries
// must be the record's.
void ExpectImageFollowsPattern(const PvxImageRecord& record, const camlib::ImageGeometry& geometry,
                               sim::TestPattern pattern) {
    ASSERT_EQ((std::vector<uint32_t>{record.uiSize, record.uiPixelFormat, record.uiWidth, record.uiHeight}),
              (std::vector<uint32_t>{sim::kImageRecordSize, geometry.pixelFormat, geometry.width,
                                     geometry.height}));
    const auto* data = static_cast<const uint8_t*>(record.pData);
    const std::optional<uint32_t> frame =
        camlib::DecodeFrameNumber(geometry.pixelFormat, data, geometry.width);
    ASSERT_TRUE(frame.has_value()) << "the frame header is not intact";
    EXPECT_EQ(*frame, static_cast<uint32_t>(record.ullFrameId));
    const std::vector<uint8_t> expected = ExpectedImage(geometry, pattern, *frame);
    ASSERT_EQ(record.uiDataBytes, expected.size());
    const auto mismatch = std::mismatch(expected.begin(), expected.end(), data).first;
    const auto pixel =
        static_cast<uint32_t>(mismatch - expected.begin()) / camlib::BytesPerPixel(geometry.pixelFormat);
    EXPECT_EQ(pixel, geometry.width * geometry.height)
        << "first mismatch at (" << pixel % geometry.width << ", " << pixel / geometry.width << ")";
}

class StreamTest : public SimTest {
protected:
    // A small, fast camera; fields of extra override the defaults.
    PvxHandle OpenFastCamera(json extra = json::object()) {
        json camera = {{"sensorWidth", 32}, {"sensorHeight", 8}, {"frameRate", 500}};
        camera.update(extra);
        return OpenWith(camera);
    }

    struct Counters {
        uint64_t images = 0, notMade = 0;
    };
    // Camera 0's counters once until(counters) holds, polled at most 200 times about 5 ms
    // apart: waiting on the event (which consumes its signals) or, with keepSignals, not.
    Counters CountersOnce(const std::function<bool(const Counters&)>& until, bool keepSignals = false) {
        Counters counters;
        for (int wait = 0; wait < 200; ++wait) {
            EXPECT_EQ(pvxSimStreamCounters(0, &counters.images, &counters.notMade), PVX_OK);
            if (until(counters))
                break;
            if (keepSignals)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            else
                m_event.Wait(5);
        }
        return counters;
    }
};

using FormatAndPattern = std::tuple<const char*, const char*>;
class StreamContentTest : public StreamTest, public ::testing::WithParamInterface<FormatAndPattern> {};

// Catches torn, misplaced or misformatted images, a renderer that differs from the
// reference, and frame numbers that are not the ones announced.
TEST_P(StreamContentTest, ImagesAreWholeAndCarryTheirFrameNumber) {
    const auto [formatName, patternName] = GetParam();
    const uint32_t format = *camlib::PixelFormatFromName(formatName);
    const sim::TestPattern pattern = *sim::TestPatternFromName(patternName);
    const camlib::ImageGeometry geometry{format, 64, 12, 24, 6};
    json region = {{"sensorWidth", 96}, {"sensorHeight", 24}, {"pixelFormat", formatName}};
    region.update({{"testPattern", patternName}, {"width", {{"value", 64}}}, {"height", {{"value", 12}}}});
    region.update({{"offsetX", {{"value", 24}}}, {"offsetY", {{"value", 6}}}});
    const PvxHandle camera = OpenFastCamera(region);
    const PvxHandle stream = StartStream(camera);
    EXPECT_EQ(m_frameBytes, 64u * 12u * camlib::BytesPerPixel(format));
    uint64_t lastFrame = 0;
    for (int image = 0; image < 3; ++image) {
        const PvxImageRecord record = NextImage(stream);
        EXPECT_GT(record.ullFrameId, lastFrame);
        lastFrame = record.ullFrameId;
        ExpectImageFollowsPattern(record, geometry, pattern);
        ASSERT_EQ(pvxReleaseImage(stream, record.uiIndex), PVX_OK);
    }
    EXPECT_EQ(pvxStopStream(stream), PVX_OK);
    EXPECT_EQ(pvxCloseStream(stream), PVX_OK);
}

// The format and pattern names are made of letters, digits and underscores already.
std::string CaseName(const ::testing::TestParamInfo<FormatAndPattern>& info) {
    return std::string(std::get<0>(info.param)) + "_" + std::get<1>(info.param);
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, StreamContentTest,
                         ::testing::Combine(::testing::Values("Mono8", "Mono10", "Mono12", "Mono16",
                                                              "BayerGR8", "BayerRG8", "BayerGB8", "BayerBG8",
                                                              "RGB8", "BGR8", "YUV422_8", "0x01200099"),
                                            ::testing::Values("Off")),
                         CaseName);
INSTANTIATE_TEST_SUITE_P(EveryPattern, StreamContentTest,
                         ::testing::Combine(::testing::Values("Mono8", "BayerBG8", "RGB8", "Mono12"),
                                            ::testing::Values("Black", "White", "GreyHorizontalRamp",
                                                              "GreyVerticalRamp", "GreyDiagonalRamp")),
                         CaseName);

// Catches a generator that writes into a locked buffer, that neither drops nor counts
// the images it cannot place while every buffer is locked, or that stops for good.
// (A locked buffer while its copy is slow: CopyAgainstRefillTest.)
TEST_F(StreamTest, LockedImagesAreNeverOverwritten) {
    const PvxHandle camera = OpenFastCamera({{"frameRate", 1000}});
    const PvxHandle stream = StartStream(camera, 3);
    const PvxImageRecord held[] = {NextImage(stream), NextImage(stream), NextImage(stream)};
    EXPECT_GT(CountersOnce([](const Counters& counters) { return counters.notMade > 0; }).notMade, 0u);
    uint32_t index = 0;
    EXPECT_EQ(pvxGetCompletedImage(stream, &index), PVX_ERR_EMPTY_COMPLETE_QUEUE);
    // Held through the drops, each still shows its own frame.
    for (const PvxImageRecord& record : held) {
        ExpectImageFollowsPattern(record, {PVX_PIXEL_MONO8, 32, 8, 0, 0}, sim::TestPattern::Off);
        ASSERT_EQ(pvxReleaseImage(stream, record.uiIndex), PVX_OK);
    }
    EXPECT_GT(NextImage(stream).ullFrameId, held[2].ullFrameId);
}

// The library's count of one stream by its node names.
struct StreamNodes {
    int64_t delivered, lost, incomplete, dropped, frameId;
};

// Catches a stream node that counts an image twice or not at all (each image the
// camera numbered is delivered, lost or dropped, exactly once), a count that survives
// into the next stream, a frame id that is not the last locked image's, or a node a
// host can write.
TEST_F(StreamTest, StreamNodesCountEveryImageExactlyOnce) {
    const PvxHandle camera = OpenFastCamera({{"frameRate", 1000}});
    const auto read = [&] {
        int64_t values[5] = {};
        const char* const names[] = {"StreamDeliveredFrameCount", "StreamLostFrameCount",
                                     "StreamIncompleteFrameCount", "StreamDroppedFrameCount", "ChunkFrameID"};
        for (size_t i = 0; i < std::size(names); ++i)
            EXPECT_EQ(pvxGetIntValue(camera, Node(camera, names[i]), &values[i], false, false), PVX_OK)
                << names[i];
        return StreamNodes{values[0], values[1], values[2], values[3], values[4]};
    };
    for (int stream = 0; stream < 2; ++stream) {
        const PvxHandle handle = StartStream(camera, 3);
        // Every buffer locked: the camera's next images cannot be placed, and are lost.
        const PvxImageRecord held[] = {NextImage(handle), NextImage(handle), NextImage(handle)};
        CountersOnce([](const Counters& counters) { return counters.notMade > 0; });
        for (const PvxImageRecord& record : held)
            ASSERT_EQ(pvxReleaseImage(handle, record.uiIndex), PVX_OK);
        // Then images the host takes, and some it leaves to be replaced.
        PvxImageRecord last{};
        for (int taken = 0; taken < 5; ++taken) {
            last = NextImage(handle);
            ASSERT_EQ(pvxReleaseImage(handle, last.uiIndex), PVX_OK);
            m_event.Wait(5);
        }
        ASSERT_EQ(pvxStopStream(handle), PVX_OK);
        const Counters made = CountersOnce([](const Counters&) { return true; });
        ASSERT_EQ(pvxCloseStream(handle), PVX_OK);
        const StreamNodes counted = read();
        EXPECT_EQ(counted.delivered, 8);
        EXPECT_EQ(counted.frameId, static_cast<int64_t>(last.ullFrameId));
        EXPECT_EQ(counted.delivered + counted.dropped + counted.incomplete,
                  static_cast<int64_t>(made.images));
        // Nothing was locked at the end, so every image not made lay between two made.
        EXPECT_EQ(counted.lost, static_cast<int64_t>(made.notMade));
        EXPECT_GT(counted.lost, 0);
    }
    const PvxHandle delivered = Node(camera, "StreamDeliveredFrameCount");
    uint32_t access = 0;
    ASSERT_EQ(pvxGetNodeAccess(camera, delivered, &access), PVX_OK);
    EXPECT_EQ(access, static_cast<uint32_t>(PVX_ACCESS_RO));
    EXPECT_NE(pvxSetIntValue(camera, delivered, 0, false), PVX_OK);
}

struct Handling {
    const char* mode;
    std::vector<uint64_t> framesTaken; // of a burst of five, in the order taken
};

class BufferHandlingTest : public StreamTest, public ::testing::WithParamInterface<Handling> {};

// Catches a mode that changes nothing, images handed out out of order or twice, an
// image still held that is never announced again, or a mode changed under an open
// stream.
TEST_P(BufferHandlingTest, ABurstIsTakenAsTheModeSays) {
    constexpr uint64_t kBurst = 5;
    const PvxHandle camera = OpenFastCamera();
    const PvxHandle mode = Node(camera, "StreamBufferHandlingMode");
    ASSERT_EQ(pvxSetEnumValueText(camera, mode, GetParam().mode, true), PVX_OK);
    ASSERT_EQ(pvxSetTriggerMode(camera, true), PVX_OK);
    const PvxHandle stream = StartStream(camera, 8);
    EXPECT_EQ(pvxSetEnumValueText(camera, mode, "NewestOnly", true), PVX_ERR_NOT_WRITABLE);
    for (uint64_t trigger = 0; trigger < kBurst; ++trigger)
        ASSERT_EQ(pvxExecuteCommand(camera, Node(camera, "TriggerSoftware"), true), PVX_OK);
    // The whole burst completes before the host takes anything (or waits on the event).
    ASSERT_EQ(CountersOnce([](const Counters& counters) { return counters.images >= kBurst; }, true).images,
              kBurst);
    std::vector<uint64_t> taken;
    for (size_t i = 0; i < GetParam().framesTaken.size(); ++i) {
        const PvxImageRecord record = NextImage(stream);
        taken.push_back(record.ullFrameId);
        ASSERT_EQ(pvxReleaseImage(stream, record.uiIndex), PVX_OK);
    }
    EXPECT_EQ(m_event.Wait(30), 0u) << "nothing more to take";
    EXPECT_EQ(taken, GetParam().framesTaken);
}

INSTANTIATE_TEST_SUITE_P(Modes, BufferHandlingTest,
                         ::testing::Values(Handling{"NewestOnly", {5}},
                                           Handling{"OldestFirst", {1, 2, 3, 4, 5}}),
                         [](const ::testing::TestParamInfo<Handling>& tested) { return tested.param.mode; });

// Catches open, start, stop and close that accept what they should refuse, or refuse
// what a host does in its stop sequence (stopping twice, stopping a stream not started),
// a stream that announces nothing as an image, or takes buffer indices unchecked,
// and a camera close that leaves its stream open. (Calls from several threads, and
// teardown against the frame thread: FeatureTrafficTest, TeardownRaceTest.)
TEST_F(StreamTest, LifeCycleRefusalsAndRepeats) {
    const PvxHandle camera = OpenFastCamera();
    PvxHandle stream = 0;
    uint32_t bytes = 0;
    EXPECT_EQ(pvxOpenStream(camera, &stream, &bytes, m_event.Handle(), 0, 0), PVX_ERR_INVALID_PARAMETER);
    EXPECT_EQ(pvxOpenStream(camera, &stream, &bytes, m_event.Handle(), sim::kMaxStreamBuffers + 1, 0),
              PVX_ERR_INVALID_PARAMETER);
    stream = OpenStream(camera, 8);
    PvxHandle second = 0;
    EXPECT_EQ(pvxOpenStream(camera, &second, &bytes, m_event.Handle(), 8, 0), PVX_ERR_ALREADY_OPENED);
    EXPECT_EQ(pvxStopStream(stream), PVX_OK);
    EXPECT_EQ(pvxStartStream(stream, 9), PVX_ERR_INVALID_PARAMETER);
    ASSERT_EQ(pvxStartStream(stream, 8), PVX_OK);
    EXPECT_EQ(pvxStartStream(stream, 8), PVX_ERR_ALREADY_ACTIVATED);
    EXPECT_EQ(pvxStopStream(stream), PVX_OK);
    EXPECT_EQ(pvxStopStream(stream), PVX_OK);
    ASSERT_EQ(pvxStartStream(stream, 8), PVX_OK);
    ASSERT_EQ(pvxCloseStream(stream), PVX_OK); // closing a running stream stops it
    EXPECT_EQ(pvxStopStream(stream), PVX_ERR_INVALID_STREAM_HANDLE);

    // Image calls check indices and locks, and announce nothing as an image.
    stream = OpenStream(camera, 2);
    uint32_t index = 0;
    EXPECT_EQ(pvxGetCompletedImage(stream, &index), PVX_ERR_EMPTY_COMPLETE_QUEUE);
    EXPECT_EQ(index, sim::kNoCompletedImage);
    PvxImageRecord record{};
    EXPECT_EQ(pvxLockImage(stream, 2, &record), PVX_ERR_INVALID_IMAGE_HANDLE);
    EXPECT_EQ(pvxLockImage(stream, 0, &record), PVX_ERR_NOT_READY);
    uint8_t data[16];
    uint32_t size = sizeof data;
    EXPECT_EQ(pvxCopyImageData(stream, data, &size, 0), PVX_ERR_INVALID_IMAGE_HANDLE);
    EXPECT_EQ(pvxReleaseImage(stream, 0), PVX_ERR_INVALID_IMAGE_HANDLE);
    ASSERT_EQ(pvxStartStream(stream, 2), PVX_OK);
    record = NextImage(stream);
    size = sizeof data;
    ASSERT_EQ(pvxCopyImageData(stream, data, &size, 0), PVX_OK);
    EXPECT_EQ(size, sizeof data);
    EXPECT_EQ(std::memcmp(data, record.pData, sizeof data), 0);
    ASSERT_EQ(pvxReleaseImage(stream, record.uiIndex), PVX_OK);
    EXPECT_EQ(pvxReleaseImage(stream, record.uiIndex), PVX_ERR_INVALID_IMAGE_HANDLE);
    ASSERT_EQ(pvxCloseCamera(camera), PVX_OK); // closing the camera closes its running stream
    EXPECT_EQ(pvxGetCompletedImage(stream, &index), PVX_ERR_INVALID_STREAM_HANDLE);
}

// Catches trigger mode that free-runs anyway, triggers that give no image or several,
// and a TriggerSource that is ignored.
TEST_F(StreamTest, TriggerModeGivesOneImagePerSoftwareTrigger) {
    const PvxHandle camera = OpenFastCamera({{"frameRate", 1000}});
    const PvxHandle trigger = Node(camera, "TriggerSoftware");
    ASSERT_EQ(pvxSetTriggerMode(camera, true), PVX_OK);
    const PvxHandle stream = StartStream(camera);

    for (uint64_t frame = 1; frame <= 2; ++frame) {
        ASSERT_EQ(pvxExecuteCommand(camera, trigger, true), PVX_OK);
        const PvxImageRecord record = NextImage(stream);
        EXPECT_EQ(record.ullFrameId, frame);
        ASSERT_EQ(pvxReleaseImage(stream, record.uiIndex), PVX_OK);
        EXPECT_EQ(m_event.Wait(30), 0u) << "one image per trigger";
    }

    ASSERT_EQ(pvxSetEnumValueText(camera, Node(camera, "TriggerSource"), "Line0", true), PVX_OK);
    ASSERT_EQ(pvxExecuteCommand(camera, trigger, true), PVX_OK);
    EXPECT_EQ(m_event.Wait(30), 0u) << "a software trigger does not fire Line0";

    ASSERT_EQ(pvxSetEnumValueText(camera, Node(camera, "TriggerMode"), "Off", true), PVX_OK);
    EXPECT_GT(m_event.Wait(kWaitMs), 0u) << "free-running again";
}

// Catches the acquisition-stop register being ignored or not recorded, and a start
// that does not resume the output.
TEST_F(StreamTest, AcquisitionStopRegisterStopsTheOutputUntilTheNextStart) {
    const PvxHandle camera = OpenFastCamera();
    const PvxHandle stream = StartStream(camera);
    ASSERT_GT(m_event.Wait(kWaitMs), 0u);
    const uint32_t zero = 0;
    ASSERT_EQ(pvxWriteRegister(camera, PVX_REG_ACQUISITION_STOP, 1, &zero), PVX_OK);
    // Signals pending from before, and an image being filled at the write, may still come.
    for (int drain = 0; drain < 5 && m_event.Wait(10) > 0; ++drain) {
    }
    EXPECT_EQ(m_event.Wait(50), 0u);
    uint64_t address = 0;
    uint32_t value = 7;
    ASSERT_EQ(pvxSimLastRegisterWrite(0, &address, &value), PVX_OK);
    EXPECT_EQ(address, PVX_REG_ACQUISITION_STOP);
    EXPECT_EQ(value, 0u);
    ASSERT_EQ(pvxStopStream(stream), PVX_OK);
    ASSERT_EQ(pvxStartStream(stream, 3), PVX_OK);
    EXPECT_GT(m_event.Wait(kWaitMs), 0u);
}

// Catches events that are lost or doubled: one signal per announced image.
TEST_F(StreamTest, TheEventIsSignalledOncePerImage) {
    if (!TestEvent::kCountsEverySignal)
        GTEST_SKIP() << "the event merges signals that arrive before a wait";
    const PvxHandle camera = OpenFastCamera({{"frameRate", 1000}});
    const PvxHandle stream = StartStream(camera, 4);
    uint64_t signals = 0;
    for (int wait = 0; wait < 100 && signals < 30; ++wait)
        signals += m_event.Wait(kWaitMs);
    ASSERT_GE(signals, 30u);
    ASSERT_EQ(pvxStopStream(stream), PVX_OK);
    signals += m_event.Wait(0);
    uint64_t images = 0, dropped = 0;
    ASSERT_EQ(pvxSimStreamCounters(0, &images, &dropped), PVX_OK);
    EXPECT_EQ(signals, images);
    EXPECT_EQ(dropped, 0u);
}

// Catches a camera described to take back pending signals that leaves one pending for
// an image already taken: a host woken by it would find nothing to take.
TEST_F(StreamTest, EverySignalAnnouncesAnImageThatCanBeTaken) {
    const PvxHandle camera = OpenFastCamera({{"frameRate", 1000}, {"takeBackSignals", true}});
    const PvxHandle stream = StartStream(camera, 3);
    for (int image = 0; image < 100; ++image) {
        ASSERT_GT(m_event.Wait(kWaitMs), 0u);
        uint32_t index = 0;
        ASSERT_EQ(pvxGetCompletedImage(stream, &index), PVX_OK) << "after " << image << " images";
        PvxImageRecord record{};
        ASSERT_EQ(pvxLockImage(stream, index, &record), PVX_OK);
        ASSERT_EQ(pvxReleaseImage(stream, index), PVX_OK);
    }
}

// Catches TestPattern and offset writes that do not reach the images of a running stream.
TEST_F(StreamTest, NodeWritesShowInLaterImages) {
    const PvxHandle camera = OpenFastCamera({{"sensorWidth", 64}, {"width", {{"value", 32}}}});
    const PvxHandle stream = StartStream(camera);
    ASSERT_EQ(pvxSetEnumValueText(camera, Node(camera, "TestPattern"), "GreyHorizontalRamp", true), PVX_OK);
    ASSERT_EQ(pvxSetIntValue(camera, Node(camera, "OffsetX"), 16, true), PVX_OK);
    // An image being filled at the write may still show the old settings.
    const PvxImageRecord inFlight = NextImage(stream);
    ASSERT_EQ(pvxReleaseImage(stream, inFlight.uiIndex), PVX_OK);
    for (int image = 0; image < 3; ++image) {
        const PvxImageRecord record = NextImage(stream);
        if (record.ullFrameId > inFlight.ullFrameId + 1)
            ExpectImageFollowsPattern(record, {PVX_PIXEL_MONO8, 32, 8, 16, 0},
                                      sim::TestPattern::GreyHorizontalRamp);
        ASSERT_EQ(pvxReleaseImage(stream, record.uiIndex), PVX_OK);
    }
}

} // namespace
} // namespace simtest
