#include "exitscreen/fade_x86.h"

#if ZORV_HAS_X86_FADE
#include <emmintrin.h>

#include "exitscreen/fade.h"

namespace {

// Two pixels as eight 16-bit lanes (b g r a b g r a): every colour lane becomes its fade,
// alpha lanes keep their value.
inline __m128i FadeLanes(__m128i lanes, __m128i keep, __m128i toward, __m128i alphaMask)
{
    // Rotations within each pixel put b + g + r in every colour lane.
    const __m128i once = _mm_shufflehi_epi16(_mm_shufflelo_epi16(lanes, _MM_SHUFFLE(3, 0, 2, 1)), _MM_SHUFFLE(3, 0, 2, 1));
    const __m128i twice = _mm_shufflehi_epi16(_mm_shufflelo_epi16(lanes, _MM_SHUFFLE(3, 1, 0, 2)), _MM_SHUFFLE(3, 1, 0, 2));
    const __m128i sum = _mm_add_epi16(_mm_add_epi16(lanes, once), twice);
    const __m128i grey = _mm_mulhi_epu16(sum, _mm_set1_epi16(21846));  // sum / 3, exact up to 765
    const __m128i mixed = _mm_add_epi16(_mm_mullo_epi16(lanes, keep), _mm_mullo_epi16(grey, toward));
    const __m128i faded = _mm_mulhi_epu16(mixed, _mm_set1_epi16(6554));  // mixed / 10, exact up to 2550
    return _mm_or_si128(_mm_and_si128(alphaMask, lanes), _mm_andnot_si128(alphaMask, faded));
}

}  // namespace

void FadePixelsX86(uint32_t* pixels, size_t count, int level)
{
    if (level < 0 || level > FADE_STEPS) return;
    const __m128i keep = _mm_set1_epi16(static_cast<short>(FADE_STEPS - level));
    const __m128i toward = _mm_set1_epi16(static_cast<short>(level));
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
    FadePixelsPortable(pixels + i, count - i, level);
}
#endif
