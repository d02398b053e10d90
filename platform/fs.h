// Files and folders: the path separator, line ends, existence tests and creating a
// folder.
#pragma once

namespace platform {

// kTextLineEnd: how a file written in text mode stores each line feed.
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
constexpr const char* kTextLineEnd = "\r\n";
#else
constexpr char kPathSeparator = '/';
constexpr const char* kTextLineEnd = "\n";
#endif

// A path buffer's size, the Windows kernel's MAX_PATH.
constexpr unsigned kPathBytes = 260;

// True when path names an existing file or folder.
bool PathExists(const char* path);
// True when path names an existing folder.
bool IsDirectory(const char* path);
// Creates one folder; fails when its parent is missing or it exists already.
bool CreateFolder(const char* path);

} // namespace platform
