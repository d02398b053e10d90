// The host loader itself: a clear failure for a foreign library, and no jump through
// a slot the record does not carry.
#include "host/loader/video_module.h"
#include "tests/support/module_fixture.h"

namespace aiktest {
namespace {

// Catches a library without the entry point accepted as the module. (A missing module
// naming its path: host.aikhost_missing_module.)
TEST(LoaderTest, LibraryWithoutEntryPointIsRejected) {
    try {
        aikhost::VideoModule module(AIK_TEST_CAMERA_LIBRARY_PATH);
        ADD_FAILURE() << "the camera library loaded as the module";
    } catch (const aikhost::ModuleLoadError& error) {
        EXPECT_NE(std::string(error.what()).find("GetVideoChannel"), std::string::npos) << error.what();
    }
}

using LoaderChannelTest = ModuleFixture;

// Catches a wrapper that calls through the null extended slots of a base record.
TEST_F(LoaderChannelTest, BaseRecordHasNoExtendedSlotsToCall) {
    aikhost::VideoChannelResult result = getVideoChannel(0, AIK_RECORD_LEVEL_EXTENDED);
    ASSERT_EQ(result.rc, 0) << result.errText;
    aikhost::Channel channel(result.record);
    EXPECT_THROW(channel.getFeatureName(0), std::logic_error);
    EXPECT_THROW(channel.releaseVideoChannel(), std::logic_error);
    ASSERT_EQ(getVideoChannel(0).rc, 0); // leaves a record the fixture can release with
}

} // namespace
} // namespace aiktest
