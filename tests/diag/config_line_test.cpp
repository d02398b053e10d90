// Parsing one configuration line: what it sets up, and the globals it leaves.
#include "diag/config.h"
#include "diag/log_writer.h"
#include "diag_test_support.h"
#include "platform/fs.h"
#include "tests/support/case_name.h"

#include <filesystem>
#include <regex>
#include <stdexcept>
#include <string>

namespace diagtest {
namespace {

constexpr int kNoLog = -1;

struct LineCase {
    const char* name;
    std::string line;   // "{dir}" stands for the test's folder, "{sep}" for the path separator
    int threshold;      // of the log set up, or kNoLog
    bool toMemory;      // g_logToMemory afterwards
    std::string folder; // of g_logPath ("{dir}" likewise); empty: g_logPath stays empty
};

std::string Expand(const std::string& text, const std::string& dir) {
    return Replaced(Replaced(text, "{dir}", dir), "{sep}", std::string(1, platform::kPathSeparator));
}

class ConfigLineTest : public LogTest, public ::testing::WithParamInterface<LineCase> {};

// Catches each departure from the line's fixed reading: the keyword and target cut
// at the start, MEMORY looked for first, the level words in their order and inside
// the folder, quotes and line feed removed, one separator before the dated name,
// sizes below 32 and lower-case words refused.
TEST_P(ConfigLineTest, SetsUpWhatTheLineSays) {
    const LineCase& c = GetParam();
    const std::string dir = m_folder.path().string();
    ParseConfigLine(Expand(c.line, dir));
    EXPECT_EQ(g_logConfigured, c.threshold != kNoLog);
    EXPECT_EQ(g_logEnabled, c.threshold != kNoLog);
    EXPECT_EQ(g_logToMemory, c.toMemory);
    if (c.folder.empty()) {
        EXPECT_EQ(g_logPath, "");
    } else {
        const std::string folder = Expand(c.folder, dir) + platform::kPathSeparator;
        ASSERT_EQ(g_logPath.substr(0, folder.size()), folder);
        EXPECT_TRUE(
            std::regex_match(g_logPath.substr(folder.size()), std::regex(R"(QuorvexAIK_20\d{6}_\d{6}\.txt)")))
            << g_logPath;
    }
    if (c.threshold != kNoLog) {
        WriteEveryLevel();
        ExpectLevelsFrom(g_logToMemory ? flushed() : ReadText(g_logPath), static_cast<uint32_t>(c.threshold));
    }
}

const std::string kLongFolder = "{dir}/" + std::string(300, 'f');

const LineCase kLineCases[] = {
    {"FileExample", "QuorvexAIK,FILE,WARN,PATH={dir}", LOG_WARN, false, "{dir}"},
    {"MemoryExample", "QuorvexAIK MEMORY 1048576 DEBUG PATH={dir}/cam logs\n", LOG_DEBUG, true,
     "{dir}/cam logs"},
    {"QuotedFolderWithSeparator", "QuorvexAIK FILE INFO PATH=\"{dir}{sep}\"\n", LOG_INFO, false, "{dir}"},
    {"CommentedOut", "// QuorvexAIK,FILE,WARN,PATH={dir}", kNoLog, false, ""},
    {"CommentCutsThePath", "QuorvexAIK,FILE,WARN,PATH=//{dir}", kNoLog, false, ""},
    {"LowerCaseTarget", "QuorvexAIK,file,WARN,PATH={dir}", kNoLog, false, ""},
    {"LowerCaseLevel", "QuorvexAIK,FILE,warn,PATH={dir}", kNoLog, false, "{dir}"},
    {"LevelWordInFolder", "QuorvexAIK,FILE,WARN,PATH={dir}/DEBUG", LOG_DEBUG, false, "{dir}/DEBUG"},
    {"MemoryWordInFolder", "QuorvexAIK,FILE,WARN,PATH={dir}/MEMORY", kNoLog, true, "{dir}/MEMORY"},
    {"OnlyQuotesAsFolder", "QuorvexAIK,FILE,WARN,PATH=\"\"\n", kNoLog, false, ""},
    {"NoPath", "QuorvexAIK MEMORY 4096 INFO\n", kNoLog, true, ""},
    {"MemoryBelow32", "QuorvexAIK MEMORY 31 INFO PATH={dir}", kNoLog, true, "{dir}"},
    {"NegativeSize", "QuorvexAIK MEMORY -4096 INFO PATH={dir}", kNoLog, true, "{dir}"},
    {"MemoryCommaAndBlankSeparated", "QuorvexAIK, MEMORY, 4096, INFO, PATH={dir}", LOG_INFO, true, "{dir}"},
    {"FolderTooLongForTheWriter", "QuorvexAIK,FILE,WARN,PATH=" + kLongFolder, kNoLog, false, kLongFolder},
};

INSTANTIATE_TEST_SUITE_P(Lines, ConfigLineTest, ::testing::ValuesIn(kLineCases), aiktest::CaseName());

// Catches a ring of another size than the line asks for at the smallest size allowed,
// and a ring size taken wrongly when lines, not traces, fill it.
TEST_F(LogTest, MemoryLineOf32SetsUpA32ByteRing) {
    ParseConfigLine("QuorvexAIK MEMORY 32 FATAL PATH=" + m_folder.path().string());
    ASSERT_TRUE(g_logConfigured);
    EXPECT_TRUE(WriteLog(LOG_FATAL, std::string(100, 'z').c_str()));
    EXPECT_EQ(flushed(), std::string(31, 'z') + "\n");
}

// Catches a size conversion that accepts what is no 32-bit number instead of
// failing the way the standard conversion fails.
TEST_F(LogTest, UnreadableSizeThrows) {
    const std::string dir = m_folder.path().string();
    EXPECT_THROW(ParseConfigLine("QuorvexAIK MEMORY DEBUG PATH=" + dir), std::invalid_argument);
    EXPECT_THROW(ParseConfigLine("QuorvexAIK MEMORY 2147483648 DEBUG PATH=" + dir), std::out_of_range);
    EXPECT_FALSE(g_logConfigured);
    EXPECT_FALSE(g_logEnabled);
}

// Catches a second adapter line that replaces the first one's log, or leaves
// g_logConfigured set although its own set-up was refused.
TEST_F(LogTest, SecondLineIsRefusedButTakesThePath) {
    ParseConfigLine("QuorvexAIK,FILE,INFO,PATH=" + m_folder.file("first"));
    ASSERT_TRUE(g_logConfigured);
    const std::string firstLog = g_logPath;
    ParseConfigLine("QuorvexAIK,FILE,INFO,PATH=" + m_folder.file("second"));
    EXPECT_FALSE(g_logConfigured);
    EXPECT_EQ(g_logPath.rfind(m_folder.file("second"), 0), 0u);
    EXPECT_TRUE(WriteLog(LOG_INFO, "still the first"));
    EXPECT_EQ(SplitLines(ReadText(firstLog)).size(), 1u);
}

} // namespace
} // namespace diagtest
