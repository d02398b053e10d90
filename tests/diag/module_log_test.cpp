// The module as a host loads it, each time in a fresh process: a configuration file
// beside the host's executable or in the SDK's folder, and the log that results,
// read back line by line.
#include "diag/log_writer.h"
#include "diag_test_support.h"
#include "host/loader/host_os.h"
#include "tests/support/case_name.h"
#include "tests/support/figures.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <regex>
#include <string>

namespace diagtest {
namespace {

namespace fs = std::filesystem;

// A host left with a thread stuck inside the module: bounded in time, without
// LeakSanitizer's scan at exit, which faults on a thread blocked in a system call
// ("Tracer caught signal 11") before it reports anything, and without
// ThreadSanitizer's one-second pause at exit, which would count as the module's.
// A host that leaves a log set up and never closed leaks its ring and lock by design:
// not for the leak checker to report either.
#ifdef _WIN32
constexpr const char* kStuckHostPrefix = "";
constexpr const char* kLeakingHostPrefix = "";
#else
constexpr const char* kStuckHostPrefix =
    "ASAN_OPTIONS=detect_leaks=0 TSAN_OPTIONS=\"${TSAN_OPTIONS:-} atexit_sleep_ms=0\" timeout 20 ";
constexpr const char* kLeakingHostPrefix = "ASAN_OPTIONS=\"${ASAN_OPTIONS:-}:detect_leaks=0\" ";
#endif

struct HostRun {
    std::map<std::string, int64_t> report; // 64 bits: nanosecond clock readings
    std::vector<fs::path> logs;            // the files in the log folder after the host ended
};

std::string Quoted(const fs::path& path) {
    return "\"" + path.string() + "\"";
}

// Local time as the dated log name spells it, so that names compare as text.
std::string LocalStamp() {
    const std::time_t now = std::time(nullptr);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d_%H%M%S", std::localtime(&now));
    return stamp;
}

class ModuleLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        aikhost::unsetEnvironment("QUORVEXSDK");
        aikhost::unsetEnvironment("QUORVEX_SIM_CONFIG");
    }
    void TearDown() override { aikhost::unsetEnvironment("QUORVEXSDK"); }

    fs::path hostFolder() const { return m_folder.path() / "host"; }
    fs::path logFolder() const { return m_folder.path() / "logs"; }
    std::string pathLine(const char* head, const fs::path& folder) const {
        return std::string(head) + "PATH=" + folder.string() + "\n";
    }

    // Copies the host program into its own folder, so that the module finds the
    // configuration beside it, and runs it once (with mode, if given, as its last
    // argument, and the command after prefix).
    HostRun runHost(const fs::path& logs, const std::string& mode = "", const char* prefix = "") {
        fs::create_directories(hostFolder());
        const fs::path host = hostFolder() / fs::path(AIK_DIAG_HOST).filename();
        fs::copy_file(AIK_DIAG_HOST, host, fs::copy_options::overwrite_existing);
        const fs::path reportPath = m_folder.path() / "report.txt";
        const std::string command = prefix + Quoted(host) + " " + Quoted(AIK_MODULE_PATH) + " " +
                                    Quoted(reportPath) + " " + Quoted(logs) +
                                    (mode.empty() ? "" : " " + mode);
        EXPECT_EQ(std::system(aikhost::systemCommand(command).c_str()), 0) << command;
        HostRun run;
        for (const std::string& line : SplitLines(ReadText(reportPath))) {
            const size_t space = line.find(' ');
            run.report[line.substr(0, space)] = std::stoll(line.substr(space + 1));
        }
        EXPECT_GT(run.report["channels"], 0) << "the module did not work as before";
        std::error_code error;
        for (fs::directory_iterator it(logs, error), end; !error && it != end; it.increment(error))
            run.logs.push_back(it->path());
        return run;
    }

    TempFolder m_folder;
};

// Every line whole and well-formed, written by the host's thread in time order, at
// or above the threshold; traces, at DEBUG, raw.
std::vector<LogLine> CheckedLines(const fs::path& log, const HostRun& run, uint32_t threshold) {
    std::vector<LogLine> lines;
    for (const std::string& line : SplitLines(ReadText(log))) {
        if (threshold == 0 && line.rfind(" ", 0) == 0)
            continue; // a trace: its text as the caller wrote it
        const std::optional<LogLine> parsed = ParseLogLine(line);
        EXPECT_TRUE(parsed) << "not a log line: " << line;
        if (!parsed)
            continue;
        EXPECT_GE(parsed->level, threshold) << line;
        EXPECT_EQ(static_cast<int64_t>(parsed->threadId), run.report.at("thread")) << line;
        if (!lines.empty()) {
            EXPECT_GE(parsed->seconds, lines.back().seconds) << line;
        }
        lines.push_back(*parsed);
    }
    return lines;
}

bool HasLine(const std::vector<LogLine>& lines, uint32_t level, const std::string& text) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const LogLine& line) { return line.level == level && line.text == text; });
}

// The host's exit call returned within a second of its report, although a thread it
// left behind held the log lock.
void ExpectPromptExit(const HostRun& run) {
    const auto exited = std::chrono::steady_clock::now().time_since_epoch().count();
    ASSERT_EQ(run.report.count("exit-ns"), 1u);
    EXPECT_LT(exited - run.report.at("exit-ns"), int64_t{1'000'000'000}) << "the exit took a second or more";
}

// Catches a FILE log not created at load, a dated name from the wrong clock, lines
// below the threshold, and a malformed line of a slot call.
TEST_F(ModuleLogTest, FileLineBesideTheHost) {
    WriteText(hostFolder() / "QuorvexSDK.cfg", pathLine("[other]\nQuorvexAIK,FILE,WARN,", logFolder()));
    const std::string before = LocalStamp();
    const HostRun run = runHost(logFolder());
    const std::string after = LocalStamp();
    EXPECT_EQ(run.report.at("files-while-loaded"), 1);
    ASSERT_EQ(run.logs.size(), 1u);
    const std::string name = run.logs[0].filename().string();
    ASSERT_TRUE(std::regex_match(name, std::regex(R"(QuorvexAIK_\d{8}_\d{6}\.txt)"))) << name;
    EXPECT_GE(name.substr(11, 15), before);
    EXPECT_LE(name.substr(11, 15), after);
    const std::vector<LogLine> lines = CheckedLines(run.logs[0], run, LOG_WARN);
    EXPECT_TRUE(HasLine(lines, LOG_ERROR, "EXIT : StartAcquisition, INVALID PARAMETER."));
}

#ifndef _WIN32
// Catches an exit that hangs because a thread ended while it held the log lock (here:
// blocked for ever in the log file's open), and a log that loses what came before.
TEST_F(ModuleLogTest, ExitGoesOnPastAThreadStuckInTheLog) {
    WriteText(hostFolder() / "QuorvexSDK.cfg", pathLine("QuorvexAIK,FILE,WARN,", logFolder()));
    const HostRun run = runHost(logFolder(), "stuck", kStuckHostPrefix);
    ExpectPromptExit(run);
    const auto kept = std::find_if(run.logs.begin(), run.logs.end(),
                                   [](const fs::path& file) { return file.extension() == ".kept"; });
    ASSERT_NE(kept, run.logs.end());
    const std::vector<LogLine> lines = CheckedLines(*kept, run, LOG_WARN);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().text, "EXIT : StartAcquisition, INVALID PARAMETER.");
}
#endif

// The same for a MEMORY log, whose thread is killed while it holds the lock in the
// middle of storing its line: the exit writes out the log without the lock, whole
// lines only.
TEST_F(ModuleLogTest, ExitGoesOnPastAThreadKilledInTheMemoryLog) {
    constexpr uintmax_t kMemoryLogBytes = 1048576;
    WriteText(hostFolder() / "QuorvexSDK.cfg", "QuorvexAIK MEMORY " + std::to_string(kMemoryLogBytes) +
                                                   " WARN PATH=" + logFolder().string() + "\n");
    const HostRun run = runHost(logFolder(), "killed", kStuckHostPrefix);
    ExpectPromptExit(run);
    ASSERT_EQ(run.logs.size(), 1u);
    const std::vector<std::string> lines = SplitLines(ReadText(run.logs[0]));
    ASSERT_FALSE(lines.empty());
    // Once the ring has wrapped, the oldest line is the tail of one overwritten, or the
    // line the killed thread was storing, glued to such a tail.
    const bool wrapped = fs::file_size(run.logs[0]) == kMemoryLogBytes;
    for (size_t i = wrapped ? 1 : 0; i < lines.size(); ++i) {
        const std::optional<LogLine> parsed = ParseLogLine(lines[i]);
        ASSERT_TRUE(parsed) << "not a whole log line: " << lines[i];
        EXPECT_EQ(parsed->text, "EXIT : StartAcquisition, INVALID PARAMETER.");
    }
    aiktest::reportFigure("killed thread in the log lock: MEMORY log written out at exit after " +
                          std::to_string(run.report.at("attempts")) + " stops, " +
                          std::to_string(lines.size()) + " lines");
}

// Catches a MEMORY log written before unload or not at all, a quoted folder with a
// space mishandled, and traces that gain a prefix.
TEST_F(ModuleLogTest, MemoryLineWrittenAtUnload) {
    const fs::path logs = m_folder.path() / "cam logs";
    WriteText(hostFolder() / "QuorvexSDK.cfg",
              "QuorvexAIK MEMORY 1048576 DEBUG PATH=\"" + logs.string() + "\"\n");
    const HostRun run = runHost(logs);
    EXPECT_EQ(run.report.at("files-while-loaded"), 0);
    EXPECT_EQ(run.report.at("files-after-unload"), 1);
    ASSERT_EQ(run.logs.size(), 1u);
    const std::vector<LogLine> lines = CheckedLines(run.logs[0], run, LOG_DEBUG);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].text, "ENTER: GetVideoChannel, deviceNum=0");
    EXPECT_EQ(lines[0].level, LOG_INFO);
    EXPECT_TRUE(HasLine(lines, LOG_ERROR, "EXIT : StartAcquisition, INVALID PARAMETER."));
    const std::vector<std::string> raw = SplitLines(ReadText(run.logs[0]));
    EXPECT_NE(std::find(raw.begin(), raw.end(), "  <initializeAdapter>"), raw.end());
}

// Catches the SDK's file read although the host's folder holds one. (That the SDK's
// file is found when the host's folder holds none, with or without a separator at the
// end of QUORVEXSDK, the SDK-place test and every SDK-folder log test show.)
TEST_F(ModuleLogTest, SdkFolderOnlyWhenNoneBesideTheHost) {
    const fs::path sdkLogs = m_folder.path() / "sdk-logs";
    WriteText(m_folder.path() / "sdk" / "QuorvexApi" / "bin" / "x64" / "QuorvexSDK.cfg",
              pathLine("QuorvexAIK FILE INFO ", sdkLogs));
    aikhost::setEnvironment("QUORVEXSDK", (m_folder.path() / "sdk").string() + "/");
    WriteText(hostFolder() / "QuorvexSDK.cfg", pathLine("QuorvexAIK FILE INFO ", logFolder()));
    EXPECT_TRUE(runHost(sdkLogs).logs.empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(logFolder()), fs::directory_iterator()), 1);
}

struct NoLogCase {
    const char* name;
    std::string config;       // "{logs}" stands for the log folder; empty: no file at all
    bool logLeftOpen = false; // the first line's log stays set up and is never closed
};

class ModuleWithoutLogTest : public ModuleLogTest, public ::testing::WithParamInterface<NoLogCase> {};

// Catches a log set up from a line that must set none up, and an unload that
// flushes or closes a log the configuration no longer owns.
TEST_P(ModuleWithoutLogTest, WorksWithLoggingOff) {
    if (!GetParam().config.empty())
        WriteText(hostFolder() / "QuorvexSDK.cfg",
                  Replaced(GetParam().config, "{logs}", logFolder().string()));
    EXPECT_TRUE(runHost(logFolder(), "", GetParam().logLeftOpen ? kLeakingHostPrefix : "").logs.empty());
}

const NoLogCase kNoLogCases[] = {
    {"NoFile", ""},
    {"SecondLineRefused", "QuorvexAIK MEMORY 4096 INFO PATH={logs}\nQuorvexAIK,FILE,WARN,PATH={logs}\n",
     true},
    {"FailedConversion", "QuorvexAIK MEMORY INFO PATH={logs}\nQuorvexAIK,FILE,WARN,PATH={logs}\n"},
};

INSTANTIATE_TEST_SUITE_P(Configs, ModuleWithoutLogTest, ::testing::ValuesIn(kNoLogCases),
                         aiktest::CaseName());

} // namespace
} // namespace diagtest
