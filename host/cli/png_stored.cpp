// PNG chunks around a zlib stream of stored blocks, with their CRC-32 and Adler-32.
#include "host/cli/png_stored.h"

#include "host/session/file_replacement.h"

#include <algorithm>
#include <array>

namespace aikhost {

namespace {

// Most a stored deflate block holds.
constexpr std::size_t kStoredBlockBytes = 65535;

const std::array<uint32_t, 256>& crcTable() {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> entries{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1u) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            entries[n] = c;
        }
        return entries;
    }();
    return table;
}

uint32_t crc32(const uint8_t* data, std::size_t size) {
    const auto& table = crcTable();
    uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        c = table[(c ^ data[i]) & 0xFFu] ^ (c >> 8);
    }
    return c ^ 0xFFFFFFFFu;
}

uint32_t adler32(const std::vector<uint8_t>& data) {
    // 5552 bytes is the longest run whose sums cannot overflow 32 bits before the modulo.
    constexpr uint32_t kModulus = 65521;
    uint32_t a = 1;
    uint32_t b = 0;
    for (std::size_t start = 0; start < data.size(); start += 5552) {
        const std::size_t end = std::min(data.size(), start + 5552);
        for (std::size_t i = start; i < end; ++i) {
            a += data[i];
            b += a;
        }
        a %= kModulus;
        b %= kModulus;
    }
    return (b << 16) | a;
}

void putBigEndian32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

void putChunk(std::vector<uint8_t>& out, const char (&type)[5], const std::vector<uint8_t>& data) {
    putBigEndian32(out, static_cast<uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putBigEndian32(out, crc32(out.data() + typeAt, out.size() - typeAt));
}

// Every row behind a filter byte of 0 (none).
std::vector<uint8_t> scanlines(const ImageSamples& image) {
    const std::size_t rowBytes =
        static_cast<std::size_t>(image.width) * (image.rgb ? 3u : 1u) * (image.bitDepth == 16 ? 2u : 1u);
    std::vector<uint8_t> lines;
    lines.reserve((rowBytes + 1) * image.height);
    for (uint32_t y = 0; y < image.height; ++y) {
        const uint8_t* row = image.pixels + y * rowBytes;
        lines.push_back(0);
        lines.insert(lines.end(), row, row + rowBytes);
    }
    return lines;
}

std::vector<uint8_t> zlibStored(const std::vector<uint8_t>& data) {
    std::vector<uint8_t> stream{0x78, 0x01}; // deflate, 32 KiB window, no dictionary
    stream.reserve(data.size() + data.size() / kStoredBlockBytes * 5 + 16);
    std::size_t offset = 0;
    do {
        const std::size_t length = std::min(kStoredBlockBytes, data.size() - offset);
        const bool last = offset + length == data.size();
        stream.push_back(last ? 1 : 0);
        stream.push_back(static_cast<uint8_t>(length));
        stream.push_back(static_cast<uint8_t>(length >> 8));
        stream.push_back(static_cast<uint8_t>(~length));
        stream.push_back(static_cast<uint8_t>(~length >> 8));
        stream.insert(stream.end(), data.begin() + static_cast<std::ptrdiff_t>(offset),
                      data.begin() + static_cast<std::ptrdiff_t>(offset + length));
        offset += length;
    } while (offset < data.size());
    putBigEndian32(stream, adler32(data));
    return stream;
}

} // namespace

std::vector<uint8_t> encodePng(const ImageSamples& image) {
    std::vector<uint8_t> file{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    putBigEndian32(header, image.width);
    putBigEndian32(header, image.height);
    header.push_back(static_cast<uint8_t>(image.bitDepth));
    header.push_back(image.rgb ? 2 : 0);    // colour type: RGB or grey
    header.insert(header.end(), {0, 0, 0}); // deflate, adaptive filtering, no interlace
    putChunk(file, "IHDR", header);
    if (!image.rgb && image.significantBits != image.bitDepth) {
        putChunk(file, "sBIT", {static_cast<uint8_t>(image.significantBits)});
    }
    putChunk(file, "IDAT", zlibStored(scanlines(image)));
    putChunk(file, "IEND", {});
    return file;
}

std::string writePngFile(const std::string& path, const ImageSamples& image, const WriteProgress& progress) {
    const std::vector<uint8_t> bytes = encodePng(image);
    const std::string failed = replaceFile(path, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
    if (failed.empty() && progress)
        progress(1.0);
    return failed;
}

} // namespace aikhost
