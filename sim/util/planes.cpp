// Bilinear demosaicing of the four Bayer orders, and the split of packed RGB/BGR.
// Borders mirror the image about its first and last row and column (row -1 reads
// row 1), which keeps the colour pattern intact.
#include "sim/util/planes.h"

#include "sim/core/pixel_format.h"

#include <cstddef>

namespace sim {

namespace {

struct Planes {
    uint8_t* red;
    uint8_t* green;
    uint8_t* blue;
};

struct Rows {
    const uint8_t* up;
    const uint8_t* mid;
    const uint8_t* down;
};

inline uint8_t Mean2(unsigned a, unsigned b) {
    return static_cast<uint8_t>((a + b + 1) >> 1);
}
inline uint8_t Mean4(unsigned a, unsigned b, unsigned c, unsigned d) {
    return static_cast<uint8_t>((a + b + c + d + 2) >> 2);
}

inline uint32_t Mirror(int64_t index, uint32_t size) {
    if (index < 0)
        return static_cast<uint32_t>(-index);
    if (index >= size)
        return static_cast<uint32_t>(2 * int64_t{size} - 2 - index);
    return static_cast<uint32_t>(index);
}

// Pixel x of a row; kRedRow: the row holds red samples; kRedColumn: the column does.
template <bool kRedRow, bool kRedColumn>
inline void Demosaic(const Rows& rows, uint32_t left, uint32_t x, uint32_t right, std::size_t at,
                     const Planes& out) {
    const uint8_t own = rows.mid[x];
    if constexpr (kRedRow == kRedColumn) {
        // Red or blue: green from the four direct neighbours, the other colour from
        // the four diagonal ones.
        const uint8_t cross = Mean4(rows.mid[left], rows.mid[right], rows.up[x], rows.down[x]);
        const uint8_t diagonal = Mean4(rows.up[left], rows.up[right], rows.down[left], rows.down[right]);
        out.green[at] = cross;
        out.red[at] = kRedRow ? own : diagonal;
        out.blue[at] = kRedRow ? diagonal : own;
    } else {
        // Green: the row's other colour from left and right, the column's from above and below.
        const uint8_t across = Mean2(rows.mid[left], rows.mid[right]);
        const uint8_t along = Mean2(rows.up[x], rows.down[x]);
        out.green[at] = own;
        out.red[at] = kRedRow ? across : along;
        out.blue[at] = kRedRow ? along : across;
    }
}

template <bool kRedRow>
inline void DemosaicAt(bool redColumn, const Rows& rows, uint32_t left, uint32_t x, uint32_t right,
                       std::size_t at, const Planes& out) {
    if (redColumn)
        Demosaic<kRedRow, true>(rows, left, x, right, at, out);
    else
        Demosaic<kRedRow, false>(rows, left, x, right, at, out);
}

// One row; kRedAtOdd: the columns that hold red in red rows are the odd ones.
template <bool kRedRow, bool kRedAtOdd>
void DemosaicRow(const Rows& rows, uint32_t width, std::size_t rowStart, const Planes& out) {
    DemosaicAt<kRedRow>(!kRedAtOdd, rows, Mirror(-1, width), 0, Mirror(1, width), rowStart, out);
    uint32_t x = 1;
    for (; x + 2 < width; x += 2) {
        Demosaic<kRedRow, kRedAtOdd>(rows, x - 1, x, x + 1, rowStart + x, out);
        Demosaic<kRedRow, !kRedAtOdd>(rows, x, x + 1, x + 2, rowStart + x + 1, out);
    }
    if (x + 1 < width)
        Demosaic<kRedRow, kRedAtOdd>(rows, x - 1, x, x + 1, rowStart + x, out);
    const uint32_t last = width - 1;
    DemosaicAt<kRedRow>(((last & 1) != 0) == kRedAtOdd, rows, last - 1, last,
                        Mirror(int64_t{last} + 1, width), rowStart + last, out);
}

void BayerToPlanes(const PixelFormatInfo& format, const uint8_t* source, uint32_t width, uint32_t height,
                   const Planes& out) {
    const bool redAtOdd = format.redX == 1;
    for (uint32_t y = 0; y < height; ++y) {
        const Rows rows{source + std::size_t{width} * Mirror(int64_t{y} - 1, height),
                        source + std::size_t{width} * y,
                        source + std::size_t{width} * Mirror(int64_t{y} + 1, height)};
        const std::size_t rowStart = std::size_t{width} * y;
        const bool redRow = (y & 1) == format.redY;
        if (redRow && redAtOdd)
            DemosaicRow<true, true>(rows, width, rowStart, out);
        else if (redRow)
            DemosaicRow<true, false>(rows, width, rowStart, out);
        else if (redAtOdd)
            DemosaicRow<false, true>(rows, width, rowStart, out);
        else
            DemosaicRow<false, false>(rows, width, rowStart, out);
    }
}

void PackedToPlanes(bool blueFirst, const uint8_t* source, std::size_t pixels, const Planes& out) {
    uint8_t* first = blueFirst ? out.blue : out.red;
    uint8_t* third = blueFirst ? out.red : out.blue;
    for (std::size_t i = 0; i < pixels; ++i) {
        first[i] = source[3 * i];
        out.green[i] = source[3 * i + 1];
        third[i] = source[3 * i + 2];
    }
}

} // namespace

PvxStatus ConvertImageToPlanes(uint32_t pixelFormat, uint8_t* red, uint8_t* green, uint8_t* blue,
                               const uint8_t* source, uint32_t width, uint32_t height) {
    const PixelFormatInfo& format = PixelFormatOf(pixelFormat);
    const Planes out{red, green, blue};
    switch (format.layout) {
    case SampleLayout::Bayer:
        if (width < 2 || height < 2)
            return PVX_ERR_INVALID_PARAMETER;
        BayerToPlanes(format, source, width, height, out);
        return PVX_OK;
    case SampleLayout::Rgb:
    case SampleLayout::Bgr:
        PackedToPlanes(format.layout == SampleLayout::Bgr, source, std::size_t{width} * height, out);
        return PVX_OK;
    default:
        return PVX_ERR_INVALID_PARAMETER;
    }
}

} // namespace sim
