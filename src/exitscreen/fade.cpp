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

void FadePixels(uint32_t* pixels, size_t count, int level)
{
#if ZORV_HAS_X86_FADE
    if (X86HasAvx2())
        FadePixelsAvx2(pixels, count, level);
    else
        FadePixelsSse2(pixels, count, level);
#else
    FadePixelsPortable(pixels, count, level);
#endif
}
