// Writing an image as a PNG file.
#ifndef AIKHOST_PNG_FILE_H
#define AIKHOST_PNG_FILE_H

#include <cstdint>
#include <functional>
#include <string>

namespace aikhost {

struct PngImage {
    uint32_t width = 0;
    uint32_t height = 0;
    int bitDepth = 8;                // 8, or 16 for grey with samples big-endian
    bool rgb = false;                // interleaved red, green, blue (8-bit only); grey otherwise
    int significantBits = 8;         // grey only: below bitDepth, an sBIT chunk records it
    const uint8_t* pixels = nullptr; // height rows of packed samples, no padding
};

// Called with the fraction of rows written so far.
using PngProgress = std::function<void(double)>;

// Writes the file; empty on success, else why it could not be written (the system's
// text). A file left half written is removed.
std::string writePngFile(const std::string& path, const PngImage& image, const PngProgress& progress = {});

} // namespace aikhost

#endif
