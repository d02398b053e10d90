// The text is checked as the option will read it: whole numbers in base 10, numbers
// as strtod takes them, nothing after the number.
#include "host/cli/option_checks.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace aikhost {

namespace {

CLI::Validator rangeCheck(double lowest, double highest, const std::string& what, bool whole) {
    const std::string range =
        "expected " + what + " from " + plainNumber(lowest) + " to " + plainNumber(highest);
    return CLI::Validator(
        [=](std::string& text) -> std::string {
            char* end = nullptr;
            errno = 0;
            const double value = whole ? static_cast<double>(std::strtoll(text.c_str(), &end, 10))
                                       : std::strtod(text.c_str(), &end);
            const bool number =
                !text.empty() && end == text.c_str() + text.size() && errno == 0 && std::isfinite(value);
            if (!number || value < lowest || value > highest)
                return range + ", got \"" + text + "\"";
            return "";
        },
        what + " from " + plainNumber(lowest) + " to " + plainNumber(highest));
}

} // namespace

std::string plainNumber(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.9f", value);
    std::string shown = text;
    shown.erase(shown.find_last_not_of('0') + 1);
    if (shown.back() == '.')
        shown.pop_back();
    return shown;
}

CLI::Validator wholeNumberIn(long long lowest, long long highest, const std::string& what) {
    return rangeCheck(static_cast<double>(lowest), static_cast<double>(highest), what, true);
}

CLI::Validator numberIn(double lowest, double highest, const std::string& what) {
    return rangeCheck(lowest, highest, what, false);
}

} // namespace aikhost
