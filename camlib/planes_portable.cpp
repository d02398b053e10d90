// The portable kernels, which define the results: bilinear demosaicing of the four
// Bayer orders and the split of packed triplets. Borders mirror the image about its
// first and last row and column (row -1 reads row 1), which keeps the colour pattern intact.
#include "camlib/planes_kernels.h"

#include <algorithm>

namespace camlib {

namespace {

inline uint8_t Mean2(unsigned a, unsigned b) {
    return static_cast<uint8_t>((a + b + 1) >> 1);
}
inline uint8_t Mean4(unsigned a, unsigned b, unsigned c, unsigned d) {
    return static_cast<uint8_t>((a + b + c + d + 2) >> 2);
}

// Column x of a row, its neighbours left and right already mirrored; kOwnSite: the
// column holds the row's own colour. The rows and the planes never overlap: saying so
// lets the compiler vectorise the loops around it.
template <bool kOwnSite>
inline void DemosaicPixel(const uint8_t* __restrict up, const uint8_t* __restrict mid,
                          const uint8_t* __restrict down, std::size_t left, std::size_t x, std::size_t right,
                          uint8_t* __restrict own, uint8_t* __restrict green, uint8_t* __restrict other) {
    if constexpr (kOwnSite) {
        // Green from the four direct neighbours, the other colour from the four diagonal ones.
        own[x] = mid[x];
        green[x] = Mean4(mid[left], mid[right], up[x], down[x]);
        other[x] = Mean4(up[left], up[right], down[left], down[right]);
    } else {
        // Green: the row's colour from left and right, the other one from above and below.
        own[x] = Mean2(mid[left], mid[right]);
        green[x] = mid[x];
        other[x] = Mean2(up[x], down[x]);
    }
}

inline void DemosaicPixelAt(bool ownSite, const BayerRows& rows, uint32_t left, uint32_t x, uint32_t right,
                            const RowPlanes& out) {
    const auto pixel = ownSite ? &DemosaicPixel<true> : &DemosaicPixel<false>;
    pixel(rows.up, rows.mid, rows.down, left, x, right, out.own, out.green, out.other);
}

// Pairs of inner columns from x while both are before end; returns the column after them.
template <bool kOwnFirst>
uint32_t DemosaicPairs(const uint8_t* __restrict up, const uint8_t* __restrict mid,
                       const uint8_t* __restrict down, uint8_t* __restrict own, uint8_t* __restrict green,
                       uint8_t* __restrict other, uint32_t x, uint32_t end) {
    // Indices counted from the column left of x cannot wrap, which the vectoriser needs to know.
    const std::size_t from = x - 1;
    const std::size_t pairs = (end - x) / 2;
    for (std::size_t at = 1; at < 2 * pairs; at += 2) {
        DemosaicPixel<kOwnFirst>(up + from, mid + from, down + from, at - 1, at, at + 1, own + from,
                                 green + from, other + from);
        DemosaicPixel<!kOwnFirst>(up + from, mid + from, down + from, at, at + 1, at + 2, own + from,
                                  green + from, other + from);
    }
    return x + 2 * static_cast<uint32_t>(pairs);
}

// Saying the planes and the source never overlap lets compilers for processors with
// interleaved loads vectorise this too.
void SplitTriplets(const uint8_t* __restrict source, std::size_t pixels, uint8_t* __restrict first,
                   uint8_t* __restrict second, uint8_t* __restrict third) {
    for (std::size_t i = 0; i < pixels; ++i) {
        first[i] = source[3 * i];
        second[i] = source[3 * i + 1];
        third[i] = source[3 * i + 2];
    }
}

void BayerToPlanes(const BayerImage& image, const PlanePointers& out) {
    for (uint32_t y = 0; y < image.height; y += kBandRows) {
        const Band band = BandAt(image, out, y);
        for (uint32_t row = 0; row < band.rows; ++row) {
            DemosaicSpan({band.source[row], band.source[row + 1], band.source[row + 2]}, image.width, 0,
                         image.width, band.ownColumn[row], band.out[row]);
        }
    }
}

} // namespace

void DemosaicSpan(const BayerRows& rows, uint32_t width, uint32_t begin, uint32_t end, uint32_t ownColumn,
                  const RowPlanes& out) {
    const auto isOwnSite = [ownColumn](uint32_t column) { return (column & 1) == ownColumn; };
    uint32_t x = begin;
    if (x == 0 && x < end) {
        DemosaicPixelAt(isOwnSite(0), rows, 1, 0, 1, out);
        x = 1;
    }
    const uint32_t inner = std::min(end, width - 1);
    if (x < inner) {
        const auto pairs = isOwnSite(x) ? &DemosaicPairs<true> : &DemosaicPairs<false>;
        x = pairs(rows.up, rows.mid, rows.down, out.own, out.green, out.other, x, inner);
        if (x < inner) {
            DemosaicPixelAt(isOwnSite(x), rows, x - 1, x, x + 1, out);
            ++x;
        }
    }
    if (x < end)
        DemosaicPixelAt(isOwnSite(x), rows, x - 1, x, width - 2, out);
}

Band BandAt(const BayerImage& image, const PlanePointers& out, uint32_t firstRow) {
    Band band{};
    band.rows = std::min(kBandRows, image.height - firstRow);
    const int64_t last = image.height - 1;
    for (uint32_t i = 0; i < band.rows + 2; ++i) {
        const int64_t y = int64_t{firstRow} + i - 1;
        band.source[i] = image.samples + std::size_t{image.width} *
                                             static_cast<std::size_t>(y < 0 ? 1 : (y > last ? last - 1 : y));
    }
    for (uint32_t i = 0; i < band.rows; ++i) {
        const uint32_t y = firstRow + i;
        const std::size_t start = std::size_t{image.width} * y;
        const bool redRow = (y & 1) == image.redY;
        band.out[i] = redRow ? RowPlanes{out.red + start, out.green + start, out.blue + start}
                             : RowPlanes{out.blue + start, out.green + start, out.red + start};
        band.ownColumn[i] = redRow ? image.redX : 1 - image.redX;
    }
    return band;
}

const PlaneKernels kPortableKernels = {&BayerToPlanes, &SplitTriplets};

} // namespace camlib
