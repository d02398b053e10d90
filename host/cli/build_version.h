// What aikhost --version names of the build: the package version and the git commit,
// both filled in when the build is configured (host/cli/build_version.cpp.in).
#ifndef AIKHOST_BUILD_VERSION_H
#define AIKHOST_BUILD_VERSION_H

namespace aikhost {

const char* packageVersion();
const char* gitCommit(); // "unknown" outside a git checkout

} // namespace aikhost

#endif
