// The kernels with 32-byte AVX2 vectors; this file alone is compiled with AVX2 enabled.
#include "camlib/planes_kernels.h"

#ifdef __AVX2__
#include "camlib/planes_simd.h"

#include <immintrin.h>

namespace camlib {

namespace {

struct Avx2 {
    using Vector = __m256i;
    using Mask = __m256i;
    static constexpr uint32_t kLanes = 32;

    static Vector Load(const uint8_t* at) {
        return _mm256_loadu_si256(static_cast<const Vector*>(Bytes(at)));
    }
    static void Store(uint8_t* at, Vector v) { _mm256_storeu_si256(static_cast<Vector*>(Bytes(at)), v); }
    static void StoreStreaming(uint8_t* at, Vector v) {
        _mm256_stream_si256(static_cast<Vector*>(Bytes(at)), v);
    }
    static void FinishStreaming() { _mm_sfence(); }
    static Vector Average(Vector a, Vector b) { return _mm256_avg_epu8(a, b); }
    static Vector Subtract(Vector a, Vector b) { return _mm256_sub_epi8(a, b); }
    static Vector Or(Vector a, Vector b) { return _mm256_or_si256(a, b); }
    static Vector PairParity(Vector a, Vector b) { return _mm256_xor_si256(a, b); }
    static Vector RoundingExcess(Vector u, Vector v, Vector uParity, Vector vParity) {
        const Vector both = _mm256_and_si256(_mm256_or_si256(uParity, vParity), _mm256_xor_si256(u, v));
        return _mm256_and_si256(both, _mm256_set1_epi8(1));
    }
    static Vector Select(Mask mask, Vector ifSet, Vector ifClear) {
        return _mm256_blendv_epi8(ifClear, ifSet, mask);
    }
    static Mask EvenLanes() { return _mm256_set1_epi16(0x00FF); }
    static Mask OddLanes() { return _mm256_set1_epi16(static_cast<short>(0xFF00)); }
    static Mask FirstLane() { return _mm256_setr_epi64x(0xFF, 0, 0, 0); }
    static Mask LastLane() {
        return _mm256_setr_epi64x(0, 0, 0, static_cast<long long>(0xFF00000000000000ULL));
    }
    // alignr works within 16-byte blocks; the permute brings in the neighbouring block.
    static Vector ShiftedUp(Vector v) {
        return _mm256_alignr_epi8(v, _mm256_permute2x128_si256(v, v, 0x08), 15);
    }
    static Vector ShiftedDown(Vector v) {
        return _mm256_alignr_epi8(_mm256_permute2x128_si256(v, v, 0x81), v, 1);
    }
    static Vector Table(const uint8_t* bytes) {
        return _mm256_broadcastsi128_si256(_mm_loadu_si128(static_cast<const __m128i*>(Bytes(bytes))));
    }
    static Vector Shuffle(Vector v, Vector table) { return _mm256_shuffle_epi8(v, table); }
    // Block 0 of each vector holds the first 16 triplets, block 1 the next 16.
    static void LoadTriplets(const uint8_t* at, Vector (&blocks)[3]) {
        for (int i = 0; i < 3; ++i) {
            const __m128i low = _mm_loadu_si128(static_cast<const __m128i*>(Bytes(at + 16 * i)));
            const __m128i high = _mm_loadu_si128(static_cast<const __m128i*>(Bytes(at + 48 + 16 * i)));
            blocks[i] = _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
        }
    }
};

constexpr PlaneKernels kAvx2Kernels = VectorKernels<Avx2>();

} // namespace

const PlaneKernels* Avx2Kernels() {
    return &kAvx2Kernels;
}

} // namespace camlib

#else

const camlib::PlaneKernels* camlib::Avx2Kernels() {
    return nullptr;
}

#endif
