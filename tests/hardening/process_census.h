// What the running process holds, counted the way its operating system tells it:
// what a module that leaks would leave behind between one load and the next.
#ifndef AIKTEST_PROCESS_CENSUS_H
#define AIKTEST_PROCESS_CENSUS_H

#include <cstddef>
#include <string>

namespace aiktest {

// Open file descriptors (POSIX) or kernel handles (Windows).
std::size_t openHandles();
std::size_t threadCount();
long residentKiB();
// Whether a loaded library's file name contains name.
bool libraryLoaded(const std::string& name);

} // namespace aiktest

#endif
