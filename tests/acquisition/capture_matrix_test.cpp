// Every count of images a host asks for arrives, in monochrome, Bayer and RGB, however
// the stream ends: right after the last image, in three start/stop cycles, or stopped
// while further images are in flight; and the next start always works.
#include "tests/acquisition/acquisition_fixture.h"
#include "tests/acquisition/expected_image.h"
#include "tests/support/case_name.h"
#include "tests/support/figures.h"

#include <chrono>
#include <thread>

namespace aiktest {
namespace {

constexpr int kCounts[] = {1, 2, 3, 5, 8, 13, 21, 34, 55, 89};

enum class StreamEnd { AfterLastImage, ThreeCycles, ImagesInFlight };

struct MatrixCase {
    const char* name;
    const char* pixelFormat;
    StreamEnd end;
};
const MatrixCase kMatrix[] = {
    {"Mono8Exact", "Mono8", StreamEnd::AfterLastImage},
    {"Mono8Cycles", "Mono8", StreamEnd::ThreeCycles},
    {"Mono8InFlight", "Mono8", StreamEnd::ImagesInFlight},
    {"BayerRG8Exact", "BayerRG8", StreamEnd::AfterLastImage},
    {"BayerRG8Cycles", "BayerRG8", StreamEnd::ThreeCycles},
    {"BayerRG8InFlight", "BayerRG8", StreamEnd::ImagesInFlight},
    {"RGB8Exact", "RGB8", StreamEnd::AfterLastImage},
    {"RGB8Cycles", "RGB8", StreamEnd::ThreeCycles},
    {"RGB8InFlight", "RGB8", StreamEnd::ImagesInFlight},
};

class CaptureMatrixTest : public AcquisitionFixture, public ::testing::WithParamInterface<MatrixCase> {
protected:
    // Receives count whole images, each newer than the one before; the number received.
    int receive(const sim::ImageGeometry& window, int count) {
        std::vector<uint8_t> image(deliveredBytes(window));
        uint32_t lastFrame = 0;
        int delivered = 0;
        // A signal whose image GetImage already took names nothing new: bounded.
        for (int attempts = 0; delivered < count && attempts < 4 * count + 20; ++attempts) {
            if (!waitForImage(channel()))
                break;
            const aikhost::AcquisitionResult get = channel().getImage(image.data());
            if (get.rc == 1 && get.errText == "EMPTY COMPLETE QUEUE.")
                continue;
            EXPECT_EQ(rcText(get), RcText(0, "")) << "image " << delivered;
            const std::optional<uint32_t> frame = stampedFrameNumber(window, image.data());
            EXPECT_TRUE(frame.has_value()) << "image " << delivered << " is not whole";
            EXPECT_GT(frame.value_or(0), lastFrame) << "image " << delivered << " is not new";
            lastFrame = frame.value_or(lastFrame);
            ++delivered;
        }
        return delivered;
    }
};

TEST_P(CaptureMatrixTest, DeliversEveryImageAskedForAndRestarts) {
    const MatrixCase& c = GetParam();
    openCameras({gridCamera(64, 48, c.pixelFormat, 1000)});
    ASSERT_EQ(channel().setupCommonParams(regionParams(0, 0, 64, 48)).rc, 0);
    const aikhost::ImageAttributesResult attributes = channel().getImageAttributes();
    ASSERT_EQ(attributes.rc, 0) << attributes.errText;
    const sim::ImageGeometry window =
        windowOf(attributes.attributes, *sim::PixelFormatFromName(c.pixelFormat));

    const int cycles = c.end == StreamEnd::ThreeCycles ? 3 : 1;
    int total = 0;
    for (const int count : kCounts) {
        for (int cycle = 0; cycle < cycles; ++cycle) {
            ASSERT_EQ(rcText(channel().startAcquisition()), RcText(0, ""))
                << count << " images, cycle " << cycle;
            ASSERT_EQ(receive(window, count), count) << count << " images, cycle " << cycle;
            total += count;
            if (c.end == StreamEnd::ImagesInFlight)
                std::this_thread::sleep_for(std::chrono::milliseconds(5)); // five more completed, unread
            ASSERT_EQ(rcText(channel().stopAcquisition()), RcText(0, ""))
                << count << " images, cycle " << cycle;
        }
    }
    reportFigure(std::string("capture matrix ") + c.name + ": " + std::to_string(total) +
                 " images delivered as asked over " + std::to_string(std::size(kCounts) * cycles) +
                 " streams");
}

INSTANTIATE_TEST_SUITE_P(Matrix, CaptureMatrixTest, ::testing::ValuesIn(kMatrix), CaseName());

} // namespace
} // namespace aiktest
