# GoogleTest for the Windows cross-build, which Debian packages only for Linux: built
# from Debian's source package with the cross compiler, once, as part of this build.
if(NOT TARGET GTest::gtest)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()
set(GTest_FOUND TRUE)
