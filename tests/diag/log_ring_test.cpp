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

// "0123456789" ten times.
const std::string kHundred = Replaced(std::string(10, '.'), ".", "0123456789");

const RingCase kRingCases[] = {
    {"WrappedKeepsLast32",
     32,
     {kHundred.substr(0, 10), kHundred.substr(10, 45), kHundred.substr(55)},
     kHundred.substr(68)},
    {"OneTraceLongerThanRing", 32, {kHundred}, kHundred.substr(68)},
    {"ExactlyFull", 32, {kHundred.substr(0, 32)}, kHundred.substr(0, 32)},
    {"NeverFilled", 64, {"abc", "defg"}, "abcdefg"},
    {"Empty", 32, {}, ""},
    {"TraceKeepsFirst512", 1024, {std::string(600, 'x')}, std::string(512, 'x')},
};

INSTANTIATE_TEST_SUITE_P(Ring, RingTest, ::testing::ValuesIn(kRingCases), aiktest::CaseName());

} // namespace
} // namespace diagtest
