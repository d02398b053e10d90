// Checks of numeric options whose refusals say in words what the option takes, its
// unit and its range, where CLI11's own checks print the type's limits.
#ifndef AIKHOST_OPTION_CHECKS_H
#define AIKHOST_OPTION_CHECKS_H

#include <CLI/CLI.hpp>

#include <string>

namespace aikhost {

// what: the quantity with its unit, as a sentence needs it ("a number of images").
// The refusal reads "expected <what> from <lowest> to <highest>, got <text>".
CLI::Validator wholeNumberIn(long long lowest, long long highest, const std::string& what);
CLI::Validator numberIn(double lowest, double highest, const std::string& what);

// A number as people write it: no exponent, no trailing zeros (0.00001, 1000000, 0.5).
std::string plainNumber(double value);

} // namespace aikhost

#endif
