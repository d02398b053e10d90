// Writes one channel's recording: a BigTIFF file, one uncompressed page per image with
// its metadata as JSON in the page's ImageDescription. The file is built beside its
// name and renamed over it when closed, so a file already there is replaced whole or
// not at all; after a failed write the pages written before it stay readable.
#pragma once

#include "recording/image_meta.h"
#include "recording/tiff_file.h"

#include <cstdint>
#include <memory>
#include <string>

namespace recording {

class RecordingWriter {
public:
    // Creates path's temporary sibling (path + ".partial"). Throws RecordingError.
    RecordingWriter(const std::string& path, const RecordingInfo& info);
    // Closes as Close would, the recording marked as not complete.
    ~RecordingWriter();
    RecordingWriter(const RecordingWriter&) = delete;
    RecordingWriter& operator=(const RecordingWriter&) = delete;

    // Appends one page. image: format.ImageBytes() bytes as the module delivers them
    // (planes blue, green, red), written from there without a copy. Throws
    // RecordingError with the system's reason; the writer takes no page after that.
    void Write(const PageFormat& format, const ImageMeta& meta, const uint8_t* image);
    uint64_t Pages() const { return m_pages; }
    bool Failed() const { return m_failed; }

    // Ends the recording: the counts and why it ended into the first page, the chain
    // ended after the last whole page, the file renamed over the path. Without a page
    // the temporary is removed and the path left as it was. Throws RecordingError
    // when the file cannot be completed; closing twice does nothing.
    void Close(const StreamCounts& counts, const std::string& end);

private:
    void Finish(const StreamCounts& counts, const std::string& end);

    std::string m_path, m_partial;
    RecordingInfo m_info;
    std::unique_ptr<TiffFile> m_file;
    uint64_t m_pages = 0;
    bool m_failed = false;
    PageFormat m_firstFormat;
    ImageMeta m_firstMeta, m_lastMeta;
};

} // namespace recording
