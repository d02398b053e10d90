// Quality 80 with the fast DCT: a live picture, not an archive, and the encoding is
// most of what a viewer costs.
#include "host/view/jpeg_encoder.h"

#include <turbojpeg.h>

namespace aikhost {

namespace {

constexpr int kQuality = 80;

struct Samples {
    const uint8_t* data = nullptr;
    int pixelFormat = TJPF_GRAY;
    int subsampling = TJSAMP_GRAY;
};

// Planes 0 blue, 1 green, 2 red become interleaved RGB; 16-bit little-endian grey
// keeps its top 8 significant bits.
Samples eightBitSamples(const ImageAttributes& geometry, const std::vector<uint8_t>& image,
                        std::vector<uint8_t>& scratch) {
    const std::size_t plane =
        static_cast<std::size_t>(geometry.width) * static_cast<std::size_t>(geometry.height);
    switch (geometry.pixelFormat) {
    case AIK_PIXEL_MONO8:
        return image.size() >= plane ? Samples{image.data()} : Samples{};
    case AIK_PIXEL_PLANES_RGB:
        if (image.size() < 3 * plane)
            return {};
        scratch.resize(3 * plane);
        for (std::size_t i = 0; i < plane; ++i) {
            scratch[3 * i] = image[2 * plane + i];
            scratch[3 * i + 1] = image[plane + i];
            scratch[3 * i + 2] = image[i];
        }
        return {scratch.data(), TJPF_RGB, TJSAMP_420};
    case AIK_PIXEL_MONO10:
    case AIK_PIXEL_MONO12: {
        if (image.size() < 2 * plane)
            return {};
        const unsigned shift = geometry.pixelFormat == AIK_PIXEL_MONO10 ? 2 : 4;
        scratch.resize(plane);
        for (std::size_t i = 0; i < plane; ++i)
            scratch[i] = static_cast<uint8_t>((image[2 * i] | image[2 * i + 1] << 8u) >> shift);
        return {scratch.data()};
    }
    default:
        return {};
    }
}

} // namespace

JpegEncoder::JpegEncoder() : m_handle(tjInitCompress()) {}

JpegEncoder::~JpegEncoder() {
    if (m_handle)
        tjDestroy(m_handle);
}

std::vector<uint8_t> JpegEncoder::encode(const ImageAttributes& geometry, const std::vector<uint8_t>& image) {
    const Samples samples = eightBitSamples(geometry, image, m_samples);
    if (!m_handle || !samples.data || geometry.width <= 0 || geometry.height <= 0)
        return {};
    unsigned char* jpeg = nullptr;
    unsigned long bytes = 0;
    const int failed =
        tjCompress2(m_handle, samples.data, geometry.width, 0, geometry.height, samples.pixelFormat, &jpeg,
                    &bytes, samples.subsampling, kQuality, TJFLAG_FASTDCT);
    std::vector<uint8_t> file;
    if (!failed)
        file.assign(jpeg, jpeg + bytes);
    tjFree(jpeg);
    return file;
}

} // namespace aikhost
