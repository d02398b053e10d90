// A long stream at 100 images/s, checked image by image through the stamps every
// simulated image carries: a host that keeps up, and one that polls at half the rate.
#include "host/loader/video_module.h"
#include "sim/pattern.h"
#include "sim/sim_control.h"
#include "tests/support/case_name.h"
#include "tests/support/figures.h"
#include "tests/support/module_fixture.h"
#include "tests/support/sim_json.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace aiktest {
namespace {

using Clock = std::chrono::steady_clock;

// AIK_SOAK_SECONDS, default 5: the test command sets the full minute.
std::chrono::seconds soakTime() {
    const char* text = std::getenv("AIK_SOAK_SECONDS");
    const int seconds = text != nullptr ? std::atoi(text) : 0;
    return std::chrono::seconds(seconds > 0 ? seconds : 5);
}

struct HostPace {
    const char* name;
    std::chrono::milliseconds pause; // after each delivered image
};

class IntegritySoakTest : public ModuleFixture, public ::testing::WithParamInterface<HostPace> {};

// Catches corrupt, torn, repeated or reordered images, and losses the library does
// not count.
TEST_P(IntegritySoakTest, EveryImageIsWholeNewAndInOrder) {
    nlohmann::json camera = cameraJson("Quorvex", "QX-SOAK", "soak", 1280, 1024);
    camera["frameRate"] = 100;
    useCameras({camera});
    aikhost::Enumeration enumeration;
    ASSERT_NO_FATAL_FAILURE(startOneCamera(module(), enumeration, 1280, 1024));
    const aikhost::Channel& channel = enumeration.channels.front();

    std::vector<uint8_t> image(1280 * 1024);
    uint64_t delivered = 0, corrupt = 0, torn = 0, repeated = 0, gaps = 0, notDelivered = 0;
    uint32_t last = 0;
    const auto end = Clock::now() + soakTime();
    while (Clock::now() < end) {
        if (channel.waitForIntegration().acqResult != AIK_ACQ_DONE)
            continue;
        const aikhost::AcquisitionResult got = channel.getImage(image.data());
        if (got.rc != 0 || got.acqResult != AIK_ACQ_DONE) {
            ++notDelivered; // a wake-up whose image was taken already
            continue;
        }
        ++delivered;
        const camlib::StampCheck check = camlib::CheckStamps(PVX_PIXEL_MONO8, image.data(), 1280, 1024);
        corrupt += check.corrupt != 0 || !check.frame;
        torn += check.torn != 0;
        if (check.frame) {
            if (*check.frame <= last)
                ++repeated;
            else
                gaps += *check.frame - last - 1;
            last = *check.frame;
        }
        std::this_thread::sleep_for(GetParam().pause);
    }
    uint64_t announced = 0, dropped = 0, overwritten = 0;
    ASSERT_EQ(pvxSimStreamCounters(0, &announced, &dropped), PVX_OK);
    ASSERT_EQ(pvxSimStreamOverwritten(0, &overwritten), PVX_OK);
    EXPECT_EQ(channel.stopAcquisition().rc, 0);
    EXPECT_EQ(channel.releaseVideoChannel().rc, 0);

    EXPECT_GT(delivered, 0u);
    EXPECT_EQ(corrupt, 0u);
    EXPECT_EQ(torn, 0u);
    EXPECT_EQ(repeated, 0u);
    // The library counts an image lost once its buffer is reused: those of the last
    // few images that still wait in a buffer are gaps the host sees before it does.
    const uint64_t counted = overwritten + dropped;
    EXPECT_LE(counted, gaps);
    EXPECT_LE(gaps, counted + 8);
    reportFigure(std::string("integrity soak, host ") + GetParam().name + ": " +
                 std::to_string(soakTime().count()) + " s at 1280x1024 Mono8 100 images/s, " +
                 std::to_string(delivered) + " images checked, " + std::to_string(gaps) + " lost (" +
                 std::to_string(counted) + " counted by the library so far), " +
                 std::to_string(notDelivered) + " empty wake-ups, 0 corrupt, 0 torn, 0 repeated");
}

INSTANTIATE_TEST_SUITE_P(Hosts, IntegritySoakTest,
                         ::testing::Values(HostPace{"KeepingUp", std::chrono::milliseconds(0)},
                                           HostPace{"AtHalfRate", std::chrono::milliseconds(20)}),
                         CaseName());

} // namespace
} // namespace aiktest
