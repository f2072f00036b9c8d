// The exit screen's fade: a 32-bit picture (blue, green, red, a fourth byte) moved towards
// its own grey in tenths. Level 0 leaves it as it is, level 10 makes it grey; levels outside
// 0 to 10 do nothing. Every channel becomes ((10 - level) * channel + level * grey) / 10 with
// grey = (blue + green + red) / 3, in integers; the fourth byte is left alone.
#pragma once
#include <stddef.h>
#include <stdint.h>

enum { FADE_STEPS = 10 };

// The ways of computing it, each exact; a build and processor have every path up to the
// fastest they have.
enum FadePath { FADE_PORTABLE, FADE_SSE2, FADE_AVX2 };
FadePath FastestFadePath();

// The fastest path.
void FadePixels(uint32_t* pixels, size_t count, int level);
// The given path, which must be one this build and processor have.
void FadePixelsOn(FadePath path, uint32_t* pixels, size_t count, int level);
// The portable computation, which every build has.
void FadePixelsPortable(uint32_t* pixels, size_t count, int level);
