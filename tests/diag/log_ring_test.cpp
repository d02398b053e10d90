// The memory target: what a flush writes after the ring filled, wrapped or stayed
// empty.
#include "diag/log_writer.h"
#include "diag_test_support.h"
#include "tests/support/case_name.h"

#include <string>
#include <vector>

namespace diagtest {
namespace {

struct RingCase {
    const char* name;
    uint32_t ringSize;
    std::vector<std::string> traces;
    std::string expected;
};

std::string Digits(size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i)
        text += static_cast<char>('0' + i % 10);
    return text;
}

class RingTest : public LogTest, public ::testing::WithParamInterface<RingCase> {};

// Catches the oldest bytes written in the wrong place, a lost or repeated byte at
// the wrap, and stale zero bytes of an unfilled ring reaching the file.
TEST_P(RingTest, FlushWritesWhatTheRingHolds) {
    const RingCase& c = GetParam();
    ASSERT_TRUE(InitMemoryLog(c.ringSize, LOG_DEBUG));
    for (const std::string& trace : c.traces)
        EXPECT_TRUE(WriteTrace(trace.c_str()));
    EXPECT_EQ(flushed(), c.expected);
    // The flush leaves the ring as it was.
    EXPECT_EQ(flushed(), c.expected);
}

const std::string kHundred = Digits(100);

INSTANTIATE_TEST_SUITE_P(
    Ring, RingTest,
    ::testing::Values(RingCase{"WrappedKeepsLast32",
                               32,
                               {kHundred.substr(0, 10), kHundred.substr(10, 45), kHundred.substr(55)},
                               kHundred.substr(68)},
                      RingCase{"OneTraceLongerThanRing", 32, {kHundred}, kHundred.substr(68)},
                      RingCase{"ExactlyFull", 32, {Digits(32)}, Digits(32)},
                      RingCase{"NeverFilled", 64, {"abc", "defg"}, "abcdefg"}, RingCase{"Empty", 32, {}, ""},
                      RingCase{"TraceKeepsFirst512", 1024, {std::string(600, 'x')}, std::string(512, 'x')}),
    aiktest::CaseName());

// Catches a ring smaller than 32 bytes, or a second target over the first.
TEST_F(LogTest, MemorySetUpRefusals) {
    EXPECT_FALSE(InitMemoryLog(31, LOG_DEBUG));
    EXPECT_FALSE(g_logEnabled);
    EXPECT_FALSE(WriteLog(LOG_FATAL, "off"));
    EXPECT_FALSE(FlushMemoryLog(m_folder.file("none.txt").c_str()));
    ASSERT_TRUE(InitMemoryLog(32, LOG_DEBUG));
    EXPECT_FALSE(InitMemoryLog(64, LOG_DEBUG));
    EXPECT_FALSE(InitFileLog(m_folder.file("file.txt").c_str(), LOG_DEBUG));
    EXPECT_TRUE(CloseLog());
    EXPECT_FALSE(CloseLog());
    EXPECT_FALSE(WriteTrace("closed"));
}

} // namespace
} // namespace diagtest
