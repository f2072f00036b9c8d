#include <gtest/gtest.h>

#include <strsafe.h>

#include <array>
#include <random>
#include <vector>

#include "config/shell_settings.h"
#include "core/shell.h"
#include "gdi_count.h"
#include "gfx/surface.h"
#include "pixel_image.h"
#include "reference_region.h"
#include "test_files.h"

namespace {

using Box = std::array<LONG, 4>;  // left, top, right, bottom

std::vector<Box> RegionBoxes(HRGN region)
{
    std::vector<BYTE> data(GetRegionData(region, 0, NULL));
    RGNDATA* header = reinterpret_cast<RGNDATA*>(data.data());
    GetRegionData(region, static_cast<DWORD>(data.size()), header);
    const RECT* rects = reinterpret_cast<const RECT*>(header->Buffer);
    std::vector<Box> boxes;
    for (DWORD i = 0; i < header->rdh.nCount; ++i)
        boxes.push_back(Box{rects[i].left, rects[i].top, rects[i].right, rects[i].bottom});
    return boxes;
}

// Every pixel is in the region exactly when it is not magenta, read back from a copy of
// the image; a reference region, when given, must agree pixel for pixel and as a whole.
void ExpectRegionOfImage(HRGN region, HRGN reference, HDC imageDc, int width, int height)
{
    if (reference) {
        EXPECT_TRUE(EqualRgn(region, reference)) << "differs from the run-by-run region";
    }
    PixelImage copy(width, height);
    BitBlt(copy.dc(), 0, 0, width, height, imageDc, 0, 0, SRCCOPY);
    GdiFlush();
    int wrong = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            bool expected = !copy.IsKeyColored(x, y);
            bool inRegion = PtInRegion(region, x, y) != 0;
            bool inReference = reference ? PtInRegion(reference, x, y) != 0 : expected;
            if (inRegion == expected && inReference == expected) continue;
            if (++wrong <= 3)
                ADD_FAILURE() << "pixel (" << x << "," << y << ") opaque " << expected << ", region " << inRegion
                              << ", run-by-run " << inReference;
        }
    EXPECT_EQ(0, wrong) << "wrong pixels";
    RECT box;
    GetRgnBox(region, &box);
    EXPECT_TRUE(box.left >= 0 && box.top >= 0 && box.right <= width && box.bottom <= height) << "outside the image";
}

void ExpectSameAsRunByRun(HDC imageDc, HBITMAP imageBitmap)
{
    BITMAP size = {};
    GetObjectW(imageBitmap, sizeof size, &size);
    HRGN region = CreateKeyColorRegion(imageDc, imageBitmap);
    HRGN reference = CreateRunByRunRegion(imageDc, imageBitmap);
    ExpectRegionOfImage(region, reference, imageDc, size.bmWidth, size.bmHeight);
    DeleteObject(region);
    DeleteObject(reference);
}

struct SmallImage {
    const char* name;
    int width, height;
    DWORD fill;
    std::vector<std::pair<POINT, DWORD>> pixels;  // written over the fill
    std::vector<Box> expected;
};

void PrintTo(const SmallImage& image, std::ostream* out) { *out << image.name; }

class KeyColorRegionSmall : public ::testing::TestWithParam<SmallImage> {};

TEST_P(KeyColorRegionSmall, GivesExactlyTheOpaqueRectangles)
{
    const SmallImage& param = GetParam();
    PixelImage image(param.width, param.height, param.fill);
    for (const auto& pixel : param.pixels) image.at(pixel.first.x, pixel.first.y) = pixel.second;
    HRGN region = CreateKeyColorRegion(image.dc(), image.bitmap());
    ASSERT_NE(nullptr, region);
    EXPECT_EQ(param.expected, RegionBoxes(region));
    ExpectRegionOfImage(region, nullptr, image.dc(), image.width(), image.height());
    DeleteObject(region);
}

const DWORD PLAIN = 0x00204060;

INSTANTIATE_TEST_SUITE_P(
    KeyColorRegion, KeyColorRegionSmall,
    ::testing::Values(
        SmallImage{"NoMagentaIsTheFullRectangle", 7, 5, PLAIN, {}, {{0, 0, 7, 5}}},
        SmallImage{"AllMagentaIsEmpty", 7, 5, MAGENTA_PIXEL, {}, {}},
        SmallImage{"RunToTheRightEdgeThenOneAtTheNextRowStart",
                   8, 3, PLAIN,
                   {{{5, 1}, MAGENTA_PIXEL}, {{6, 1}, MAGENTA_PIXEL}, {{7, 1}, MAGENTA_PIXEL}, {{0, 2}, MAGENTA_PIXEL}},
                   {{0, 0, 8, 1}, {0, 1, 5, 2}, {1, 2, 8, 3}}},
        SmallImage{"SingleMagentaPixel", 5, 5, PLAIN, {{{2, 2}, MAGENTA_PIXEL}},
                   {{0, 0, 5, 2}, {0, 2, 2, 3}, {3, 2, 5, 3}, {0, 3, 5, 5}}},
        SmallImage{"SingleOpaquePixels", 5, 4, MAGENTA_PIXEL, {{{1, 3}, PLAIN}, {{4, 0}, PLAIN}},
                   {{4, 0, 5, 1}, {1, 3, 2, 4}}},
        SmallImage{"NearMagentaIsOpaque", 4, 2, MAGENTA_PIXEL,
                   {{{0, 0}, 0x00F800F8}, {{1, 0}, 0x00FF01FF}, {{2, 0}, 0x00FE00FF}, {{3, 0}, 0x00FF00FE}},
                   {{0, 0, 4, 1}}},
        SmallImage{"FourthByteIsIgnored", 3, 2, PLAIN, {{{0, 0}, 0xFFFF00FF}, {{2, 1}, 0x80FF00FF}},
                   {{1, 0, 3, 1}, {0, 1, 2, 2}}}),
    [](const ::testing::TestParamInfo<SmallImage>& info) { return info.param.name; });

TEST(KeyColorRegion, CheckerboardMatchesRunByRunConstruction)
{
    PixelImage image(400, 390);
    DrawCheckerboard(image, 4);
    ExpectSameAsRunByRun(image.dc(), image.bitmap());
}

TEST(KeyColorRegion, OnePixelCheckerboardIsExact)
{
    // Run by run, this image takes half a minute; every pixel is checked instead.
    PixelImage image(400, 390);
    DrawCheckerboard(image, 1);
    HRGN region = CreateKeyColorRegion(image.dc(), image.bitmap());
    ExpectRegionOfImage(region, nullptr, image.dc(), image.width(), image.height());
    DeleteObject(region);
}

TEST(KeyColorRegion, SeededNoiseMatchesRunByRunConstruction)
{
    PixelImage image(173, 121);  // odd sizes on purpose
    std::mt19937 random(20240611);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.at(x, y) = random() % 3 == 0 ? PLAIN : (random() % 5 == 0 ? 0x00FE00FF : MAGENTA_PIXEL);
    ExpectSameAsRunByRun(image.dc(), image.bitmap());
}

TEST(KeyColorRegion, DefaultStartMenuMatchesRunByRunConstruction)
{
    StringCchCopyW(HomeDirectory, HOME_DIRECTORY_CHARS, SourcePath(L"themes\\default").c_str());
    StringCchCopyW(Settings.themeDirectory, SETTING_NAME_CHARS, L"Lagoon");
    HDC screen = GetDC(NULL);
    MemorySurface back, image;
    ASSERT_EQ(0, CreateMemorySurface(screen, 400, 390, &back));
    ASSERT_EQ(0, LoadThemeBitmap(back.dc, L"STARTBACK", &image));
    ExpectSameAsRunByRun(image.dc, image.bitmap);

    HRGN region = CreateKeyColorRegion(image.dc, image.bitmap);
    EXPECT_FALSE(PtInRegion(region, 0, 0)) << "the top corners are rounded";
    EXPECT_FALSE(PtInRegion(region, 399, 0));
    EXPECT_TRUE(PtInRegion(region, 200, 195));
    EXPECT_TRUE(PtInRegion(region, 0, 389));
    DeleteObject(region);
    ReleaseMemorySurface(&image);
    ReleaseMemorySurface(&back);
    ReleaseDC(NULL, screen);
}

TEST(KeyColorRegion, LeavesOnlyTheReturnedRegion)
{
    PixelImage image(400, 390);
    DrawCheckerboard(image, 4);
    DeleteObject(CreateKeyColorRegion(image.dc(), image.bitmap()));  // first use may cache the screen DC
    int before = CountGdiObjects();
    HRGN region = CreateKeyColorRegion(image.dc(), image.bitmap());
    EXPECT_EQ(before + 1, CountGdiObjects());
    EXPECT_EQ(static_cast<DWORD>(OBJ_REGION), GetObjectType(region));
    DeleteObject(region);
    EXPECT_EQ(before, CountGdiObjects());
}

}  // namespace
