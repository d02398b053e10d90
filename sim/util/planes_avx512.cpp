// The kernels with 64-byte AVX-512BW vectors; this file alone is compiled with
// AVX-512BW enabled. Ternary logic folds the rounding correction into fewer steps.
#include "sim/util/planes_kernels.h"

#ifdef __AVX512BW__
#include "sim/util/planes_simd.h"

#include <immintrin.h>

namespace sim {

namespace {

// The masked forms of broadcast and alignr (all lanes kept): the plain ones trip a
// false uninitialised-value warning in GCC 12's headers.
struct Avx512 {
    using Vector = __m512i;
    using Mask = __mmask64;
    static constexpr uint32_t kLanes = 64;

    // Truth tables of _mm512_ternarylogic_epi32 over its operands a, b, c.
    static constexpr int kXorThenAnd = 0x28; // (a ^ b) & c
    static constexpr int kOrThenAnd = 0xA8;  // (a | b) & c

    static Vector Load(const uint8_t* at) { return _mm512_loadu_si512(Bytes(at)); }
    static void Store(uint8_t* at, Vector v) { _mm512_storeu_si512(Bytes(at), v); }
    static Vector Average(Vector a, Vector b) { return _mm512_avg_epu8(a, b); }
    static Vector Subtract(Vector a, Vector b) { return _mm512_sub_epi8(a, b); }
    static Vector Or(Vector a, Vector b) { return _mm512_or_si512(a, b); }
    // Exactly 0 or 1, which lets RoundingExcess leave out its own mask.
    static Vector PairParity(Vector a, Vector b) {
        return _mm512_ternarylogic_epi32(a, b, _mm512_set1_epi8(1), kXorThenAnd);
    }
    static Vector RoundingExcess(Vector u, Vector v, Vector uParity, Vector vParity) {
        return _mm512_ternarylogic_epi32(uParity, vParity, _mm512_xor_si512(u, v), kOrThenAnd);
    }
    static Vector Select(Mask mask, Vector ifSet, Vector ifClear) {
        return _mm512_mask_blend_epi8(mask, ifClear, ifSet);
    }
    static Mask EvenLanes() { return 0x5555555555555555ULL; }
    static Mask OddLanes() { return 0xAAAAAAAAAAAAAAAAULL; }
    static Mask FirstLane() { return 1; }
    static Mask LastLane() { return 1ULL << 63; }
    // alignr_epi8 works within 16-byte blocks; alignr_epi64 brings in the neighbouring block.
    static Vector ShiftedUp(Vector v) {
        return _mm512_alignr_epi8(v, _mm512_maskz_alignr_epi64(0xFF, v, _mm512_setzero_si512(), 6), 15);
    }
    static Vector ShiftedDown(Vector v) {
        return _mm512_alignr_epi8(_mm512_maskz_alignr_epi64(0xFF, _mm512_setzero_si512(), v, 2), v, 1);
    }
    static Vector Table(const uint8_t* bytes) { return _mm512_maskz_broadcast_i32x4(0xFFFF, Block(bytes)); }
    static Vector Shuffle(Vector v, Vector table) { return _mm512_shuffle_epi8(v, table); }
    // Block k of each vector holds triplets 16k to 16k + 15.
    static void LoadTriplets(const uint8_t* at, Vector (&blocks)[3]) {
        for (int i = 0; i < 3; ++i) {
            Vector v = _mm512_castsi128_si512(Block(at + 16 * i));
            v = _mm512_inserti32x4(v, Block(at + 48 + 16 * i), 1);
            v = _mm512_inserti32x4(v, Block(at + 96 + 16 * i), 2);
            blocks[i] = _mm512_inserti32x4(v, Block(at + 144 + 16 * i), 3);
        }
    }

private:
    static __m128i Block(const uint8_t* at) {
        return _mm_loadu_si128(static_cast<const __m128i*>(Bytes(at)));
    }
};

constexpr PlaneKernels kAvx512Kernels = VectorKernels<Avx512>();

} // namespace

const PlaneKernels* Avx512Kernels() {
    return &kAvx512Kernels;
}

} // namespace sim

#else

const sim::PlaneKernels* sim::Avx512Kernels() {
    return nullptr;
}

#endif
