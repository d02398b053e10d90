// The free-space guard, on a volume the tests make as full as they like.
#include "diag/log_writer.h"
#include "diag_test_support.h"
#include "fake_volume.h"

#include <chrono>
#include <filesystem>
#include <future>

namespace diagtest {
namespace {

constexpr uint64_t kLimit = 200000000;

class LowSpaceTest : public LogTest {
protected:
    void TearDown() override {
        LogTest::TearDown();
        g_fakeFreeBytes = 0;
        g_fakeQueryFails = false;
    }
};

// Catches a guard that writes on a full volume, counts the limit itself as too
// little, or keeps the lock after refusing, which would block the next caller.
TEST_F(LowSpaceTest, FileLinesNeedTheLimitFree) {
    const std::string path = m_folder.file("log.txt");
    g_fakeFreeBytes = kLimit - 1;
    ASSERT_TRUE(InitFileLog(path.c_str(), LOG_DEBUG));
    EXPECT_FALSE(WriteLog(LOG_INFO, "refused"));
    EXPECT_FALSE(WriteTrace("refused\n"));
    std::future<bool> other =
        std::async(std::launch::async, [] { return WriteLog(LOG_INFO, "also refused"); });
    ASSERT_EQ(other.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_FALSE(other.get());
    EXPECT_EQ(ReadText(path), "");
    g_fakeFreeBytes = kLimit;
    EXPECT_TRUE(WriteLog(LOG_INFO, "written"));
    EXPECT_EQ(SplitLines(ReadText(path)).size(), 1u);
    // A guard that refuses when it cannot ask would silence the log on every path
    // that names no drive.
    g_fakeFreeBytes = 0;
    g_fakeQueryFails = true;
    EXPECT_TRUE(WriteLog(LOG_INFO, "written without an answer"));
    EXPECT_EQ(SplitLines(ReadText(path)).size(), 2u);
}

// Catches a flush that writes, or creates its file, on a full volume.
TEST_F(LowSpaceTest, FlushNeedsTheLimitFree) {
    const std::string path = m_folder.file("flush.txt");
    ASSERT_TRUE(InitMemoryLog(1024, LOG_DEBUG));
    EXPECT_TRUE(WriteLog(LOG_INFO, "kept in memory"));
    g_fakeFreeBytes = kLimit - 1;
    EXPECT_FALSE(FlushMemoryLog(path.c_str()));
    EXPECT_FALSE(std::filesystem::exists(path));
    g_fakeFreeBytes = kLimit;
    EXPECT_TRUE(FlushMemoryLog(path.c_str()));
    EXPECT_EQ(SplitLines(ReadText(path)).size(), 1u);
}

} // namespace
} // namespace diagtest
