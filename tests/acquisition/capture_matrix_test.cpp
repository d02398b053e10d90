// Every count of images a host asks for arrives whole, new and as the pattern at the
// programmed window, in monochrome, Bayer and RGB, whole sensor or a region, however
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
    bool region = false; // 40 x 30 at (13, 7) of the 64 x 48 sensor, else the whole sensor
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
    {"Mono12Region", "Mono12", StreamEnd::AfterLastImage, true},
    {"BayerRG8Region", "BayerRG8", StreamEnd::ThreeCycles, true},
};

class CaptureMatrixTest : public AcquisitionFixture, public ::testing::WithParamInterface<MatrixCase> {};

// Catches torn images (copied while the library refills the buffer), stale ones (the
// same or an older frame delivered again), a window programmed elsewhere than the
// attributes say, images cut or misplaced in the host's buffer, images lost or a
// start refused after a stop with images in flight.
TEST_P(CaptureMatrixTest, DeliversEveryImageAskedForAndRestarts) {
    const MatrixCase& c = GetParam();
    openCameras({gridCamera(64, 48, c.pixelFormat, 1000)});
    ASSERT_EQ(
        channel().setupCommonParams(c.region ? regionParams(13, 7, 40, 30) : regionParams(0, 0, 64, 48)).rc,
        0);
    const aikhost::ImageAttributesResult attributes = channel().getImageAttributes();
    ASSERT_EQ(attributes.rc, 0) << attributes.errText;
    const camlib::ImageGeometry window =
        windowOf(attributes.attributes, *camlib::PixelFormatFromName(c.pixelFormat));

    const int cycles = c.end == StreamEnd::ThreeCycles ? 3 : 1;
    int total = 0;
    for (const int count : kCounts) {
        for (int cycle = 0; cycle < cycles; ++cycle) {
            ASSERT_EQ(rcText(channel().startAcquisition()), RcText(0, ""))
                << count << " images, cycle " << cycle;
            // A host descheduled past the whole buffer ring (a loaded machine) finds
            // the image it was named refilled: NOT READY, and the next one comes.
            ASSERT_EQ(receiveImages(window, count, true), count) << count << " images, cycle " << cycle;
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
