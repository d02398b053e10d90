// BigTIFF: a 16-byte header (byte order "II", 43, 8, 0, the first page's offset) and per
// page a directory of an 8-byte count, 20-byte entries (tag, type, count, value or
// offset) and the next directory's offset.
#include "recording/tiff_chain.h"

#include "recording/image_meta.h"

#include <vector>

namespace recording {

namespace {

constexpr uint64_t kFirstDirectoryAt = 8;
constexpr uint64_t kEntryBytes = 20;
constexpr uint16_t kImageDescription = 270;
constexpr uint64_t kInlineBytes = 8;

void Seek(std::FILE* file, uint64_t offset) {
    if (std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0)
        throw RecordingError("cannot seek to byte " + std::to_string(offset));
}

uint64_t ReadAt(std::FILE* file, uint64_t offset, int bytes) {
    Seek(file, offset);
    uint8_t raw[8] = {};
    if (std::fread(raw, 1, static_cast<std::size_t>(bytes), file) != static_cast<std::size_t>(bytes))
        throw RecordingError("the file ends inside a directory at byte " + std::to_string(offset));
    uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | raw[i];
    return value;
}

void WriteAt(std::FILE* file, uint64_t offset, const void* bytes, std::size_t size) {
    Seek(file, offset);
    if (std::fwrite(bytes, 1, size, file) != size)
        throw RecordingError("cannot write at byte " + std::to_string(offset));
}

void CheckHeader(std::FILE* file) {
    if (ReadAt(file, 0, 2) != 0x4949 || ReadAt(file, 2, 2) != 43)
        throw RecordingError("not a little-endian BigTIFF file");
}

uint64_t NextPointerAt(std::FILE* file, uint64_t directory) {
    return directory + 8 + kEntryBytes * ReadAt(file, directory, 8);
}

} // namespace

void EndChainAfter(std::FILE* file, uint64_t pages) {
    CheckHeader(file);
    uint64_t directory = ReadAt(file, kFirstDirectoryAt, 8);
    for (uint64_t page = 1; page < pages; ++page)
        directory = ReadAt(file, NextPointerAt(file, directory), 8);
    const uint8_t none[8] = {};
    WriteAt(file, NextPointerAt(file, directory), none, sizeof none);
}

void RewriteFirstDescription(std::FILE* file, const std::string& text) {
    CheckHeader(file);
    const uint64_t directory = ReadAt(file, kFirstDirectoryAt, 8);
    const uint64_t entries = ReadAt(file, directory, 8);
    for (uint64_t i = 0; i < entries; ++i) {
        const uint64_t entry = directory + 8 + kEntryBytes * i;
        if (ReadAt(file, entry, 2) != kImageDescription)
            continue;
        const uint64_t room = ReadAt(file, entry + 4, 8); // with its terminating zero
        if (text.size() + 1 > room)
            throw RecordingError("the first page's description has no room for " + text);
        const uint64_t at = room <= kInlineBytes ? entry + 12 : ReadAt(file, entry + 12, 8);
        std::vector<char> padded(room, ' ');
        padded.back() = '\0';
        text.copy(padded.data(), text.size());
        WriteAt(file, at, padded.data(), padded.size());
        return;
    }
    throw RecordingError("the first page has no description");
}

} // namespace recording
