// ReleaseVideoChannel as a host uses it: it releases every camera whatever the
// channel, may be repeated, and leaves the module ready for a new enumeration.
#include "sim/sim_control.h"
#include "tests/support/marked_err_text.h"
#include "tests/support/module_fixture.h"
#include "tests/support/sim_json.h"

namespace aiktest {
namespace {

class ReleaseTest : public ModuleFixture {
protected:
    void SetUp() override {
        ModuleFixture::SetUp();
        useCameras({cameraJson("Quorvex", "QX-1", "one"), cameraJson("Quorvex", "QX-2", "two")});
        aikhost::Enumeration enumeration = enumerate();
        ASSERT_EQ(enumeration.channels.size(), 2u) << enumeration.errText;
        m_channels = enumeration.channels;
    }

    std::vector<aikhost::Channel> m_channels;
};

// Catches a release that validates channelID, releases only one camera, fails on a
// second call, or writes errText on success, and slots that still reach a freed
// camera after release instead of rejecting the channel.
TEST_F(ReleaseTest, AnyChannelIdReleasesEveryCameraAndRepeatsHarmlessly) {
    MarkedErrText errText;
    pvxSimResetCallCounts();
    EXPECT_EQ(release(errText.bytes, 7), 0);
    EXPECT_EQ(pvxSimCallCount("pvxCloseCamera"), 2);
    EXPECT_EQ(getVideoChannel(1).rc, 1);
    EXPECT_EQ(release(errText.bytes, 7), 0);
    EXPECT_EQ(pvxSimCallCount("pvxCloseCamera"), 2);
    EXPECT_TRUE(errText.untouched());
    for (const aikhost::Channel& channel : m_channels)
        EXPECT_EQ(rcText(channel.startAcquisition()), RcText(1, "INVALID PARAMETER."));
}

// Catches a release that leaves cameras open in the library (so they cannot be
// opened again) or a registry that is not rebuilt from the new enumeration.
TEST_F(ReleaseTest, EnumeratesAgainAfterRelease) {
    ASSERT_EQ(m_channels[1].releaseVideoChannel().rc, 0);
    aikhost::Enumeration same = enumerate();
    ASSERT_EQ(same.channels.size(), 2u) << same.errText;
    EXPECT_EQ(same.channels[1].name(), "Quorvex QX-2(AIK)");

    ASSERT_EQ(same.channels[0].releaseVideoChannel().rc, 0);
    useCameras({cameraJson("Other", "OT-9", "replacement")});
    aikhost::Enumeration changed = enumerate();
    ASSERT_EQ(changed.channels.size(), 1u) << changed.errText;
    EXPECT_EQ(changed.channels[0].name(), "Other OT-9(AIK)");
}

} // namespace
} // namespace aiktest
