// The wait-and-fetch handshake against a library that promises only one signal per
// completed image, and against one that also takes back signals still pending when the
// newest image is locked: at the highest image rate, with a host that works for varying times between wake-up
// and fetch.
#include "tests/acquisition/acquisition_fixture.h"

#include "sim/sim_control.h"
#include "tests/support/figures.h"

#include <chrono>
#include <map>
#include <thread>

namespace aiktest {
namespace {

class SignalHandshakeTest : public AcquisitionFixture, public ::testing::WithParamInterface<bool> {};

// Catches a slot that fails otherwise than as documented when a woken host finds no
// new image, and, with the take-back, any image not delivered after a wake-up.
TEST_P(SignalHandshakeTest, EveryWakeUpDeliversOrAnswersNotDelivered) {
    nlohmann::json camera = gridCamera(64, 32, "Mono8", 1000);
    camera["takeBackSignals"] = GetParam();
    openCameras({camera});
    startWholeSensor(channel());
    std::vector<uint8_t> buffer(64 * 32);
    int delivered = 0, notDelivered = 0, wakeUps = 0;
    std::map<std::string, int> messages;
    // 300 images take well under a second; the bound is for a machine under load.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (delivered < 300 && std::chrono::steady_clock::now() < deadline) {
        const aikhost::AcquisitionResult wait = channel().waitForIntegration();
        ASSERT_EQ(wait.rc, 0) << wait.errText;
        if (wait.acqResult != AIK_ACQ_DONE)
            continue;
        ++wakeUps;
        // A host at work between wake-up and fetch for 0 to 2.4 ms: the next image may
        // complete meanwhile, and its signal then wakes the host once more.
        std::this_thread::sleep_for(std::chrono::microseconds(800 * (wakeUps % 4)));
        const aikhost::AcquisitionResult image = channel().getImage(buffer.data());
        if (image.rc == 0 && image.acqResult == AIK_ACQ_DONE) {
            ++delivered;
            continue;
        }
        ASSERT_EQ(image.rc, 1) << image.errText;
        ASSERT_EQ(image.acqResult, static_cast<uint32_t>(AIK_ACQ_NOT_DELIVERED)) << image.errText;
        ++notDelivered;
        ++messages[image.errText];
    }
    EXPECT_GE(delivered, 100);
    // Every announced image was delivered, overwritten unseen, or is still in a buffer.
    uint64_t announced = 0, dropped = 0, overwritten = 0;
    ASSERT_EQ(pvxSimStreamCounters(0, &announced, &dropped), PVX_OK);
    ASSERT_EQ(pvxSimStreamOverwritten(0, &overwritten), PVX_OK);
    EXPECT_GE(announced, delivered + overwritten);
    EXPECT_LE(announced, delivered + overwritten + 8);
    EXPECT_EQ(dropped, 0u);
    if (GetParam()) {
        EXPECT_EQ(notDelivered, 0);
    }
    std::string figure = std::string("handshake ") + (GetParam() ? "with" : "without") +
                         " signal take-back at 1000 images/s: " + std::to_string(wakeUps) + " wake-ups, " +
                         std::to_string(delivered) + " delivered, " + std::to_string(notDelivered) +
                         " not delivered, " + std::to_string(overwritten) + " overwritten unseen";
    for (const auto& [text, count] : messages)
        figure += " (" + std::to_string(count) + " x \"" + text + "\")";
    reportFigure(figure);
    EXPECT_EQ(channel().stopAcquisition().rc, 0);
}

INSTANTIATE_TEST_SUITE_P(Library, SignalHandshakeTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& takeBack) {
                             return std::string(takeBack.param ? "TakesBackSignals" : "OneSignalPerImage");
                         });

} // namespace
} // namespace aiktest
