# The version of Debian's nlohmann_json, whose headers the Windows cross-build uses.
include(/usr/share/cmake/nlohmann_json/nlohmann_jsonConfigVersion.cmake)
