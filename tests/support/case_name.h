// Names each case of a table-driven test after the table's own `name` field.
#ifndef AIKTEST_CASE_NAME_H
#define AIKTEST_CASE_NAME_H

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace aiktest {

struct CaseName {
    template <class Case> std::string operator()(const ::testing::TestParamInfo<Case>& tested) const {
        return tested.param.name;
    }
};

namespace {

// Prints a table-driven case as its name in test listings. It lives in the unnamed
// namespace the test files declare their case structs in, where argument-dependent
// lookup finds it.
template <class Case> auto operator<<(std::ostream& out, const Case& c) -> decltype(out << c.name) {
    return out << c.name;
}

} // namespace

} // namespace aiktest

#endif
