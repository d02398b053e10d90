// What a recording holds besides the samples: each page's format, each image's
// metadata with the stream's counts up to it, and the recording's own facts in the
// first page. All of it travels as JSON in the pages' ImageDescription tags.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace recording {

// A file that cannot be written or read as a recording: the reason, with the path.
class RecordingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How a page's samples are laid out: one grey (or Bayer mosaic) plane, or three 8-bit
// colour planes. 10-, 12- and 16-bit samples are 16 bits each, little-endian, the value
// in the low bits, as the module delivers them.
struct PageFormat {
    uint32_t width = 0;
    uint32_t height = 0;
    std::string pixelFormat;      // the camera's, by its PFNC name ("Mono12", "BayerRG8")
    bool planes = false;          // red, green and blue planes
    uint32_t significantBits = 8; // 8; or 10, 12, 16 in 16-bit samples (never with planes)

    uint32_t BytesPerSample() const { return significantBits > 8 ? 2 : 1; }
    std::size_t PlaneBytes() const { return std::size_t{width} * height * BytesPerSample(); }
    // As the module delivers them: planes blue, green, red one after another.
    std::size_t ImageBytes() const { return PlaneBytes() * (planes ? 3 : 1); }
    bool operator==(const PageFormat& other) const;
};

// A channel's images: produced = delivered + lost + dropped. Delivered are the images
// in the file, lost those the camera produced and never delivered (gaps between frame
// numbers), dropped those the host received and could not keep. Without frame numbers
// produced and lost are unknown.
struct StreamCounts {
    std::optional<uint64_t> produced;
    uint64_t delivered = 0;
    std::optional<uint64_t> lost;
    uint64_t dropped = 0;
};

struct ImageMeta {
    std::optional<uint64_t> frame;           // the camera's frame number
    int64_t hostTimeNs = 0;                  // when the host received it, ns since 1970 (UTC)
    std::optional<uint64_t> cameraTimestamp; // the camera's clock, in its own ticks
    std::optional<double> exposureUs;
    uint64_t lostBefore = 0;    // by the camera since the image before it in the file
    uint64_t droppedBefore = 0; // by the host since the image before it in the file
    StreamCounts counts;        // up to and including this image
};

// The recording as a whole, in its first page.
struct RecordingInfo {
    int64_t channel = 0;
    std::string camera;
    bool complete = false; // the writer closed the file (its counts are final)
    std::string end;       // why the recording ended, as its writer said
    StreamCounts counts;   // of the whole recording when complete
};

// The JSON of one page; info only for the first.
std::string DescribePage(const PageFormat& format, const ImageMeta& meta, const RecordingInfo* info);

// A page's JSON read back; the format's width and height are left alone. Throws
// RecordingError naming what is missing or wrong.
struct PageDescription {
    ImageMeta meta;
    std::string pixelFormat;
    uint32_t significantBits = 8;
    std::optional<RecordingInfo> info;
};
PageDescription ReadPageDescription(const std::string& text);

} // namespace recording
