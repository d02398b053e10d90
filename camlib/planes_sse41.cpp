// The kernels with 16-byte SSE4.1 vectors; this file alone is compiled with SSE4.1 enabled.
#include "camlib/planes_kernels.h"

#ifdef __SSE4_1__
#include "camlib/planes_simd.h"

#include <immintrin.h>

namespace camlib {

namespace {

struct Sse41 {
    using Vector = __m128i;
    using Mask = __m128i;
    static constexpr uint32_t kLanes = 16;

    static Vector Load(const uint8_t* at) { return _mm_loadu_si128(static_cast<const Vector*>(Bytes(at))); }
    static void Store(uint8_t* at, Vector v) { _mm_storeu_si128(static_cast<Vector*>(Bytes(at)), v); }
    static void StoreStreaming(uint8_t* at, Vector v) {
        _mm_stream_si128(static_cast<Vector*>(Bytes(at)), v);
    }
    static void FinishStreaming() { _mm_sfence(); }
    static Vector Average(Vector a, Vector b) { return _mm_avg_epu8(a, b); }
    static Vector Subtract(Vector a, Vector b) { return _mm_sub_epi8(a, b); }
    static Vector Or(Vector a, Vector b) { return _mm_or_si128(a, b); }
    static Vector PairParity(Vector a, Vector b) { return _mm_xor_si128(a, b); }
    static Vector RoundingExcess(Vector u, Vector v, Vector uParity, Vector vParity) {
        const Vector both = _mm_and_si128(_mm_or_si128(uParity, vParity), _mm_xor_si128(u, v));
        return _mm_and_si128(both, _mm_set1_epi8(1));
    }
    static Vector Select(Mask mask, Vector ifSet, Vector ifClear) {
        return _mm_blendv_epi8(ifClear, ifSet, mask);
    }
    static Mask EvenLanes() { return _mm_set1_epi16(0x00FF); }
    static Mask OddLanes() { return _mm_set1_epi16(static_cast<short>(0xFF00)); }
    static Mask FirstLane() { return _mm_setr_epi32(0xFF, 0, 0, 0); }
    static Mask LastLane() { return _mm_setr_epi32(0, 0, 0, static_cast<int>(0xFF000000U)); }
    static Vector ShiftedUp(Vector v) { return _mm_slli_si128(v, 1); }
    static Vector ShiftedDown(Vector v) { return _mm_srli_si128(v, 1); }
    static Vector Table(const uint8_t* bytes) { return Load(bytes); }
    static Vector Shuffle(Vector v, Vector table) { return _mm_shuffle_epi8(v, table); }
    static void LoadTriplets(const uint8_t* at, Vector (&blocks)[3]) {
        for (int i = 0; i < 3; ++i)
            blocks[i] = Load(at + 16 * i);
    }
};

constexpr PlaneKernels kSse41Kernels = VectorKernels<Sse41>();

} // namespace

const PlaneKernels* Sse41Kernels() {
    return &kSse41Kernels;
}

} // namespace camlib

#else

const camlib::PlaneKernels* camlib::Sse41Kernels() {
    return nullptr;
}

#endif
