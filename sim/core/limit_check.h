// The refusal of a value outside its limits. The text says which way the value has to
// move with exactly one of the words "greater" and "smaller", which callers look for.
#pragma once

#include "camlib/last_error.h"

#include <cmath>
#include <string>
#include <string_view>

namespace sim {

inline std::string NumberText(double value) {
    return camlib::FormatNumber(value);
}
inline std::string NumberText(int64_t value) {
    return std::to_string(value);
}

template <typename T> PvxStatus CheckLimits(std::string_view name, T value, T min, T max, PvxStatus refusal) {
    const std::string subject = std::string(name) + " " + NumberText(value);
    if (value < min)
        return camlib::Fail(refusal, subject + " is below its minimum " + NumberText(min) +
                                         ": a greater value is needed");
    if (value > max)
        return camlib::Fail(refusal, subject + " is above its maximum " + NumberText(max) +
                                         ": a smaller value is needed");
    return PVX_OK;
}

inline PvxStatus CheckNumber(std::string_view name, double value, PvxStatus refusal) {
    if (std::isfinite(value))
        return PVX_OK;
    return camlib::Fail(refusal, std::string(name) + " cannot take " + NumberText(value));
}

} // namespace sim
