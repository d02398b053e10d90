// Temporary folders, file reading and log line parsing for the diagnostics tests.
#include "diag_test_support.h"

#include "diag/config.h"
#include "diag/log_writer.h"
#include "platform/fs.h"

#include <algorithm>
#include <fstream>
#include <iterator>
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

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string lineEnd = platform::kTextLineEnd;
    std::string text;
    std::size_t start = 0, lineEnds = 0;
    for (std::size_t end; (end = bytes.find(lineEnd, start)) != std::string::npos;
         start = end + lineEnd.size()) {
        text.append(bytes, start, end - start).push_back('\n');
        ++lineEnds;
    }
    // Every line feed must be part of a line end.
    if (static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) != lineEnds) {
        ADD_FAILURE() << path << ": a line feed not stored as in text mode";
        return bytes;
    }
    return text.append(bytes, start, std::string::npos);
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
    static const std::regex shape(
        R"(^(\d+\.\d{6}),API (DEBUG,|INFO ,|WARN ,|ERROR,|FATAL,)ThreadId:(\d{4,}),(.*)$)");
    static const std::string tags = "DEBUG,INFO ,WARN ,ERROR,FATAL,";
    std::smatch match;
    if (!std::regex_match(line, match, shape))
        return std::nullopt;
    // A thread id of five or more digits is printed without leading zeros.
    const std::string id = match[3];
    if (id.size() > 4 && id[0] == '0')
        return std::nullopt;
    return LogLine{std::stod(match[1]), static_cast<uint32_t>(tags.find(match[2]) / 6), std::stoull(id),
                   match[4]};
}

void WriteEveryLevel() {
    for (uint32_t level = LOG_DEBUG; level <= LOG_FATAL + 1; ++level)
        EXPECT_EQ(WriteLog(level, ("level " + std::to_string(level)).c_str()), level <= LOG_FATAL) << level;
}

std::set<uint32_t> LevelsIn(const std::string& log) {
    std::set<uint32_t> levels;
    for (const std::string& line : SplitLines(log)) {
        const std::optional<LogLine> parsed = ParseLogLine(line);
        EXPECT_TRUE(parsed) << line;
        if (parsed) {
            EXPECT_EQ(parsed->text, "level " + std::to_string(parsed->level));
            levels.insert(parsed->level);
        }
    }
    return levels;
}

std::set<uint32_t> LevelsFrom(uint32_t threshold) {
    std::set<uint32_t> levels;
    for (uint32_t level = threshold; level <= LOG_FATAL; ++level)
        levels.insert(level);
    return levels;
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
