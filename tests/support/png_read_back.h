// A PNG file read back by libpng without transformations, for tests of what the host
// writes: header fields, sBIT and the samples as stored (16-bit ones big-endian).
// Header-only: only the tests that link libpng include it.
#ifndef AIKTEST_PNG_READ_BACK_H
#define AIKTEST_PNG_READ_BACK_H

#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace aiktest {

struct ReadBack {
    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colourType = -1;
    int significantBits = 0; // grey's; 0: no sBIT chunk
    std::vector<uint8_t> pixels;
};

// libpng checks the chunk CRCs and zlib the stream's Adler-32, so a file that reads
// back is a valid one; a failure is the test's.
inline ReadBack readPng(const std::vector<uint8_t>& file) {
    png_structp png = png_create_read_struct(
        PNG_LIBPNG_VER_STRING, nullptr,
        [](png_structp, png_const_charp message) { throw std::runtime_error(message); }, nullptr);
    png_infop info = png_create_info_struct(png);
    std::istringstream stream(std::string(file.begin(), file.end()));
    ReadBack image;
    try {
        png_set_read_fn(png, &stream, [](png_structp p, png_bytep out, png_size_t length) {
            if (!static_cast<std::istream*>(png_get_io_ptr(p))->read(reinterpret_cast<char*>(out), length))
                png_error(p, "the file ends early");
        });
        png_read_info(png, info);
        png_get_IHDR(png, info, &image.width, &image.height, &image.bitDepth, &image.colourType, nullptr,
                     nullptr, nullptr);
        png_color_8p bits = nullptr;
        if (png_get_sBIT(png, info, &bits) != 0)
            image.significantBits = bits->gray;
        const std::size_t rowBytes = png_get_rowbytes(png, info);
        image.pixels.resize(rowBytes * image.height);
        for (png_uint_32 y = 0; y < image.height; ++y)
            png_read_row(png, image.pixels.data() + y * rowBytes, nullptr);
        png_read_end(png, nullptr);
    } catch (const std::runtime_error& error) {
        ADD_FAILURE() << "libpng: " << error.what();
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return image;
}

} // namespace aiktest

#endif
