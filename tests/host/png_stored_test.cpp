// The PNG writer read back by a reader of its own: chunk order and CRCs, the zlib
// stream's stored blocks and Adler-32, and the rows behind their filter bytes.
#include "host/cli/png_stored.h"
#include "tests/support/case_name.h"

#include <gtest/gtest.h>

#include <optional>

namespace aiktest {
namespace {

struct Chunk {
    std::string type;
    std::vector<uint8_t> data;
};

uint32_t BigEndian32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
           static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
}

// Bit by bit, as the format's reference CRC routine does without a table.
uint32_t ReferenceCrc(const std::string& type, const std::vector<uint8_t>& data) {
    uint32_t crc = 0xFFFFFFFFu;
    auto add = [&crc](uint8_t byte) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    };
    for (char c : type)
        add(static_cast<uint8_t>(c));
    for (uint8_t byte : data)
        add(byte);
    return ~crc;
}

uint32_t ReferenceAdler(const std::vector<uint8_t>& data) {
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

// The chunks after the signature; a CRC mismatch fails the test.
std::vector<Chunk> Chunks(const std::vector<uint8_t>& file) {
    const std::vector<uint8_t> signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_TRUE(std::equal(signature.begin(), signature.end(), file.begin()));
    std::vector<Chunk> chunks;
    for (std::size_t at = signature.size(); at + 12 <= file.size();) {
        const uint32_t length = BigEndian32(&file[at]);
        Chunk chunk{std::string(file.begin() + at + 4, file.begin() + at + 8),
                    std::vector<uint8_t>(file.begin() + at + 8, file.begin() + at + 8 + length)};
        EXPECT_EQ(BigEndian32(&file[at + 8 + length]), ReferenceCrc(chunk.type, chunk.data)) << chunk.type;
        chunks.push_back(std::move(chunk));
        at += 12 + length;
    }
    return chunks;
}

// The data of a zlib stream made of stored blocks only; nullopt when it is not one.
std::optional<std::vector<uint8_t>> InflateStored(const std::vector<uint8_t>& stream) {
    if (stream.size() < 6 || (stream[0] & 0x0F) != 8 || (stream[0] << 8 | stream[1]) % 31 != 0)
        return std::nullopt;
    std::vector<uint8_t> data;
    std::size_t at = 2;
    for (bool last = false; !last;) {
        if (at + 5 > stream.size() || (stream[at] & 0x06) != 0)
            return std::nullopt; // not a stored block
        last = (stream[at] & 1) != 0;
        const uint32_t length = stream[at + 1] | stream[at + 2] << 8;
        const uint32_t inverse = stream[at + 3] | stream[at + 4] << 8;
        if ((length ^ inverse) != 0xFFFF || at + 5 + length > stream.size())
            return std::nullopt;
        data.insert(data.end(), stream.begin() + at + 5, stream.begin() + at + 5 + length);
        at += 5 + length;
    }
    if (at + 4 != stream.size() || BigEndian32(&stream[at]) != ReferenceAdler(data))
        return std::nullopt;
    return data;
}

struct PngCase {
    const char* name;
    uint32_t width;
    uint32_t height;
    int bitDepth;
    bool rgb;
    int significantBits;
};

const PngCase kPngCases[] = {
    {"Grey8OneBlock", 7, 5, 8, false, 8},
    {"Grey16TwelveSignificantBits", 33, 9, 16, false, 12},
    // 3 * 200 + 1 bytes a row, 300 rows: three stored blocks, the last one short.
    {"RgbOverSeveralBlocks", 200, 300, 8, true, 8},
};

class PngFileTest : public ::testing::TestWithParam<PngCase> {};

// Catches a wrong header field, a missing or superfluous sBIT, a bad CRC, block
// lengths or last-block flag, an Adler-32 that overflows on long runs of bright
// samples, and rows without their filter byte or shifted against each other.
TEST_P(PngFileTest, ReadsBackAsWritten) {
    const PngCase& c = GetParam();
    const std::size_t rowBytes = c.width * (c.rgb ? 3u : 1u) * (c.bitDepth / 8u);
    std::vector<uint8_t> pixels(rowBytes * c.height);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<uint8_t>(i % 7 == 0 ? i / 7 : 0xFF);
    const std::vector<Chunk> chunks =
        Chunks(aikhost::encodePng({c.width, c.height, c.bitDepth, c.rgb, c.significantBits, pixels.data()}));
    std::string types;
    for (const Chunk& chunk : chunks)
        types += chunk.type;
    const bool withSignificantBits = c.significantBits != c.bitDepth;
    EXPECT_EQ(types, withSignificantBits ? "IHDRsBITIDATIEND" : "IHDRIDATIEND");
    ASSERT_EQ(chunks[0].data.size(), 13u);
    EXPECT_EQ(BigEndian32(&chunks[0].data[0]), c.width);
    EXPECT_EQ(BigEndian32(&chunks[0].data[4]), c.height);
    EXPECT_EQ(
        std::vector<uint8_t>(chunks[0].data.begin() + 8, chunks[0].data.end()),
        (std::vector<uint8_t>{static_cast<uint8_t>(c.bitDepth), c.rgb ? uint8_t{2} : uint8_t{0}, 0, 0, 0}));
    if (withSignificantBits) {
        EXPECT_EQ(chunks[1].data, std::vector<uint8_t>{static_cast<uint8_t>(c.significantBits)});
    }

    const std::optional<std::vector<uint8_t>> lines = InflateStored(chunks[chunks.size() - 2].data);
    ASSERT_TRUE(lines.has_value()) << "not a valid zlib stream of stored blocks";
    ASSERT_EQ(lines->size(), (rowBytes + 1) * c.height);
    for (uint32_t y = 0; y < c.height; ++y) {
        const auto row = lines->begin() + static_cast<std::ptrdiff_t>(y * (rowBytes + 1));
        ASSERT_EQ(row[0], 0) << "filter of row " << y;
        ASSERT_TRUE(std::equal(row + 1, row + 1 + static_cast<std::ptrdiff_t>(rowBytes),
                               pixels.begin() + static_cast<std::ptrdiff_t>(y * rowBytes)))
            << "row " << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Images, PngFileTest, ::testing::ValuesIn(kPngCases), CaseName());

} // namespace
} // namespace aiktest
