// The host loader itself: clear failures for a missing or foreign library, and no
// jump through a slot the record does not carry.
#include "host/loader/video_module.h"
#include "tests/support/module_fixture.h"

namespace aiktest {
namespace {

// What loading path as the module fails with; empty when it loads.
std::string LoadError(const std::string& path) {
    try {
        aikhost::VideoModule module(path);
    } catch (const aikhost::ModuleLoadError& error) {
        return error.what();
    }
    return "";
}

// Catches a load failure that does not name the path the host tried.
TEST(LoaderTest, MissingModuleNamesThePath) {
    const std::string path = "/nonexistent/folder/QuorvexAIK64.so";
    EXPECT_NE(LoadError(path).find(path), std::string::npos) << LoadError(path);
}

// Catches a library without the entry point accepted as the module.
TEST(LoaderTest, LibraryWithoutEntryPointIsRejected) {
    const std::string error = LoadError(AIK_TEST_CAMERA_LIBRARY_PATH);
    EXPECT_NE(error.find("GetVideoChannel"), std::string::npos) << error;
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
