#include "exitscreen/fade.h"

#include "exitscreen/fade_x86.h"

namespace {

// A channel c becomes ((10 - level) * c + level * grey) / 10, which is c plus
// level * (grey - c) / 10 rounded down: its change depends on grey - c alone, and that lies
// within +-170 (grey is a third of c and two other channels). So each level has one table of
// changes by c - grey, in each channel's place; added to the pixel in 32-bit arithmetic they
// give the faded pixel, since every channel stays within 0 to 255 and nothing carries into
// its neighbour or the fourth byte.
enum {
    MOST_CHANGE = 170,
    CENTRE = 255,       // a grey's row starts up to 255 before the centre, so a table spans +-255
    SPAN = 512,         // a power of two keeps the tables' offsets one instruction on the device
    GREEN = SPAN,       // the red, green and blue tables follow one another
    BLUE = 2 * SPAN,
    SUMS = 3 * 255 + 1  // every blue + green + red
};

// y / 10 rounded down, also below 0.
inline int32_t TenthRoundedDown(int32_t y) { return y >= 0 ? y / 10 : -((9 - y) / 10); }

}  // namespace

void FadePixelsPortable(uint32_t* pixels, size_t count, int level)
{
    if (level < 0 || level > FADE_STEPS) return;
    uint32_t changes[3 * SPAN] = {};
    for (int32_t k = -MOST_CHANGE; k <= MOST_CHANGE; ++k) {
        const uint32_t change = static_cast<uint32_t>(TenthRoundedDown(-level * k));
        changes[CENTRE + k] = change << 16;
        changes[GREEN + CENTRE + k] = change << 8;
        changes[BLUE + CENTRE + k] = change;
    }
    // The row of a sum is its grey's: indexed by a channel, it gives that channel's change.
    const uint32_t* rows[SUMS] = {};
    for (uint32_t s = 0; s < SUMS; ++s) rows[s] = changes + (CENTRE - s / 3);
    for (size_t i = 0; i < count; ++i) {
        const uint32_t p = pixels[i];
        const size_t b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
        const uint32_t* row = rows[b + g + r];
        pixels[i] = p + row[r] + row[GREEN + g] + row[BLUE + b];
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
