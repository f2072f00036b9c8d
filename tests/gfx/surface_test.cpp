#include <gtest/gtest.h>

#include "gdi_count.h"
#include "gfx/surface.h"
#include "test_files.h"

namespace {

const COLORREF MAGENTA = RGB(255, 0, 255);

// Held for the life of the process.
const HDC screen = GetDC(NULL);

TEST(Surface, ThemeBitmapHasTheFilesSizeAndPixelsInTheScreensFormatAndLeavesNothingBehind)
{
    TempDirectory folder;
    MemorySurface surface;
    WriteBytes(folder / L"TASKBARCLK.bmp", BmpFile(186, 24));
    ASSERT_EQ(0, LoadThemeBitmap(screen, folder.path().c_str(), L"TASKBARCLK", &surface));  // warms up the loader
    ReleaseMemorySurface(&surface);
    const int before = CountGdiObjects();
    ASSERT_EQ(0, LoadThemeBitmap(screen, folder.path().c_str(), L"TASKBARCLK", &surface));
    BITMAP info = {};
    GetObjectW(surface.bitmap, sizeof info, &info);
    EXPECT_EQ((std::vector<LONG>{186, 24, GetDeviceCaps(screen, BITSPIXEL)}),
              (std::vector<LONG>{info.bmWidth, info.bmHeight, info.bmBitsPixel}));
    int wrong = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 186; ++x) wrong += GetPixel(surface.dc, x, y) != RGB(x, y * 10, 255 - x);
    EXPECT_EQ(0, wrong) << "pixels unlike the file's";
    ReleaseMemorySurface(&surface);
    EXPECT_EQ(before, CountGdiObjects());
}

TEST(Surface, KeyColorRegionHoldsExactlyThePixelsThatAreNotMagenta)
{
    // Every other pixel magenta, so the region is merged from many rectangles; the others
    // are blue or one step from magenta.
    const COLORREF others[] = {RGB(0, 0, 255), RGB(254, 0, 255), RGB(255, 1, 255), RGB(255, 0, 254)};
    MemorySurface image;
    ASSERT_EQ(0, CreateMemorySurface(screen, 64, 48, &image));
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) SetPixelV(image.dc, x, y, (x + y) % 2 ? others[(x / 2 + y) % 4] : MAGENTA);
    HRGN region = CreateKeyColorRegion(image.dc, image.bitmap);
    int wrong = 0;
    for (int y = -1; y <= 48; ++y)
        for (int x = -1; x <= 64; ++x)
            wrong += bool(PtInRegion(region, x, y)) != (GetPixel(image.dc, x, y) != MAGENTA && x >= 0 && y >= 0 &&
                                                        x < 64 && y < 48);
    EXPECT_EQ(0, wrong) << "pixels wrongly in or out of the region";
    DeleteObject(region);
    ReleaseMemorySurface(&image);
}

}  // namespace
