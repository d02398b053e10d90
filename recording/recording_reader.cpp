// Pages are found again by their directory's offset, so reading page n costs the same
// whatever n is.
#include "recording/recording_reader.h"

#include <filesystem>

namespace recording {

namespace {

template <class T> T Field(TIFF* tiff, uint32_t tag, T fallback) {
    T value = fallback;
    TIFFGetFieldDefaulted(tiff, tag, &value);
    return value;
}

} // namespace

RecordingReader::RecordingReader(const std::string& path)
    : m_path(path), m_file(std::make_unique<TiffFile>(path, "r")) {
    TIFF* tiff = m_file->Handle();
    std::error_code error;
    m_fileBytes = std::filesystem::file_size(path, error);
    ReadPage(0);
    try {
        while (TIFFReadDirectory(tiff) == 1)
            ReadPage(m_meta.size());
        if (!m_file->LastError().empty())
            m_damage = path + ": page " + std::to_string(m_meta.size() + 1) + ": " + m_file->LastError();
    } catch (const RecordingError& damage) {
        m_damage = damage.what();
    }
}

void RecordingReader::ReadPage(std::size_t page) {
    TIFF* tiff = m_file->Handle();
    const std::string where = m_path + ": page " + std::to_string(page + 1) + ": ";
    char* text = nullptr;
    if (TIFFGetField(tiff, TIFFTAG_IMAGEDESCRIPTION, &text) != 1 || text == nullptr)
        throw RecordingError(where + "no image description, so not a recording");
    PageDescription description;
    try {
        description = ReadPageDescription(text);
    } catch (const RecordingError& error) {
        throw RecordingError(where + error.what());
    }
    PageFormat format;
    format.width = Field<uint32_t>(tiff, TIFFTAG_IMAGEWIDTH, 0);
    format.height = Field<uint32_t>(tiff, TIFFTAG_IMAGELENGTH, 0);
    format.pixelFormat = description.pixelFormat;
    format.significantBits = description.significantBits;
    const auto samples = Field<uint16_t>(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
    format.planes = samples == 3;
    const auto bits = Field<uint16_t>(tiff, TIFFTAG_BITSPERSAMPLE, 1);
    const bool planar =
        Field<uint16_t>(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) == PLANARCONFIG_SEPARATE;
    if (Field<uint16_t>(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE) != COMPRESSION_NONE)
        throw RecordingError(where + "compressed; a recording is not");
    if (bits != 8 * format.BytesPerSample() || (samples != 1 && !(samples == 3 && planar && bits == 8)) ||
        format.significantBits > 16)
        throw RecordingError(where + "samples of " + std::to_string(bits) + " bits, " +
                             std::to_string(samples) + " per pixel, do not hold " +
                             std::to_string(format.significantBits) + "-bit " + format.pixelFormat);
    uint64_t* offsets = nullptr;
    uint64_t* counts = nullptr;
    if (TIFFGetField(tiff, TIFFTAG_STRIPOFFSETS, &offsets) != 1 ||
        TIFFGetField(tiff, TIFFTAG_STRIPBYTECOUNTS, &counts) != 1 || offsets == nullptr || counts == nullptr)
        throw RecordingError(where + "no strips");
    for (uint32_t strip = 0; strip < TIFFNumberOfStrips(tiff); ++strip)
        if (offsets[strip] + counts[strip] > m_fileBytes)
            throw RecordingError(where + "the file ends inside its samples");
    if (page == 0) {
        if (!description.info)
            throw RecordingError(where + "the first page says nothing of the recording");
        m_format = format;
        m_info = *description.info;
    } else if (!(format == m_format)) {
        throw RecordingError(where + "its format differs from the first page's");
    }
    m_meta.push_back(description.meta);
    m_directories.push_back(TIFFCurrentDirOffset(tiff));
}

const StreamCounts& RecordingReader::Counts() const {
    return m_info.complete ? m_info.counts : m_meta.back().counts;
}

void RecordingReader::Read(std::size_t page, uint8_t* image) const {
    TIFF* tiff = m_file->Handle();
    const std::string where = m_path + ": page " + std::to_string(page + 1) + ": ";
    if (TIFFSetSubDirectory(tiff, m_directories.at(page)) != 1)
        throw RecordingError(where + m_file->LastError());
    const uint32_t planes = m_format.planes ? 3 : 1;
    const uint32_t strips = TIFFNumberOfStrips(tiff);
    const uint32_t stripsPerPlane = strips / planes;
    const std::size_t planeBytes = m_format.PlaneBytes();
    for (uint32_t plane = 0; plane < planes; ++plane) {
        // The file's planes are red, green, blue; the module's blue, green, red.
        uint8_t* out = image + (m_format.planes ? 2 - plane : 0) * planeBytes;
        std::size_t filled = 0;
        for (uint32_t strip = plane * stripsPerPlane; strip < (plane + 1) * stripsPerPlane; ++strip) {
            const tmsize_t read =
                TIFFReadEncodedStrip(tiff, strip, out + filled, static_cast<tmsize_t>(planeBytes - filled));
            if (read < 0)
                throw RecordingError(where + m_file->LastError());
            filled += static_cast<std::size_t>(read);
        }
        if (filled != planeBytes)
            throw RecordingError(where + "holds " + std::to_string(filled) + " bytes of a plane of " +
                                 std::to_string(planeBytes));
    }
}

} // namespace recording
