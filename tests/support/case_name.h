// Names each case of a table-driven test after the table's own `name` field.
#ifndef AIKTEST_CASE_NAME_H
#define AIKTEST_CASE_NAME_H

#include <gtest/gtest.h>

#include <string>

namespace aiktest {

struct CaseName {
    template <class Case> std::string operator()(const ::testing::TestParamInfo<Case>& tested) const {
        return tested.param.name;
    }
};

} // namespace aiktest

#endif
