// Temporary folders, file reading and log line parsing for the diagnostics tests.
#include "diag_test_support.h"

#include "diag/config.h"
#include "diag/log_writer.h"
#include "platform/fs.h"

#include <fstream>
#include <iterator>
#include <numeric>
#include <random>
#include <regex>
#include <sstream>

namespace diagtest {

TempFolder::TempFolder() {
    std::random_device random;
    m_path = std::filesystem::temp_directory_path() / ("aik-diag-" + std::to_string(random()));
    std::filesystem::create_directories(m_path);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Every line feed must be part of a line end.
    if (Replaced(bytes, platform::kTextLineEnd, "").find('\n') != std::string::npos) {
        ADD_FAILURE() << path << ": a line feed not stored as in text mode";
        return bytes;
    }
    return Replaced(bytes, platform::kTextLineEnd, "\n");
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::optional<LogLine> ParseLogLine(const std::string& line) {
    // A thread id of five or more digits is printed without leading zeros.
    static const std::regex shape(
        R"(^(\d+\.\d{6}),API (DEBUG,|INFO ,|WARN ,|ERROR,|FATAL,)ThreadId:(\d{4}|[1-9]\d{4,}),(.*)$)");
    static const std::string tags = "DEBUG,INFO ,WARN ,ERROR,FATAL,";
    std::smatch match;
    if (!std::regex_match(line, match, shape))
        return std::nullopt;
    return LogLine{std::stod(match[1]), static_cast<uint32_t>(tags.find(match[2]) / 6), std::stoull(match[3]),
                   match[4]};
}

void WriteEveryLevel() {
    for (uint32_t level = LOG_DEBUG; level <= LOG_FATAL + 1; ++level)
        EXPECT_EQ(WriteLog(level, ("level " + std::to_string(level)).c_str()), level <= LOG_FATAL) << level;
}

void ExpectLevelsFrom(const std::string& log, uint32_t threshold) {
    std::vector<uint32_t> levels;
    for (const std::string& line : SplitLines(log)) {
        const std::optional<LogLine> parsed = ParseLogLine(line);
        ASSERT_TRUE(parsed) << line;
        EXPECT_EQ(parsed->text, "level " + std::to_string(parsed->level));
        levels.push_back(parsed->level);
    }
    std::vector<uint32_t> expected(LOG_FATAL + 1 - threshold);
    std::iota(expected.begin(), expected.end(), threshold);
    EXPECT_EQ(levels, expected);
}

void LogTest::TearDown() {
    CloseLog();
    g_logPath.clear();
    g_logToMemory = false;
    g_logConfigured = false;
}

std::string LogTest::flushed() {
    const std::string path = m_folder.file("flushed.txt");
    EXPECT_TRUE(FlushMemoryLog(path.c_str()));
    return ReadText(path);
}

} // namespace diagtest
