// Reads a recording back: its pages' format and metadata at once, each page's samples
// on demand in the layout the module delivers.
#pragma once

#include "recording/image_meta.h"
#include "recording/tiff_file.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace recording {

class RecordingReader {
public:
    // Reads every page's directory and description. Throws RecordingError naming the
    // page and what is wrong: not a TIFF, compressed, a page of another format, a
    // description that is not a recording's. A file cut short (a recorder that died)
    // keeps the pages before the first it cannot read, and Damage says why it stopped.
    explicit RecordingReader(const std::string& path);

    const PageFormat& Format() const { return m_format; }
    // From the first page: complete, with the final counts, when its writer closed it.
    const RecordingInfo& Info() const { return m_info; }
    // The final counts, or those up to the last page of a recording never closed.
    const StreamCounts& Counts() const;
    std::size_t Pages() const { return m_meta.size(); }
    // Empty, or why the pages after the last one read could not be read.
    const std::string& Damage() const { return m_damage; }
    const ImageMeta& Meta(std::size_t page) const { return m_meta.at(page); }
    // The page's samples into image (Format().ImageBytes() bytes; planes blue, green,
    // red). Throws RecordingError. One thread at a time.
    void Read(std::size_t page, uint8_t* image) const;

private:
    void ReadPage(std::size_t page);

    std::string m_path;
    std::unique_ptr<TiffFile> m_file;
    PageFormat m_format;
    RecordingInfo m_info;
    std::vector<ImageMeta> m_meta;
    std::vector<toff_t> m_directories;
    std::string m_damage;
    uint64_t m_fileBytes = 0;
};

} // namespace recording
