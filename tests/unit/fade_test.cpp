#include <gtest/gtest.h>

#include <vector>

#include "exitscreen/fade.h"

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
const Fade FADES[] = {FadePixels, FadePixelsPortable};

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
        {Pixel(0x00, 10, 200, 30), 11, Pixel(0x00, 10, 200, 30)},  // out of range: untouched
        {Pixel(0x00, 10, 200, 30), -1, Pixel(0x00, 10, 200, 30)},
    };
    for (Fade fade : FADES) {
        for (const auto& c : cases) {
            // Odd lengths reach every path: groups of four and the rest.
            std::vector<uint32_t> pixels(7, c.before);
            fade(pixels.data(), pixels.size(), c.level);
            for (uint32_t p : pixels) EXPECT_EQ(c.after, p) << std::hex << c.before << " level " << std::dec << c.level;
        }
    }
}

// Every colour at every level, on both paths, against the formula; greys never change.
TEST(Fade, EqualsTheFormulaForEveryColour)
{
    std::vector<uint32_t> pixels(256 * 256);
    for (int level = 1; level < FADE_STEPS; ++level)
        for (Fade fade : FADES)
            for (uint32_t r = 0; r < 256; ++r) {
                for (uint32_t i = 0; i < pixels.size(); ++i) pixels[i] = Pixel(r ^ i, r, i >> 8, i & 0xFF);
                fade(pixels.data(), pixels.size(), level);
                for (uint32_t i = 0; i < pixels.size(); ++i) {
                    const uint32_t before = Pixel(r ^ i, r, i >> 8, i & 0xFF);
                    if (pixels[i] != Expected(before, level))
                        FAIL() << std::hex << before << " level " << std::dec << level << ": " << std::hex << pixels[i]
                               << " instead of " << Expected(before, level);
                    if (r == (i >> 8) && r == (i & 0xFF)) {
                        ASSERT_EQ(before, pixels[i]) << "a grey never changes";
                    }
                }
            }
}

}  // namespace
