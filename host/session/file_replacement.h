// A file that the user may already have is replaced whole or not at all: the new
// content goes into a temporary file in the same folder, is flushed to the disk and
// only then renamed over the old one.
#ifndef AIKHOST_FILE_REPLACEMENT_H
#define AIKHOST_FILE_REPLACEMENT_H

#include <cstdio>
#include <string>
#include <string_view>

namespace aikhost {

class FileReplacement {
public:
    // Creates the temporary file beside path; stream() is nullptr and commit() names
    // the reason when it cannot.
    explicit FileReplacement(std::string path);
    // Removes the temporary file unless commit() succeeded: the old file stays as it was.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    std::FILE* stream() const { return m_stream; }
    // Notes the errno of a write that failed, for commit() to report.
    void writeFailed(int error);
    // Flushes, syncs, closes and renames over the target; empty on success, else the
    // system's reason. Nothing of the target changes unless it succeeds.
    std::string commit();

private:
    std::string m_path;
    std::string m_temporary; // empty until created here
    std::FILE* m_stream = nullptr;
    int m_error = 0;
    bool m_committed = false;
};

// Replaces the file at path with bytes; empty on success, else the system's reason.
std::string replaceFile(const std::string& path, std::string_view bytes);

} // namespace aikhost

#endif
