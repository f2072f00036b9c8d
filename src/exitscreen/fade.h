// The exit screen's fade: a 32-bit picture (blue, green, red, a fourth byte) moved towards
// its own grey in tenths. Level 0 leaves it as it is, level 10 makes it grey; levels outside
// 0 to 10 do nothing. Every channel becomes ((10 - level) * channel + level * grey) / 10 with
// grey = (blue + green + red) / 3, in integers; the fourth byte is left alone.
#pragma once
#include <stddef.h>
#include <stdint.h>

enum { FADE_STEPS = 10 };

// The fastest exact way this build has.
void FadePixels(uint32_t* pixels, size_t count, int level);
// The portable computation, which every build has.
void FadePixelsPortable(uint32_t* pixels, size_t count, int level);
