// Writing an image as a PNG file with no library: the pixels go into the file's zlib
// stream as stored (uncompressed) blocks, which every PNG reader accepts.
#ifndef AIKHOST_PNG_FILE_H
#define AIKHOST_PNG_FILE_H

#include <cstdint>
#include <string>
#include <vector>

namespace aikhost {

struct PngImage {
    uint32_t width = 0;
    uint32_t height = 0;
    int bitDepth = 8;                // 8, or 16 for grey with samples big-endian
    bool rgb = false;                // interleaved red, green, blue (8-bit only); grey otherwise
    int significantBits = 8;         // grey only: below bitDepth, an sBIT chunk records it
    const uint8_t* pixels = nullptr; // height rows of packed samples, no padding
};

// The whole file's bytes.
std::vector<uint8_t> encodePng(const PngImage& image);
// False when the file cannot be written.
bool writePngFile(const std::string& path, const PngImage& image);

} // namespace aikhost

#endif
