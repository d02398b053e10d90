// The Bayer kernel with 64-byte AVX-512BW vectors; this file alone is compiled with
// AVX-512BW enabled. Ternary logic folds the rounding correction into fewer steps.
#include "camlib/planes_kernels.h"

#ifdef __AVX512BW__
#include "camlib/planes_simd.h"

#include <immintrin.h>

namespace camlib {

namespace {

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
    // alignr_epi8 works within 16-byte blocks; alignr_epi64 brings in the neighbouring
    // block (its masked form keeping all lanes: the plain one trips a false
    // uninitialised-value warning in GCC 12's headers).
    static Vector ShiftedUp(Vector v) {
        return _mm512_alignr_epi8(v, _mm512_maskz_alignr_epi64(0xFF, v, _mm512_setzero_si512(), 6), 15);
    }
    static Vector ShiftedDown(Vector v) {
        return _mm512_alignr_epi8(_mm512_maskz_alignr_epi64(0xFF, _mm512_setzero_si512(), v, 2), v, 1);
    }
};

// Packed pixels split no faster with these vectors than with AVX2's, which the
// conversion uses instead.
constexpr PlaneKernels kAvx512Kernels = {&BayerToPlanesVector<Avx512>, nullptr};

} // namespace

const PlaneKernels* Avx512Kernels() {
    return &kAvx512Kernels;
}

} // namespace camlib

#else

const camlib::PlaneKernels* camlib::Avx512Kernels() {
    return nullptr;
}

#endif
