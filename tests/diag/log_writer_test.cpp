// Levels, the line format and the file target of the log writer.
#include "diag/log_file.h"
#include "diag/log_writer.h"
#include "diag_test_support.h"
#include "platform/thread.h"

#include <filesystem>
#include <string>

namespace diagtest {
namespace {

class ThresholdTest : public LogTest, public ::testing::WithParamInterface<uint32_t> {};

// Catches a threshold compared the wrong way, a dropped line reported as a failure,
// a line above FATAL written, and traces written above the DEBUG threshold.
TEST_P(ThresholdTest, LinesAtOrAboveTheThresholdOnly) {
    const uint32_t threshold = GetParam();
    ASSERT_TRUE(InitMemoryLog(4096, threshold));
    WriteEveryLevel();
    EXPECT_TRUE(WriteTrace(" trace\n"));
    const std::string log = flushed();
    ExpectLevelsFrom(log.substr(0, log.find(" trace\n")), threshold);
    EXPECT_EQ(log.find(" trace\n") != std::string::npos, threshold == LOG_DEBUG);
}

INSTANTIATE_TEST_SUITE_P(Levels, ThresholdTest, ::testing::Range<uint32_t>(LOG_DEBUG, LOG_FATAL + 1));

// Catches a file that is not created at set-up, lines held back instead of appended
// at once, a clock that does not start at set-up, and traces that gain a prefix or a
// line feed. (A wrong thread id: the concurrency test.)
TEST_F(LogTest, FileLinesAreAppendedAtOnce) {
    const std::string path = m_folder.file("new folder/log.txt");
    ASSERT_TRUE(InitFileLog(path.c_str(), LOG_DEBUG));
    EXPECT_EQ(ReadText(path), "");
    EXPECT_TRUE(WriteLog(LOG_INFO, "ENTER: GetFeatureName, channelID=0, index=3"));
    platform::SleepMs(50);
    EXPECT_TRUE(WriteTrace("  raw trace"));
    EXPECT_TRUE(WriteLog(LOG_ERROR, "second"));
    const std::vector<std::string> lines = SplitLines(ReadText(path));
    ASSERT_EQ(lines.size(), 2u);
    const std::optional<LogLine> first = ParseLogLine(lines[0]);
    const std::optional<LogLine> second = ParseLogLine(lines[1].substr(strlen("  raw trace")));
    ASSERT_TRUE(first && second) << lines[0] << "\n" << lines[1];
    EXPECT_EQ(lines[1].rfind("  raw trace", 0), 0u);
    EXPECT_EQ(first->text, "ENTER: GetFeatureName, channelID=0, index=3");
    EXPECT_LT(first->seconds, 1.0);
    EXPECT_GE(second->seconds - first->seconds, 0.045);
    EXPECT_EQ(second->level, LOG_ERROR);
}

// Catches a ring smaller than 32 bytes, a second set-up over the first target of
// either kind, a flush of a FILE log, and a log left on after CloseLog.
TEST_F(LogTest, SetUpRefusals) {
    EXPECT_FALSE(InitMemoryLog(31, LOG_DEBUG));
    EXPECT_FALSE(g_logEnabled);
    EXPECT_FALSE(WriteLog(LOG_FATAL, "off"));
    EXPECT_FALSE(FlushMemoryLog(m_folder.file("none.txt").c_str()));
    const std::string first = m_folder.file("first.txt");
    const std::string second = m_folder.file("second.txt");
    ASSERT_TRUE(InitFileLog(first.c_str(), LOG_INFO));
    EXPECT_FALSE(InitFileLog(second.c_str(), LOG_INFO));
    EXPECT_FALSE(InitMemoryLog(1024, LOG_INFO));
    EXPECT_FALSE(FlushMemoryLog(second.c_str()));
    EXPECT_TRUE(WriteLog(LOG_INFO, "to the first"));
    EXPECT_TRUE(CloseLog());
    EXPECT_FALSE(CloseLog());
    EXPECT_FALSE(WriteLog(LOG_FATAL, "closed"));
    EXPECT_FALSE(WriteTrace("closed"));
    EXPECT_EQ(SplitLines(ReadText(first)).size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(second));
    ASSERT_TRUE(InitMemoryLog(32, LOG_DEBUG));
    EXPECT_FALSE(InitMemoryLog(64, LOG_DEBUG));
    EXPECT_FALSE(InitFileLog(second.c_str(), LOG_DEBUG));
}

// Catches a line that blocks for good on a file that cannot be opened, and a writer
// that gives up on the file for later lines.
TEST_F(LogTest, UnopenableFileLosesTheLineOnly) {
    const std::string path = m_folder.file("log.txt");
    ASSERT_TRUE(InitFileLog(path.c_str(), LOG_DEBUG));
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_FALSE(WriteLog(LOG_INFO, "lost"));
    EXPECT_FALSE(WriteTrace("lost"));
    std::filesystem::remove(path);
    EXPECT_TRUE(WriteLog(LOG_INFO, "kept"));
    const std::vector<std::string> lines = SplitLines(ReadText(path));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(ParseLogLine(lines[0])->text, "kept");
}

// Catches folders created more than one level deep, a set-up that succeeds without
// its file, and paths copied past the writer's 260-byte buffers (under AddressSanitizer).
TEST_F(LogTest, OnlyTheLastFolderLevelIsCreatedAndOverlongPathsAreRefused) {
    EXPECT_FALSE(InitFileLog(m_folder.file("a/b/log.txt").c_str(), LOG_INFO));
    EXPECT_FALSE(std::filesystem::exists(m_folder.path() / "a"));
    EXPECT_FALSE(g_logEnabled);
    EnsureLogFolder(m_folder.file("c/log.txt").c_str());
    EXPECT_TRUE(std::filesystem::is_directory(m_folder.path() / "c"));

    const std::string longPath = m_folder.file(std::string(300, 'p') + "/log.txt");
    EnsureLogFolder(longPath.c_str());
    ASSERT_TRUE(InitMemoryLog(64, LOG_INFO));
    EXPECT_FALSE(FlushMemoryLog(longPath.c_str()));
}

} // namespace
} // namespace diagtest
