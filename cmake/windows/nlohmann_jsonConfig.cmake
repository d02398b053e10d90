# nlohmann_json for the Windows cross-build: Debian's headers, which work unchanged.
include(${CMAKE_CURRENT_LIST_DIR}/header_only.cmake)
aik_header_only_package(nlohmann_json::nlohmann_json nlohmann)
