// grab's acquisition loop against a simulated camera: what it asks of the camera per image.
#include "host/session/grab_loop.h"
#include "tests/acquisition/acquisition_fixture.h"
#include "tests/support/case_name.h"

#include <optional>
#include <string>
#include <vector>

namespace aiktest {
namespace {

struct LoopCase {
    const char* name;
    bool triggered; // each image fired by TriggerSoftware
};

const LoopCase kLoopCases[] = {{"FreeRunning", false}, {"FiredBySoftware", true}};

class GrabLoopTest : public AcquisitionFixture, public ::testing::WithParamInterface<LoopCase> {};

// Catches a feature read per image (the trigger mode asked before each one, say): the
// node lookups a grab makes, beside those that fire images, must not grow with its count.
TEST_P(GrabLoopTest, ReadsNoFeaturePerImage) {
    openCameras({gridCamera(64, 48, "Mono8", 200)});
    CommonParamsRecord params = regionParams(0, 0, 64, 48);
    params.acqTriggered = GetParam().triggered ? 1 : 0;
    ASSERT_EQ(channel().setupCommonParams(params).rc, 0);
    const aikhost::ImageAttributesResult attributes = channel().getImageAttributes();
    ASSERT_EQ(attributes.rc, 0) << attributes.errText;
    ASSERT_EQ(channel().startAcquisition().rc, 0);
    std::vector<int64_t> lookups;
    for (const int count : {1, 5}) {
        int taken = 0;
        aikhost::GrabHooks hooks;
        hooks.stopRequested = [] { return false; };
        hooks.waiting = [](const aikhost::ImageTally&) {};
        hooks.take = [&taken](int, const std::vector<uint8_t>&, std::optional<uint32_t>) {
            ++taken;
            return std::string();
        };
        resetCalls();
        const aikhost::LoopResult loop =
            aikhost::takeImages(channel(), attributes.attributes, std::nullopt, {count, 2000, 3, 3}, hooks);
        EXPECT_EQ(loop.end, aikhost::LoopEnd::Done) << loop.detail;
        EXPECT_EQ(taken, count);
        lookups.push_back(calls("pvxGetNode") - calls("pvxExecuteCommand"));
    }
    EXPECT_EQ(channel().stopAcquisition().rc, 0);
    EXPECT_EQ(lookups.front(), lookups.back());
}

INSTANTIATE_TEST_SUITE_P(Modes, GrabLoopTest, ::testing::ValuesIn(kLoopCases), CaseName());

} // namespace
} // namespace aiktest
