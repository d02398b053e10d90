// PNG files through libpng: fast zlib settings, since a grab writes while the camera
// streams, and rows written one by one so that a large image shows its progress; the
// file replaced whole or not at all.
#include "host/cli/png_file.h"

#include "host/session/file_replacement.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>

namespace aikhost {

namespace {

// Rows between two progress reports.
constexpr uint32_t kProgressRows = 256;

struct WriteState {
    FILE* file = nullptr;
    int error = 0; // errno of the first failed write
};

void writeData(png_structp png, png_bytep data, png_size_t length) {
    auto* state = static_cast<WriteState*>(png_get_io_ptr(png));
    if (std::fwrite(data, 1, length, state->file) != length) {
        state->error = errno;
        png_error(png, "write failed");
    }
}

void flushData(png_structp png) {
    auto* state = static_cast<WriteState*>(png_get_io_ptr(png));
    if (std::fflush(state->file) != 0) {
        state->error = errno;
        png_error(png, "write failed");
    }
}

// libpng's own messages stay quiet: the caller names the cause.
void quietError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void quietWarning(png_structp, png_const_charp) {}

// Everything that can fail after the file is open, apart from its closing; false
// when libpng gave up.
bool writeRows(png_structp png, png_infop info, const ImageSamples& image, const WriteProgress& progress) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, image.width, image.height, image.bitDepth,
                 image.rgb ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!image.rgb && image.significantBits != image.bitDepth) {
        png_color_8 bits{};
        bits.gray = static_cast<png_byte>(image.significantBits);
        png_set_sBIT(png, info, &bits);
    }
    png_set_compression_level(png, 1);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_write_info(png, info);
    const std::size_t rowBytes =
        std::size_t{image.width} * (image.rgb ? 3u : 1u) * (image.bitDepth == 16 ? 2u : 1u);
    for (uint32_t y = 0; y < image.height; ++y) {
        png_write_row(png, image.pixels + y * rowBytes);
        if (progress && (y + 1) % kProgressRows == 0)
            progress(static_cast<double>(y + 1) / image.height);
    }
    png_write_end(png, nullptr);
    return true;
}

} // namespace

std::string writePngFile(const std::string& path, const ImageSamples& image, const WriteProgress& progress) {
    FileReplacement replacement(path);
    WriteState state;
    state.file = replacement.stream();
    if (state.file == nullptr)
        return replacement.commit();
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    bool written = false;
    if (info != nullptr) {
        png_set_write_fn(png, &state, writeData, flushData);
        written = writeRows(png, info, image, progress);
    }
    png_destroy_write_struct(&png, &info);
    if (state.error != 0)
        replacement.writeFailed(state.error);
    else if (!written)
        return "libpng could not encode the image";
    const std::string failed = replacement.commit();
    if (failed.empty() && progress)
        progress(1.0);
    return failed;
}

} // namespace aikhost
