#include "exitscreen/fade.h"

#include "exitscreen/fade_x86.h"

// Divisions become multiplications: on these ranges s / 3 == (s * 21846) >> 16 for
// s <= 765, and x / 10 == (x * 6554) >> 16 for x <= 2550, exactly.
static inline uint32_t DivideBy3(uint32_t s) { return (s * 21846) >> 16; }
static inline uint32_t DivideBy10(uint32_t x) { return (x * 6554) >> 16; }

void FadePixelsPortable(uint32_t* pixels, size_t count, int level)
{
    if (level < 0 || level > FADE_STEPS) return;
    const uint32_t keep = FADE_STEPS - level, toward = level;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t p = pixels[i];
        const uint32_t b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
        const uint32_t grey = toward * DivideBy3(b + g + r);
        pixels[i] = (p & 0xFF000000) | DivideBy10(keep * r + grey) << 16 | DivideBy10(keep * g + grey) << 8 |
                    DivideBy10(keep * b + grey);
    }
}

FadePath FastestFadePath()
{
#if ZORV_HAS_X86_FADE
    return X86HasAvx2() ? FADE_AVX2 : FADE_SSE2;
#else
    return FADE_PORTABLE;
#endif
}

// A fast path fades whole groups of pixels; the portable computation fades the rest.
void FadePixelsOn(FadePath path, uint32_t* pixels, size_t count, int level)
{
    if (level < 0 || level > FADE_STEPS) return;
    size_t done = 0;
#if ZORV_HAS_X86_FADE
    if (path == FADE_AVX2)
        done = FadeGroupsAvx2(pixels, count, FADE_STEPS - level, level);
    else if (path == FADE_SSE2)
        done = FadeGroupsSse2(pixels, count, FADE_STEPS - level, level);
#else
    (void)path;
#endif
    FadePixelsPortable(pixels + done, count - done, level);
}

void FadePixels(uint32_t* pixels, size_t count, int level) { FadePixelsOn(FastestFadePath(), pixels, count, level); }
