# Cross-build for 64-bit Windows on Debian: the mingw-w64 compilers (posix threads, for
# std::thread), wine to run what was built, and the test dependencies that have no
# Windows package taken from Debian's sources and headers (cmake/windows/).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Every program and DLL carries its own C++ runtime and thread library, so nothing
# but the system's DLLs is needed beside them.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
# ctest, add_test and gtest_discover_tests run the programs under wine, quietly, in a
# wine prefix of the build's own (windows/run-under-wine.sh).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/windows/run-under-wine.sh ${CMAKE_BINARY_DIR}/wine)
# GoogleTest built from /usr/src/googletest, CLI11 and nlohmann_json from their headers.
set(GTest_DIR ${CMAKE_CURRENT_LIST_DIR}/windows)
set(CLI11_DIR ${CMAKE_CURRENT_LIST_DIR}/windows)
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/windows)
