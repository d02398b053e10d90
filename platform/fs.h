// Files and folders: the path separator, existence tests and creating a folder.
#pragma once

namespace platform {

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// True when path names an existing file or folder.
bool PathExists(const char* path);
// True when path names an existing folder.
bool IsDirectory(const char* path);
// Creates one folder; fails when its parent is missing or it exists already.
bool CreateFolder(const char* path);

} // namespace platform
