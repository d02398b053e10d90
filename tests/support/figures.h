// Figures a test measured (cycles run, images checked, losses seen), printed and, when
// AIK_TEST_FIGURES names a file, appended to it for the test command's summary.
#ifndef AIKTEST_FIGURES_H
#define AIKTEST_FIGURES_H

#include <string>

namespace aiktest {

void reportFigure(const std::string& line);

} // namespace aiktest

#endif
