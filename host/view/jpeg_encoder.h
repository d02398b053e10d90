// JPEG for the live view through libturbojpeg: grey images as grey JPEG, 10- and 12-bit
// grey cut to their top 8 bits, the three colour planes as colour.
#ifndef AIKHOST_JPEG_ENCODER_H
#define AIKHOST_JPEG_ENCODER_H

#include "channel/video_channel.h"

#include <cstdint>
#include <vector>

namespace aikhost {

class JpegEncoder {
public:
    JpegEncoder();
    ~JpegEncoder();
    JpegEncoder(const JpegEncoder&) = delete;
    JpegEncoder& operator=(const JpegEncoder&) = delete;

    // The JPEG file of image (laid out as GetImage delivers for geometry); empty when
    // the format is not one the host receives or libturbojpeg fails.
    std::vector<uint8_t> encode(const ImageAttributes& geometry, const std::vector<uint8_t>& image);

private:
    void* m_handle;
    std::vector<uint8_t> m_samples; // 8-bit samples of images that do not arrive as such
};

} // namespace aikhost

#endif
