// Many threads logging at once, to either target.
#include "diag/log_writer.h"
#include "diag_test_support.h"
#include "platform/thread.h"

#include <map>
#include <string>
#include <thread>
#include <vector>

namespace diagtest {
namespace {

constexpr int kThreads = 6;
constexpr int kLinesPerThread = 1500;

std::string LineText(int worker, unsigned long long tid, int n) {
    return "worker " + std::to_string(worker) + " tid " + std::to_string(tid) + " line " + std::to_string(n) +
           " " + std::string(static_cast<size_t>(n % 90), '.');
}

class ConcurrencyTest : public LogTest, public ::testing::WithParamInterface<bool> {};

// Catches lines that interleave within a line, lost lines, and a thread id taken
// from the wrong thread.
TEST_P(ConcurrencyTest, LinesStayWhole) {
    const bool toMemory = GetParam();
    const std::string path = m_folder.file("log.txt");
    ASSERT_TRUE(toMemory ? InitMemoryLog(8 << 20, LOG_DEBUG) : InitFileLog(path.c_str(), LOG_DEBUG));
    std::vector<std::thread> threads;
    for (int worker = 0; worker < kThreads; ++worker) {
        threads.emplace_back([worker] {
            for (int n = 0; n < kLinesPerThread; ++n)
                WriteLog(LOG_INFO, LineText(worker, platform::CurrentThreadId(), n).c_str());
        });
    }
    for (std::thread& thread : threads)
        thread.join();

    const std::vector<std::string> lines = SplitLines(toMemory ? flushed() : ReadText(path));
    ASSERT_EQ(lines.size(), static_cast<size_t>(kThreads * kLinesPerThread));
    std::map<int, int> nextLine;
    for (const std::string& line : lines) {
        const std::optional<LogLine> parsed = ParseLogLine(line);
        ASSERT_TRUE(parsed) << line;
        int worker = -1, n = -1;
        unsigned long long tid = 0;
        ASSERT_EQ(sscanf(parsed->text.c_str(), "worker %d tid %llu line %d", &worker, &tid, &n), 3) << line;
        EXPECT_EQ(parsed->text, LineText(worker, tid, n));
        EXPECT_EQ(parsed->threadId, tid) << line;
        EXPECT_EQ(n, nextLine[worker]++) << line;
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, ConcurrencyTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& tested) {
                             return std::string(tested.param ? "Memory" : "File");
                         });

} // namespace
} // namespace diagtest
