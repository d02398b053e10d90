// The line prefix against what printf prints for the same values.
#include "diag/log_prefix.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

namespace {

std::string Printed(double seconds, const char* tag, uint32_t threadId) {
    char expected[kLogPrefixBytes];
    snprintf(expected, sizeof expected, "%.06f,API %sThreadId:%04d,", seconds, tag,
             static_cast<int>(threadId));
    return expected;
}

std::string Formatted(double seconds, const char* tag, uint32_t threadId) {
    char prefix[kLogPrefixBytes];
    const size_t length = FormatLogPrefix(prefix, seconds, tag, threadId);
    EXPECT_EQ(length, strlen(prefix));
    return prefix;
}

// Catches wrong padding of short ids, zeros in front of long ones, and ids that
// print unsigned where printf's %d prints them signed.
TEST(LogPrefix, ThreadIdPrintsLikePercent04d) {
    for (uint32_t id : {0u, 7u, 412u, 9999u, 10000u, 4194303u, 2147483647u, 2147483648u, 4294967295u})
        EXPECT_EQ(Formatted(0.5, "INFO ,", id), Printed(0.5, "INFO ,", id)) << id;
    EXPECT_EQ(Formatted(0.512345, "INFO ,", 412), "0.512345,API INFO ,ThreadId:0412,");
}

// Catches seconds rounded differently from "%.06f" (ties, carries into the integer
// part, large values).
TEST(LogPrefix, SecondsPrintLikePercentDot06f) {
    for (double s :
         {0.0, 0.0000005, 0.0000015, 0.9999995, 0.9999994, 1.5, 1234.5678915, 86400.25, 1e9, 9.2e12})
        EXPECT_EQ(Formatted(s, "DEBUG,", 1), Printed(s, "DEBUG,", 1)) << s;
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> spread(0.0, 100000.0);
    for (int i = 0; i < 20000; ++i) {
        const double s = spread(random);
        ASSERT_EQ(Formatted(s, "WARN ,", 5), Printed(s, "WARN ,", 5)) << s;
    }
}

} // namespace
