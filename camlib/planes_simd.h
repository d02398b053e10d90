// The vector kernels, written once over a vector type: each instruction-set file
// instantiates them with its own. All of it is in an unnamed namespace, so no copy
// compiled for one instruction set can stand in for another's at link time.
#pragma once

#include "camlib/planes_kernels.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace camlib {
namespace {

// The untyped address of bytes, for the intrinsics' pointer types.
inline const void* Bytes(const uint8_t* at) {
    return at;
}
inline void* Bytes(uint8_t* at) {
    return at;
}

// What a vector type V provides (lanes are bytes). For the Bayer kernel: Vector,
// Mask, kLanes; Load, Store; Average (rounding up, as Mean2 does), Subtract;
// PairParity(a, b), whose bit 0 is that of a + b; RoundingExcess(u, v, uParity,
// vParity) for parities from PairParity, 1 where bit 0 of u ^ v and of
// uParity | vParity are both set, else 0; Select(mask, ifSet, ifClear); EvenLanes,
// OddLanes, FirstLane, LastLane (masks); ShiftedUp and ShiftedDown (every lane moved
// to the next or the previous one, the freed lane unspecified). For the packed split
// also: Or; Table (16 bytes repeated in every 16-lane block); Shuffle (within each
// 16-lane block); LoadTriplets (three vectors of which each 16-lane block holds 48
// consecutive bytes in order); StoreStreaming (aligned, bypassing the cache) and
// FinishStreaming (orders those stores before any later ones).

// One source row at columns x to x + kLanes - 1: the samples, the rounded means of
// their left and right neighbours and those pairs' parities.
template <class V> struct SourceRow { typename V::Vector sample, across, acrossParity; };

// Which border a block of columns touches: the first column's left neighbour is its
// right one and the last column's right neighbour its left one, so those come from
// the samples themselves instead of a load outside the row.
enum class Edge { None, First, Last };

template <class V, Edge kEdge> inline SourceRow<V> LoadSourceRow(const uint8_t* row, uint32_t x) {
    const auto sample = V::Load(row + x);
    typename V::Vector left, right;
    if constexpr (kEdge == Edge::First) {
        right = V::Load(row + x + 1);
        left = V::Select(V::FirstLane(), right, V::ShiftedUp(sample));
    } else if constexpr (kEdge == Edge::Last) {
        left = V::Load(row + x - 1);
        right = V::Select(V::LastLane(), left, V::ShiftedDown(sample));
    } else {
        left = V::Load(row + x - 1);
        right = V::Load(row + x + 1);
    }
    return {sample, V::Average(left, right), V::PairParity(left, right)};
}

// The rounded mean of a, b, c and d from u = Average(a, b), v = Average(c, d) and the
// pairs' parities: Average(u, v) is one too high exactly when a pair's sum was odd and
// u + v is odd, so all stays in bytes.
template <class V>
inline typename V::Vector Mean4(typename V::Vector u, typename V::Vector v, typename V::Vector uParity,
                                typename V::Vector vParity) {
    return V::Subtract(V::Average(u, v), V::RoundingExcess(u, v, uParity, vParity));
}

// One output row at columns x to x + kLanes - 1, none of them the first or the last.
// Every lane gets every mean; ownSites picks per lane the ones it keeps.
template <class V>
inline void DemosaicBlock(const SourceRow<V>& up, const SourceRow<V>& mid, const SourceRow<V>& down,
                          typename V::Mask ownSites, const RowPlanes& out, uint32_t x) {
    const auto along = V::Average(up.sample, down.sample);
    const auto cross = Mean4<V>(mid.across, along, mid.acrossParity, V::PairParity(up.sample, down.sample));
    const auto diagonal = Mean4<V>(up.across, down.across, up.acrossParity, down.acrossParity);
    V::Store(out.own + x, V::Select(ownSites, mid.sample, mid.across));
    V::Store(out.green + x, V::Select(ownSites, cross, mid.sample));
    V::Store(out.other + x, V::Select(ownSites, diagonal, along));
}

// Every row of the band at columns x to x + kLanes - 1, going down so that each
// source row is loaded and averaged once. kRows: the band's rows when known at
// compile time (a full band), else 0. sites: each row's own-colour lanes.
template <class V, uint32_t kRows, Edge kEdge>
inline void DemosaicBandBlock(const Band& band, uint32_t x, const typename V::Mask* sites) {
    const uint32_t rows = kRows != 0 ? kRows : band.rows;
    SourceRow<V> up = LoadSourceRow<V, kEdge>(band.source[0], x);
    SourceRow<V> mid = LoadSourceRow<V, kEdge>(band.source[1], x);
    for (uint32_t row = 0; row < rows; ++row) {
        const SourceRow<V> down = LoadSourceRow<V, kEdge>(band.source[row + 2], x);
        DemosaicBlock<V>(up, mid, down, sites[row], band.out[row], x);
        up = mid;
        mid = down;
    }
}

// All columns of a band at least kLanes + 1 wide. sites[p]: the own-colour lanes of
// blocks that start at a column of parity p.
template <class V, uint32_t kRows>
void DemosaicBandColumns(const Band& band, uint32_t width, const typename V::Mask (&sites)[2][kBandRows]) {
    constexpr uint32_t kLanes = V::kLanes;
    const uint32_t lastBlock = width - kLanes;
    DemosaicBandBlock<V, kRows, Edge::First>(band, 0, sites[0]);
    // The blocks between start where the first row's green bytes are aligned, so that
    // stores do not straddle cache lines; they and the edge blocks overlap a little,
    // writing the same bytes twice.
    const auto misalignment = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(band.out[0].green) % kLanes);
    for (uint32_t x = misalignment == 0 ? kLanes : kLanes - misalignment; x < lastBlock; x += kLanes)
        DemosaicBandBlock<V, kRows, Edge::None>(band, x, sites[x & 1]);
    DemosaicBandBlock<V, kRows, Edge::Last>(band, lastBlock, sites[lastBlock & 1]);
}

template <class V> void DemosaicBand(const Band& band, uint32_t width) {
    if (width <= V::kLanes) {
        for (uint32_t row = 0; row < band.rows; ++row) {
            DemosaicSpan({band.source[row], band.source[row + 1], band.source[row + 2]}, width, 0, width,
                         band.ownColumn[row], band.out[row]);
        }
        return;
    }
    typename V::Mask sites[2][kBandRows];
    for (uint32_t row = 0; row < band.rows; ++row) {
        sites[0][row] = band.ownColumn[row] == 0 ? V::EvenLanes() : V::OddLanes();
        sites[1][row] = band.ownColumn[row] == 0 ? V::OddLanes() : V::EvenLanes();
    }
    if (band.rows == kBandRows)
        DemosaicBandColumns<V, kBandRows>(band, width, sites);
    else
        DemosaicBandColumns<V, 0>(band, width, sites);
}

template <class V> void BayerToPlanesVector(const BayerImage& image, const PlanePointers& out) {
    for (uint32_t y = 0; y < image.height; y += kBandRows)
        DemosaicBand<V>(BandAt(image, out, y), image.width);
}

// For each of the three bytes of a triplet and each of the three 16-byte blocks
// holding 16 triplets: where in the block each of the 16 outputs is, or 0x80 (none).
using ShuffleTable = std::array<uint8_t, 16>;
constexpr std::array<std::array<ShuffleTable, 3>, 3> TripletTables() {
    std::array<std::array<ShuffleTable, 3>, 3> tables{};
    for (int component = 0; component < 3; ++component) {
        for (int block = 0; block < 3; ++block) {
            for (int i = 0; i < 16; ++i) {
                const int at = 3 * i + component - 16 * block;
                tables[component][block][i] = static_cast<uint8_t>(at >= 0 && at < 16 ? at : 0x80);
            }
        }
    }
    return tables;
}

// Planes larger than this, all three together, would not stay in the cache anyway:
// streaming stores write their cache lines whole, without reading them first.
constexpr std::size_t kStreamingBytes = std::size_t{8} << 20;
constexpr std::size_t kCacheLine = 64;

inline std::size_t Misalignment(const uint8_t* at, std::size_t alignment) {
    return static_cast<std::size_t>(reinterpret_cast<uintptr_t>(at) % alignment);
}

template <class V>
void SplitTripletsVector(const uint8_t* source, std::size_t pixels, uint8_t* first, uint8_t* second,
                         uint8_t* third) {
    constexpr std::size_t kLanes = V::kLanes;
    if (pixels < kLanes) {
        kPortableKernels.packed(source, pixels, first, second, third);
        return;
    }
    constexpr auto kTables = TripletTables();
    typename V::Vector tables[3][3];
    for (int component = 0; component < 3; ++component) {
        for (int block = 0; block < 3; ++block)
            tables[component][block] = V::Table(kTables[component][block].data());
    }
    uint8_t* const planes[3] = {first, second, third};
    const auto splitInto = [&](std::size_t pixel, typename V::Vector(&out)[3]) {
        typename V::Vector blocks[3];
        V::LoadTriplets(source + 3 * pixel, blocks);
        for (int c = 0; c < 3; ++c) {
            out[c] = V::Or(V::Or(V::Shuffle(blocks[0], tables[c][0]), V::Shuffle(blocks[1], tables[c][1])),
                           V::Shuffle(blocks[2], tables[c][2]));
        }
    };
    const auto split = [&](std::size_t pixel) {
        typename V::Vector out[3];
        splitInto(pixel, out);
        for (int c = 0; c < 3; ++c)
            V::Store(planes[c] + pixel, out[c]);
    };
    // One cache line of each plane, its blocks stored one after another.
    const auto stream = [&](std::size_t pixel) {
        constexpr std::size_t kBlocks = kCacheLine / kLanes;
        typename V::Vector out[kBlocks][3];
        for (std::size_t block = 0; block < kBlocks; ++block)
            splitInto(pixel + block * kLanes, out[block]);
        for (int c = 0; c < 3; ++c) {
            for (std::size_t block = 0; block < kBlocks; ++block)
                V::StoreStreaming(planes[c] + pixel + block * kLanes, out[block][c]);
        }
    };
    // As with the rows: blocks from where the first plane is aligned, the first and the
    // last block overlapping their neighbours.
    const std::size_t lastBlock = pixels - kLanes;
    split(0);
    std::size_t pixel = kLanes - Misalignment(first, kLanes);
    const std::size_t lineOffset = Misalignment(first, kCacheLine);
    if (3 * pixels >= kStreamingBytes && Misalignment(second, kCacheLine) == lineOffset &&
        Misalignment(third, kCacheLine) == lineOffset) {
        for (; Misalignment(first + pixel, kCacheLine) != 0 && pixel < lastBlock; pixel += kLanes)
            split(pixel);
        for (; pixel + kCacheLine <= lastBlock; pixel += kCacheLine)
            stream(pixel);
        V::FinishStreaming();
    }
    for (; pixel < lastBlock; pixel += kLanes)
        split(pixel);
    split(lastBlock);
}

template <class V> constexpr PlaneKernels VectorKernels() {
    return {&BayerToPlanesVector<V>, &SplitTripletsVector<V>};
}

} // namespace
} // namespace camlib
