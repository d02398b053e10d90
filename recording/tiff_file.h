// libtiff over a C file of our own: libtiff's errors kept per file instead of printed
// (the camera library reads recordings too), the system's reason for a failed write
// kept with them, and writes refused once one has failed, so that closing a damaged
// file adds nothing to it.
#pragma once

#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <string>

namespace recording {

class TiffFile {
public:
    // mode: "w8l" (a new little-endian BigTIFF, the file created or emptied) or "r".
    // Throws RecordingError with the reason.
    TiffFile(const std::string& path, const char* mode);
    ~TiffFile();
    TiffFile(const TiffFile&) = delete;
    TiffFile& operator=(const TiffFile&) = delete;

    TIFF* Handle() const { return m_tiff; }
    // The last error libtiff or the system reported; empty when none did.
    const std::string& LastError() const { return m_error; }
    void RefuseWrites() { m_refusing = true; }
    // Closes libtiff's handle (which writes what it still holds, unless refused) and
    // the file; false when the file could not be closed cleanly.
    bool Close();

private:
    static tmsize_t Read(thandle_t self, void* buffer, tmsize_t size);
    static tmsize_t Write(thandle_t self, void* buffer, tmsize_t size);
    static toff_t Seek(thandle_t self, toff_t offset, int whence);
    static int CloseFile(thandle_t self);
    static toff_t Size(thandle_t self);
    static int Map(thandle_t, void**, toff_t*);
    static void Unmap(thandle_t, void*, toff_t);
    static int Report(TIFF*, void* self, const char* module, const char* format, va_list arguments);
    static int Ignore(TIFF*, void*, const char*, const char*, va_list);

    std::string m_path;
    std::FILE* m_file = nullptr;
    TIFF* m_tiff = nullptr;
    std::string m_error;
    bool m_refusing = false;
};

} // namespace recording
