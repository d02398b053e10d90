// Reporting measured figures, marked with the build they come from.
#include "tests/support/figures.h"

#include <cstdlib>
#include <fstream>
#include <iostream>

namespace aiktest {

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr const char* kBuild = "asan";
#elif defined(__SANITIZE_THREAD__)
constexpr const char* kBuild = "tsan";
#elif defined(_WIN32)
constexpr const char* kBuild = "windows";
#else
constexpr const char* kBuild = "release";
#endif

} // namespace

void reportFigure(const std::string& line) {
    std::cout << line << '\n';
    if (const char* file = std::getenv("AIK_TEST_FIGURES"); file != nullptr && *file != '\0')
        std::ofstream(file, std::ios::app) << kBuild << ": " << line << '\n';
}

} // namespace aiktest
