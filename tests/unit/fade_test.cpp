#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "exitscreen/fade.h"
#include "exitscreen/fade_x86.h"

namespace {

uint32_t Pixel(uint32_t fourth, uint32_t r, uint32_t g, uint32_t b) { return fourth << 24 | r << 16 | g << 8 | b; }

// The formula as written, with its divisions.
uint32_t Expected(uint32_t p, int level)
{
    const uint32_t b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF, grey = (b + g + r) / 3;
    auto fade = [&](uint32_t c) { return ((10 - level) * c + level * grey) / 10; };
    return Pixel(p >> 24, fade(r), fade(g), fade(b));
}

typedef void (*Fade)(uint32_t*, size_t, int);

// Every path this build and processor have.
std::vector<Fade> Fades()
{
    std::vector<Fade> fades = {FadePixelsPortable};
#if ZORV_HAS_X86_FADE
    fades.push_back(FadePixelsSse2);
    if (X86HasAvx2()) fades.push_back(FadePixelsAvx2);
#endif
    return fades;
}

TEST(Fade, MovesEachPixelTowardsItsGreyInTenths)
{
    const struct {
        uint32_t before;
        int level;
        uint32_t after;
    } cases[] = {
        {Pixel(0x12, 255, 0, 0), 2, Pixel(0x12, 221, 17, 17)},  // grey 85
        {Pixel(0x12, 255, 0, 0), 10, Pixel(0x12, 85, 85, 85)},
        {Pixel(0xAB, 10, 200, 30), 0, Pixel(0xAB, 10, 200, 30)},
        {Pixel(0x34, 77, 77, 77), 6, Pixel(0x34, 77, 77, 77)},  // greys, white and black stay
        {Pixel(0x34, 255, 255, 255), 10, Pixel(0x34, 255, 255, 255)},
        {Pixel(0x34, 0, 0, 0), 4, Pixel(0x34, 0, 0, 0)},
        {Pixel(0x00, 10, 200, 30), 11, Pixel(0x00, 10, 200, 30)},  // out of range: untouched
        {Pixel(0x00, 10, 200, 30), -1, Pixel(0x00, 10, 200, 30)},
    };
    for (Fade fade : Fades()) {
        for (const auto& c : cases) {
            // An odd length reaches every part: whole groups and the rest.
            std::vector<uint32_t> pixels(11, c.before);
            fade(pixels.data(), pixels.size(), c.level);
            for (uint32_t p : pixels) EXPECT_EQ(c.after, p) << std::hex << c.before << " level " << std::dec << c.level;
        }
    }
}

// Every colour at every level, on every path, against the formula.
TEST(Fade, EqualsTheFormulaForEveryColour)
{
    std::vector<uint32_t> before(256 * 256), expected(before.size()), pixels(before.size());
    for (int level = 1; level < FADE_STEPS; ++level)
        for (uint32_t r = 0; r < 256; ++r) {
            for (uint32_t i = 0; i < before.size(); ++i) {
                before[i] = Pixel(r ^ i, r, i >> 8, i & 0xFF);
                expected[i] = Expected(before[i], level);
            }
            for (Fade fade : Fades()) {
                pixels = before;
                fade(pixels.data(), pixels.size(), level);
                if (pixels != expected) {
                    size_t i = std::mismatch(pixels.begin(), pixels.end(), expected.begin()).first - pixels.begin();
                    FAIL() << std::hex << before[i] << " level " << std::dec << level << ": " << std::hex << pixels[i]
                           << " instead of " << expected[i];
                }
            }
        }
}

}  // namespace
