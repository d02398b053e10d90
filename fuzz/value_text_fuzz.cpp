// Fuzzes the reading of numbers out of the host's value texts against the C runtime
// on the inputs where both must agree, and the round trip of formatted values.
#include "camera/number_text.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Require(bool condition) {
    if (!condition)
        abort();
}

bool SameNumber(double a, double b) {
    // Below the normal range the runtime keeps subnormals, the reader gives 0.
    return a == b || (std::fabs(a) < DBL_MIN && std::fabs(b) < DBL_MIN);
}

// Where the text's number starts, after blanks and a sign.
const char* NumberStart(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    if (*text == '+' || *text == '-')
        ++text;
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const char* c = text.c_str();
    const double value = ParseDecimal(c);
    const char* start = NumberStart(c);
    const bool hexOrWord = (start[0] == '0' && (start[1] == 'x' || start[1] == 'X')) ||
                           std::strchr("iInN", start[0]) != nullptr || start[0] == '\0';
    if (hexOrWord)
        Require(value == 0.0 || (start[0] == '0' && value == 0.0));
    else
        Require(SameNumber(value, std::strtod(c, nullptr)));

    const long long wide = std::strtoll(c, nullptr, 10);
    const int64_t expected = wide > INT32_MAX ? INT32_MAX : wide < INT32_MIN ? INT32_MIN : wide;
    Require(ParseLong32(c) == expected);

    if (std::isfinite(value)) {
        char formatted[64];
        std::snprintf(formatted, sizeof formatted, "%.17g", value);
        Require(SameNumber(ParseDecimal(formatted), value));
    }
    return 0;
}
