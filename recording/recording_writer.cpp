// Strips are whole planes, written raw: no encoding step touches the samples.
#include "recording/recording_writer.h"

#include "recording/tiff_chain.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace recording {

namespace {

// Blanks after the first page's description: room for the final counts at close.
constexpr std::size_t kFirstPageRoom = 512;

bool SetPageFields(TIFF* tiff, const PageFormat& format, const std::string& description) {
    const auto bits = static_cast<uint16_t>(8 * format.BytesPerSample());
    bool ok =
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, format.width) == 1 &&
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, format.height) == 1 &&
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, bits) == 1 &&
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, static_cast<uint16_t>(format.planes ? 3 : 1)) == 1 &&
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, format.planes ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK) ==
            1 &&
        TIFFSetField(tiff, TIFFTAG_PLANARCONFIG,
                     format.planes ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG) == 1 &&
        TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_UINT) == 1 &&
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, format.height) == 1 &&
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE) == 1 &&
        TIFFSetField(tiff, TIFFTAG_SOFTWARE, "aikhost record") == 1 &&
        TIFFSetField(tiff, TIFFTAG_IMAGEDESCRIPTION, description.c_str()) == 1;
    // Viewers that honour it show 10- and 12-bit samples at full range.
    if (ok && format.significantBits > 8 && format.significantBits < 16)
        ok = TIFFSetField(tiff, TIFFTAG_MAXSAMPLEVALUE,
                          static_cast<uint16_t>((1u << format.significantBits) - 1)) == 1;
    return ok;
}

} // namespace

RecordingWriter::RecordingWriter(const std::string& path, const RecordingInfo& info)
    : m_path(path), m_partial(path + ".partial"), m_info(info),
      m_file(std::make_unique<TiffFile>(m_partial, "w8l")) {}

RecordingWriter::~RecordingWriter() {
    try {
        Close(m_lastMeta.counts, "abandoned");
    } catch (const RecordingError&) {
        // Nothing better to do in a destructor: the pages written stay in the file.
    }
}

void RecordingWriter::Write(const PageFormat& format, const ImageMeta& meta, const uint8_t* image) {
    if (m_failed || !m_file)
        throw RecordingError(m_path + ": the recording takes no more pages");
    if (m_pages > 0 && !(format == m_firstFormat))
        throw RecordingError(m_path + ": every page of a recording has the first page's format");
    const std::string description =
        m_pages == 0 ? DescribePage(format, meta, &m_info) + std::string(kFirstPageRoom, ' ')
                     : DescribePage(format, meta, nullptr);
    TIFF* tiff = m_file->Handle();
    bool ok = SetPageFields(tiff, format, description);
    const std::size_t plane = format.PlaneBytes();
    for (uint32_t sample = 0; ok && sample < (format.planes ? 3u : 1u); ++sample) {
        // The file's planes are red, green, blue; the module's blue, green, red.
        const uint8_t* samples = format.planes ? image + (2 - sample) * plane : image;
        ok =
            TIFFWriteRawStrip(tiff, sample, const_cast<uint8_t*>(samples), static_cast<tmsize_t>(plane)) >= 0;
    }
    ok = ok && TIFFWriteDirectory(tiff) == 1;
    if (!ok) {
        m_failed = true;
        m_file->RefuseWrites();
        throw RecordingError(
            m_path + ": " +
            (m_file->LastError().empty() ? std::string("cannot write") : m_file->LastError()));
    }
    if (m_pages == 0) {
        m_firstFormat = format;
        m_firstMeta = meta;
    }
    m_lastMeta = meta;
    ++m_pages;
}

void RecordingWriter::Close(const StreamCounts& counts, const std::string& end) {
    if (!m_file)
        return;
    const std::string reason = m_file->LastError();
    m_file->Close();
    m_file.reset();
    if (m_pages == 0) {
        std::remove(m_partial.c_str());
        if (m_failed)
            throw RecordingError(m_path + ": " + reason);
        return;
    }
    Finish(counts, end);
}

void RecordingWriter::Finish(const StreamCounts& counts, const std::string& end) {
    std::FILE* file = std::fopen(m_partial.c_str(), "r+b");
    if (file == nullptr)
        throw RecordingError(m_partial + ": " + std::strerror(errno));
    m_info.complete = true;
    m_info.counts = counts;
    m_info.end = end;
    try {
        // A failed page may have linked a directory it never finished.
        if (m_failed)
            EndChainAfter(file, m_pages);
        RewriteFirstDescription(file, DescribePage(m_firstFormat, m_firstMeta, &m_info));
    } catch (const RecordingError& error) {
        std::fclose(file);
        throw RecordingError(m_partial + ": " + error.what());
    }
    // On the disk before it takes the name, so that a crash leaves the old file or the
    // whole new one (recordings are built where there is POSIX, as libtiff is).
    const bool synced = std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0;
    const int syncError = errno;
    if (std::fclose(file) != 0 || !synced)
        throw RecordingError(m_partial + ": " + std::strerror(synced ? errno : syncError));
    std::error_code error;
    std::filesystem::rename(m_partial, m_path, error);
    if (error)
        throw RecordingError("cannot rename " + m_partial + " to " + m_path + ": " + error.message());
}

} // namespace recording
