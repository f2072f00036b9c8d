#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "exitscreen/fade.h"

namespace {

uint32_t Pixel(uint32_t fourth, uint32_t r, uint32_t g, uint32_t b) { return fourth << 24 | r << 16 | g << 8 | b; }

// The formula as written, with its divisions.
uint32_t Expected(uint32_t p, int level)
{
    const uint32_t b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF, grey = (b + g + r) / 3;
    auto fade = [&](uint32_t c) { return ((10 - level) * c + level * grey) / 10; };
    return level < 0 || level > 10 ? p : Pixel(p >> 24, fade(r), fade(g), fade(b));
}

// Every path this build and processor have, on every colour at every level and beside the
// levels, against the formula, on a length that reaches whole groups and a rest.
TEST(Fade, EveryPathEqualsTheFormulaForEveryColour)
{
    std::vector<std::function<void(uint32_t*, size_t, int)>> fades = {FadePixelsPortable, FadePixels};
    for (int path = FADE_SSE2; path <= FastestFadePath(); ++path)
        fades.push_back([path](uint32_t* p, size_t n, int level) { FadePixelsOn(static_cast<FadePath>(path), p, n, level); });
    std::vector<uint32_t> before(256 * 256 + 11), expected(before.size()), pixels;
    for (uint32_t r = 0; r < 256; ++r) {
        for (uint32_t i = 0; i < before.size(); ++i) before[i] = Pixel(r ^ i, r, (i >> 8) & 0xFF, i & 0xFF);
        for (int level = -1; level <= FADE_STEPS + 1; ++level) {
            for (uint32_t i = 0; i < before.size(); ++i) expected[i] = Expected(before[i], level);
            for (const auto& fade : fades) {
                pixels = before;
                fade(pixels.data(), pixels.size(), level);
                const size_t i = std::mismatch(pixels.begin(), pixels.end(), expected.begin()).first - pixels.begin();
                ASSERT_EQ(pixels.size(), i) << std::hex << before[i] << " level " << std::dec << level << ": " << std::hex
                                            << pixels[i] << " instead of " << expected[i];
            }
        }
    }
}

}  // namespace
