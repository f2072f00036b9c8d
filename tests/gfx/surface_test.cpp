#include <gtest/gtest.h>

#include "gdi_count.h"
#include "gfx/surface.h"
#include "test_files.h"

namespace {

const COLORREF MAGENTA = RGB(255, 0, 255);

// Held for the life of the process.
const HDC screen = GetDC(NULL);

TEST(Surface, ThemeBitmapIsTheFileInTheScreensFormatAndTheKeyColorRegionHoldsThePixelsThatAreNotMagenta)
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
    // Alike down to one pixel; a frame drawn one pixel inside the rectangle, all round.
    MemorySurface same;
    ASSERT_EQ(0, LoadThemeBitmap(screen, folder.path().c_str(), L"TASKBARCLK", &same));
    EXPECT_TRUE(SurfacesLookAlike(surface, same));
    DrawFrame(same.dc, RECT{2, 3, 12, 9}, RGB(0, 0, 0));
    EXPECT_FALSE(SurfacesLookAlike(surface, same));
    int framed = 0;
    for (int y = 2; y <= 9; ++y)
        for (int x = 1; x <= 12; ++x) framed += GetPixel(same.dc, x, y) == RGB(0, 0, 0);
    EXPECT_EQ(2 * 10 + 2 * 4, framed);
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(same.dc, 11, 8));
    ReleaseMemorySurface(&same);
    ReleaseMemorySurface(&surface);
    EXPECT_EQ(before, CountGdiObjects());

    HDC gone = CreateCompatibleDC(screen);  // a reference that makes no surface
    DeleteDC(gone);
    EXPECT_EQ(1, LoadThemeBitmap(gone, folder.path().c_str(), L"TASKBARCLK", &surface));
    EXPECT_EQ(before, CountGdiObjects()) << "the loaded bitmap is given back when its surface cannot be made";

    // The key colour's region: every other pixel magenta, so the region is merged from many
    // rectangles; the others are blue or one step from magenta. A 32-bit picture whose fourth
    // bytes vary: only the colour counts.
    const COLORREF others[] = {RGB(0, 0, 255), RGB(254, 0, 255), RGB(255, 1, 255), RGB(255, 0, 254)};
    void* bits = nullptr;
    MemorySurface image = {CreateCompatibleDC(screen), CreatePixelBitmap(screen, 64, 48, &bits)};
    ASSERT_TRUE(image.dc && image.bitmap && SelectObject(image.dc, image.bitmap));
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {  // bottom-up rows of blue, green, red and the fourth byte
            const COLORREF color = (x + y) % 2 ? others[(x / 2 + y) % 4] : MAGENTA;
            static_cast<DWORD*>(bits)[(47 - y) * 64 + x] =
                (x * 37 + y) % 256 << 24 | RGB(GetBValue(color), GetGValue(color), GetRValue(color));
        }
    HRGN region = CreateKeyColorRegion(image.dc, image.bitmap, RGB(255, 0, 255));
    wrong = 0;
    for (int y = -1; y <= 48; ++y)
        for (int x = -1; x <= 64; ++x)
            wrong += bool(PtInRegion(region, x, y)) != (GetPixel(image.dc, x, y) != MAGENTA && x >= 0 && y >= 0 &&
                                                        x < 64 && y < 48);
    EXPECT_EQ(0, wrong) << "pixels wrongly in or out of the region";
    DeleteObject(region);
    ReleaseMemorySurface(&image);
}

}  // namespace
