// Reading numbers out of the host's value texts.
#include "camera/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

const char* SkipDigits(const char* p) {
    while (IsDigit(*p))
        ++p;
    return p;
}

// The power of ten of the first significant digit of the number in [digits, end);
// only used to tell an overflow from an underflow. A double, since a saturated
// exponent and the digits' position would overflow a 64-bit sum.
double Magnitude(const char* digits, const char* end) {
    const char* mantissaEnd = digits;
    while (mantissaEnd < end && *mantissaEnd != 'e' && *mantissaEnd != 'E')
        ++mantissaEnd;
    const long long exponent = mantissaEnd < end ? strtoll(mantissaEnd + 1, nullptr, 10) : 0;
    long long position = SkipDigits(digits) - digits - 1;
    for (const char* p = digits; p < mantissaEnd && (*p == '0' || *p == '.'); ++p) {
        if (*p == '0')
            --position;
    }
    return static_cast<double>(position) + static_cast<double>(exponent);
}

} // namespace

int64_t ParseLong32(const char* text) {
    const long long value = strtoll(text, nullptr, 10);
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return value;
}

double ParseDecimal(const char* text) {
    const char* p = text;
    while (IsBlank(*p))
        ++p;
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-')
        ++p;
    const char* const digits = p;
    p = SkipDigits(p);
    bool any = p != digits;
    if (*p == '.') {
        const char* fraction = SkipDigits(p + 1);
        any = any || fraction != p + 1;
        p = fraction;
    }
    if (!any)
        return 0.0;
    if (*p == 'e' || *p == 'E') {
        const char* sign = p + 1;
        if (*sign == '+' || *sign == '-')
            ++sign;
        if (IsDigit(*sign))
            p = SkipDigits(sign);
    }
    double value = 0.0;
    const std::from_chars_result result = std::from_chars(digits, p, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range)
        value = Magnitude(digits, p) > 0 ? HUGE_VAL : 0.0;
    return negative ? -value : value;
}
