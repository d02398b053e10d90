// Unbuffered stdio: libtiff hands over whole strips, so a buffer would only add a copy.
#include "recording/tiff_file.h"

#include "recording/image_meta.h"

#include <cerrno>
#include <cstring>
#include <memory>

namespace recording {

// std::fseek takes a long: recordings pass 2 GiB.
static_assert(sizeof(long) >= 8, "recordings need 64-bit file offsets");

namespace {

TiffFile& Of(thandle_t self) {
    return *static_cast<TiffFile*>(self);
}

struct OptionsDeleter {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

} // namespace

TiffFile::TiffFile(const std::string& path, const char* mode) : m_path(path) {
    const bool writing = mode[0] == 'w';
    m_file = std::fopen(path.c_str(), writing ? "w+b" : "rb");
    if (m_file == nullptr)
        throw RecordingError(path + ": " + std::strerror(errno));
    std::setvbuf(m_file, nullptr, _IONBF, 0);
    const std::unique_ptr<TIFFOpenOptions, OptionsDeleter> options(TIFFOpenOptionsAlloc());
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), &TiffFile::Report, this);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), &TiffFile::Ignore, this);
    // "m": no memory mapping, every read goes through Read.
    const std::string openMode = std::string(mode) + "m";
    m_tiff = TIFFClientOpenExt(path.c_str(), openMode.c_str(), this, &TiffFile::Read, &TiffFile::Write,
                               &TiffFile::Seek, &TiffFile::CloseFile, &TiffFile::Size, &TiffFile::Map,
                               &TiffFile::Unmap, options.get());
    if (m_tiff == nullptr) {
        const std::string reason = m_error.empty() ? "not a TIFF file" : m_error;
        std::fclose(m_file);
        m_file = nullptr;
        throw RecordingError(path + ": " + reason);
    }
}

TiffFile::~TiffFile() {
    Close();
}

bool TiffFile::Close() {
    if (m_tiff != nullptr) {
        TIFFClose(m_tiff); // closes the file through CloseFile
        m_tiff = nullptr;
    }
    const bool clean = m_file == nullptr || std::fclose(m_file) == 0;
    m_file = nullptr;
    return clean && !m_refusing;
}

tmsize_t TiffFile::Read(thandle_t self, void* buffer, tmsize_t size) {
    TiffFile& file = Of(self);
    const std::size_t read = std::fread(buffer, 1, static_cast<std::size_t>(size), file.m_file);
    return static_cast<tmsize_t>(read);
}

tmsize_t TiffFile::Write(thandle_t self, void* buffer, tmsize_t size) {
    TiffFile& file = Of(self);
    if (file.m_refusing)
        return -1;
    errno = 0;
    const std::size_t written = std::fwrite(buffer, 1, static_cast<std::size_t>(size), file.m_file);
    if (written != static_cast<std::size_t>(size)) {
        file.m_error = errno != 0 ? std::strerror(errno) : "a write failed";
        file.m_refusing = true;
        return -1;
    }
    return size;
}

toff_t TiffFile::Seek(thandle_t self, toff_t offset, int whence) {
    TiffFile& file = Of(self);
    if (std::fseek(file.m_file, static_cast<long>(offset), whence) != 0)
        return static_cast<toff_t>(-1);
    return static_cast<toff_t>(std::ftell(file.m_file));
}

// The file is closed by Close, after libtiff is done with it.
int TiffFile::CloseFile(thandle_t) {
    return 0;
}

toff_t TiffFile::Size(thandle_t self) {
    TiffFile& file = Of(self);
    const long at = std::ftell(file.m_file);
    std::fseek(file.m_file, 0, SEEK_END);
    const long size = std::ftell(file.m_file);
    std::fseek(file.m_file, at, SEEK_SET);
    return static_cast<toff_t>(size);
}

int TiffFile::Map(thandle_t, void**, toff_t*) {
    return 0;
}

void TiffFile::Unmap(thandle_t, void*, toff_t) {}

int TiffFile::Report(TIFF*, void* self, const char* module, const char* format, va_list arguments) {
    TiffFile& file = *static_cast<TiffFile*>(self);
    char text[512];
    std::vsnprintf(text, sizeof text, format, arguments);
    // The system's reason for a failed write says more than libtiff's account of it.
    // libtiff names the file as its module, which the caller's message names already.
    if (!file.m_refusing)
        file.m_error = module == nullptr || file.m_path == module ? std::string(text)
                                                                  : std::string(module) + ": " + text;
    return 1;
}

int TiffFile::Ignore(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

} // namespace recording
