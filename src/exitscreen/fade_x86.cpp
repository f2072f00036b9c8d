#include "exitscreen/fade_x86.h"

#if ZORV_HAS_X86_FADE
#include <immintrin.h>

// Both paths work on 16-bit lanes, two pixels (b g r a b g r a) to every 128 bits: rotations
// within each pixel put b + g + r in every colour lane, and the divisions become high
// multiplications, exact on these ranges (s / 3 for s <= 765, x / 10 for x <= 2550).
// The AVX2 path is the SSE2 one on 256 bits; every step stays within 128-bit halves.

namespace {

const short ONE_THIRD = 21846, ONE_TENTH = 6554;

inline __m128i FadeLanes(__m128i lanes, __m128i keep, __m128i toward, __m128i alphaMask)
{
    const __m128i once = _mm_shufflehi_epi16(_mm_shufflelo_epi16(lanes, _MM_SHUFFLE(3, 0, 2, 1)), _MM_SHUFFLE(3, 0, 2, 1));
    const __m128i twice = _mm_shufflehi_epi16(_mm_shufflelo_epi16(lanes, _MM_SHUFFLE(3, 1, 0, 2)), _MM_SHUFFLE(3, 1, 0, 2));
    const __m128i grey = _mm_mulhi_epu16(_mm_add_epi16(_mm_add_epi16(lanes, once), twice), _mm_set1_epi16(ONE_THIRD));
    const __m128i mixed = _mm_add_epi16(_mm_mullo_epi16(lanes, keep), _mm_mullo_epi16(grey, toward));
    const __m128i faded = _mm_mulhi_epu16(mixed, _mm_set1_epi16(ONE_TENTH));
    return _mm_or_si128(_mm_and_si128(alphaMask, lanes), _mm_andnot_si128(alphaMask, faded));
}

__attribute__((target("avx2"))) inline __m256i FadeLanes256(__m256i lanes, __m256i keep, __m256i toward,
                                                             __m256i alphaMask)
{
    const __m256i once =
        _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(lanes, _MM_SHUFFLE(3, 0, 2, 1)), _MM_SHUFFLE(3, 0, 2, 1));
    const __m256i twice =
        _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(lanes, _MM_SHUFFLE(3, 1, 0, 2)), _MM_SHUFFLE(3, 1, 0, 2));
    const __m256i grey =
        _mm256_mulhi_epu16(_mm256_add_epi16(_mm256_add_epi16(lanes, once), twice), _mm256_set1_epi16(ONE_THIRD));
    const __m256i mixed = _mm256_add_epi16(_mm256_mullo_epi16(lanes, keep), _mm256_mullo_epi16(grey, toward));
    const __m256i faded = _mm256_mulhi_epu16(mixed, _mm256_set1_epi16(ONE_TENTH));
    return _mm256_blendv_epi8(faded, lanes, alphaMask);
}

}  // namespace

bool X86HasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

size_t FadeGroupsSse2(uint32_t* pixels, size_t count, int keepWeight, int towardWeight)
{
    const __m128i keep = _mm_set1_epi16(static_cast<short>(keepWeight));
    const __m128i toward = _mm_set1_epi16(static_cast<short>(towardWeight));
    const __m128i alphaMask = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
    const __m128i zero = _mm_setzero_si128();
    size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i* at = reinterpret_cast<__m128i*>(pixels + i);
        const __m128i four = _mm_loadu_si128(at);
        const __m128i low = FadeLanes(_mm_unpacklo_epi8(four, zero), keep, toward, alphaMask);
        const __m128i high = FadeLanes(_mm_unpackhi_epi8(four, zero), keep, toward, alphaMask);
        _mm_storeu_si128(at, _mm_packus_epi16(low, high));
    }
    return i;
}

__attribute__((target("avx2"))) size_t FadeGroupsAvx2(uint32_t* pixels, size_t count, int keepWeight,
                                                       int towardWeight)
{
    const __m256i keep = _mm256_set1_epi16(static_cast<short>(keepWeight));
    const __m256i toward = _mm256_set1_epi16(static_cast<short>(towardWeight));
    const __m256i alphaMask = _mm256_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0, -1, 0, 0, 0, -1, 0, 0, 0);
    const __m256i zero = _mm256_setzero_si256();
    size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i* at = reinterpret_cast<__m256i*>(pixels + i);
        const __m256i eight = _mm256_loadu_si256(at);
        const __m256i low = FadeLanes256(_mm256_unpacklo_epi8(eight, zero), keep, toward, alphaMask);
        const __m256i high = FadeLanes256(_mm256_unpackhi_epi8(eight, zero), keep, toward, alphaMask);
        _mm256_storeu_si256(at, _mm256_packus_epi16(low, high));
    }
    _mm256_zeroupper();  // no penalty for the SSE code that runs next
    return i;
}
#endif
