// Shared helpers of the diagnostics tests: temporary folders, reading a log back,
// and the shape of a log line.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace diagtest {

// A new, empty folder under the system's temporary folder, removed with the object.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    // path() / name, as the text the log writer and the configuration take.
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

// text with every occurrence of from replaced by to, left to right.
std::string Replaced(std::string text, const std::string& from, const std::string& to);
// A file written in text mode, each line end read back as one line feed; a line feed
// stored otherwise than the platform's text mode stores it fails the calling test.
std::string ReadText(const std::filesystem::path& path);
void WriteText(const std::filesystem::path& path, const std::string& text);
// The lines of text without their line feeds; a last line without one counts too.
std::vector<std::string> SplitLines(const std::string& text);

// One "%.06f,API <tag>ThreadId:%04d,<text>" line taken apart.
struct LogLine {
    double seconds;
    uint32_t level;
    uint64_t threadId;
    std::string text;
};
// nullopt when line does not have that shape exactly.
std::optional<LogLine> ParseLogLine(const std::string& line);

// Writes "level <n>" at each level and one above FATAL, which must be refused.
void WriteEveryLevel();
// Expects log to hold WriteEveryLevel's lines at threshold, ..., LOG_FATAL in that
// order, each a whole, well-formed line.
void ExpectLevelsFrom(const std::string& log, uint32_t threshold);

// Closes the log and clears the configuration's globals after each test, so that
// tests run in one process do not see each other's set-up.
class LogTest : public ::testing::Test {
protected:
    void TearDown() override;
    // The memory ring as FlushMemoryLog writes it.
    std::string flushed();

    TempFolder m_folder;
};

} // namespace diagtest
