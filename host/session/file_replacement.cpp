// The temporary file is named after its target with a leading dot, so that a folder
// listing and grab's own file patterns pass over it.
#include "host/session/file_replacement.h"

#include "host/loader/host_os.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace aikhost {

namespace {

// Tries a few names, in case an earlier run that was killed left one behind.
constexpr int kNameAttempts = 16;

std::string temporaryName(const std::filesystem::path& target, int attempt) {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const std::string name = "." + target.filename().string() + ".aikhost-" +
                             std::to_string(stamp % 1000000) + "-" + std::to_string(counter++) + "-" +
                             std::to_string(attempt) + ".tmp";
    return (target.parent_path() / name).string();
}

} // namespace

FileReplacement::FileReplacement(std::string path) : m_path(std::move(path)) {
    const std::filesystem::path target(m_path);
    std::error_code error;
    m_error = EEXIST;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string name = temporaryName(target, attempt);
        if (std::filesystem::exists(name, error))
            continue;
        errno = 0;
        m_stream = std::fopen(name.c_str(), "wb");
        m_error = m_stream != nullptr ? 0 : errno != 0 ? errno : EIO;
        if (m_stream != nullptr)
            m_temporary = name;
        break;
    }
}

FileReplacement::~FileReplacement() {
    if (m_stream != nullptr)
        std::fclose(m_stream);
    if (!m_committed && !m_temporary.empty()) {
        std::error_code ignored;
        std::filesystem::remove(m_temporary, ignored);
    }
}

void FileReplacement::writeFailed(int error) {
    if (m_error == 0)
        m_error = error != 0 ? error : EIO;
}

std::string FileReplacement::commit() {
    if (m_stream == nullptr)
        return std::strerror(m_error != 0 ? m_error : EIO);
    errno = 0;
    if (m_error == 0 && !syncToDisk(m_stream))
        m_error = errno != 0 ? errno : EIO;
    errno = 0;
    const bool closed = std::fclose(m_stream) == 0;
    m_stream = nullptr;
    if (!closed && m_error == 0)
        m_error = errno != 0 ? errno : EIO;
    if (m_error != 0)
        return std::strerror(m_error);
    std::error_code error;
    // The replacement keeps the permissions the user gave the old file.
    const std::filesystem::file_status old = std::filesystem::status(m_path, error);
    if (!error && std::filesystem::is_regular_file(old))
        std::filesystem::permissions(m_temporary, old.permissions(), error);
    std::filesystem::rename(m_temporary, m_path, error);
    if (error)
        return error.message();
    m_committed = true;
    return "";
}

std::string replaceFile(const std::string& path, std::string_view bytes) {
    FileReplacement replacement(path);
    if (replacement.stream() != nullptr) {
        errno = 0;
        if (std::fwrite(bytes.data(), 1, bytes.size(), replacement.stream()) != bytes.size())
            replacement.writeFailed(errno);
    }
    return replacement.commit();
}

} // namespace aikhost
