# CLI11 for the Windows cross-build: Debian's headers, which work unchanged.
include(${CMAKE_CURRENT_LIST_DIR}/header_only.cmake)
aik_header_only_package(CLI11::CLI11 CLI)
