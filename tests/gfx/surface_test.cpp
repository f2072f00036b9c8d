#include <gtest/gtest.h>

#include <strsafe.h>

#include <functional>

#include "config/shell_settings.h"
#include "gdi_count.h"
#include "gfx/surface.h"
#include "pixel_image.h"
#include "test_files.h"

namespace {

int LoadFromThemeFolder(HDC reference, const std::wstring& folder, LPCWSTR name, MemorySurface* surface)
{
    return LoadThemeBitmap(reference, folder.c_str(), name, surface);
}

// Width, height and bits per pixel.
std::vector<LONG> Shape(HBITMAP bitmap)
{
    BITMAP info = {};
    GetObjectW(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight, info.bmBitsPixel};
}

// A call that must fail: 1, an empty surface, no GDI object left, and the one error line
// logged, given here without its time and error code.
void ExpectRefused(const std::function<int(MemorySurface*)>& make, const std::wstring& logged)
{
    LogCapture capture;
    const int before = CountGdiObjects();
    MemorySurface surface = {HDC(1), HBITMAP(1)};
    EXPECT_EQ(1, make(&surface));
    EXPECT_TRUE(!surface.dc && !surface.bitmap) << "the surface is left empty";
    EXPECT_EQ(before, CountGdiObjects());
    ASSERT_EQ(1u, capture.lines.size());
    EXPECT_EQ(logged, capture.lines[0].substr(capture.lines[0].find(L"] ", capture.lines[0].find(L"[ERROR:")) + 2));
}

class Surface : public ::testing::Test {
protected:
    void SetUp() override { MakeDirectories(folder); }
    void TearDown() override { ReleaseDC(NULL, screen); }

    HDC screen = GetDC(NULL);
    TempDirectory home;
    std::wstring folder = home / L"theme\\Test";
};

TEST_F(Surface, SurfacesHaveTheirSizeAndPixelsInTheReferencesFormatAndLeaveNothingBehind)
{
    LogCapture capture;
    MemorySurface tiny, surface;
    ASSERT_EQ(0, CreateMemorySurface(screen, 1, 1, &tiny));
    EXPECT_EQ((std::vector<LONG>{1, 1, GetDeviceCaps(screen, BITSPIXEL)}), Shape(tiny.bitmap));
    EXPECT_EQ(tiny.bitmap, GetCurrentObject(tiny.dc, OBJ_BITMAP));
    WriteBytes(folder + L"\\TASKBARCLK.bmp", BmpFile(186, 24));
    ASSERT_EQ(0, LoadFromThemeFolder(screen, folder, L"TASKBARCLK", &surface));  // warms up the loader
    ReleaseMemorySurface(&surface);
    const int before = CountGdiObjects();
    for (HDC reference : {tiny.dc, screen}) {
        ASSERT_EQ(0, LoadFromThemeFolder(reference, folder, L"TASKBARCLK", &surface));
        EXPECT_EQ((std::vector<LONG>{186, 24, GetDeviceCaps(screen, BITSPIXEL)}), Shape(surface.bitmap));
        int wrong = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 186; ++x) wrong += GetPixel(surface.dc, x, y) != RGB(x, y * 10, 255 - x);
        EXPECT_EQ(0, wrong) << "pixels unlike the file's";
        ReleaseMemorySurface(&surface);
    }
    EXPECT_EQ(before, CountGdiObjects());
    EXPECT_TRUE(capture.lines.empty());
    ReleaseMemorySurface(&tiny);
    EXPECT_TRUE(!tiny.dc && !tiny.bitmap) << "the surface is left empty";

    WCHAR logged[64];
    StringCchPrintfW(logged, 64, L"Cannot Create CompatibleBitmap - DC:\"0x%08x\"", unsigned(UINT_PTR(screen)));
    ExpectRefused([&](MemorySurface* s) { return CreateMemorySurface(screen, 0x10000, 0x10000, s); }, logged);
    ExpectRefused([&](MemorySurface* s) { return LoadFromThemeFolder(NULL, folder, L"TASKBARCLK", s); },
                  L"Cannot Create CompatibleBitmap - DC:\"0x00000000\"");
}

TEST_F(Surface, ThemeBitmapsThatAreMissingBrokenOrTooLongANameAreRefused)
{
    const std::string good = BmpFile(186, 24);
    auto patched = [&](size_t at, LONG value) {
        std::string bytes = good;
        memcpy(&bytes[at], &value, sizeof value);
        return bytes;
    };
    // A folder that makes the path 260 characters long, one more than fits; cut, it would
    // name another file.
    const std::wstring longFolder = home / (std::wstring(MAX_PATH - 29 - home.path().size(), L'h') + L"\\theme\\Test");
    const std::wstring cut = longFolder + L"\\STARTBUTTONU.bm";
    ASSERT_EQ(static_cast<size_t>(MAX_PATH - 1), cut.size());
    MakeDirectories(longFolder);
    WriteBytes(cut, BmpFile(4, 4));
    ExpectRefused([&](MemorySurface* s) { return LoadFromThemeFolder(screen, longFolder, L"STARTBUTTONU", s); },
                  L"Cannot Load BMP - Path:\"" + cut + L"\"");
    const std::pair<LPCWSTR, std::string> files[] = {
        {L"TRUNCATED", good.substr(0, good.size() / 2)},
        {L"HEADERONLY", good.substr(0, 54)},
        {L"TOOWIDE", patched(sizeof(BITMAPFILEHEADER) + offsetof(BITMAPINFOHEADER, biWidth), 187)},
        {L"PNG", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(3000, 'x')},
        {L"EMPTY", ""},
        // Pixels said to start inside the headers.
        {L"PIXELSAT53", patched(offsetof(BITMAPFILEHEADER, bfOffBits), 53)},
        {L"PIXELSAT2", patched(offsetof(BITMAPFILEHEADER, bfOffBits), 2)},
    };
    MakeDirectories(folder + L"\\FOLDER.bmp");
    std::vector<LPCWSTR> names = {L"MISSING", L"FOLDER"};
    for (const auto& file : files) {
        WriteBytes(folder + L"\\" + file.first + L".bmp", file.second);
        names.push_back(file.first);
    }
    for (LPCWSTR name : names) {
        SCOPED_TRACE(ToUtf8(name));
        ExpectRefused([&](MemorySurface* s) { return LoadFromThemeFolder(screen, folder, name, s); },
                      L"Cannot Load BMP - Path:\"" + folder + L"\\" + name + L".bmp\"");
    }
}

TEST(SurfaceText, DrawsOnlyInsideItsRectangle)
{
    // A font taller than the rectangle and a text wider than it, so every edge is tried.
    HFONT font = CreateFontW(-40, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0,
                             L"Tahoma");
    for (UINT format : {DT_LEFT, DT_CENTER, DT_RIGHT}) {
        PixelImage image(220, 48, 0xFFFFFF);
        SelectObject(image.dc(), font);
        SetBkColor(image.dc(), RGB(0, 0, 255));  // the opaque background must stay inside too
        DrawTextInRect(image.dc(), L"Wide Words Wander Well Wide", 30, 0, 186, 24,
                       format | DT_VCENTER | DT_WORD_ELLIPSIS);
        GdiFlush();
        int inside = 0, outside = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if ((image.at(x, y) & 0xFFFFFF) != 0xFFFFFF) ++(x >= 30 && x <= 185 && y <= 23 ? inside : outside);
        EXPECT_GT(inside, 200) << "the text is drawn, format " << format;
        EXPECT_EQ(0, outside) << "pixels drawn outside x 30..185, y 0..23, format " << format;
    }
    DeleteObject(font);
}

// The region holds exactly the pixels of the image that are not magenta, and it is the only
// GDI object the call leaves.
void ExpectKeyColorRegion(HDC imageDc, HBITMAP imageBitmap)
{
    BITMAP size = {};
    GetObjectW(imageBitmap, sizeof size, &size);
    const int width = size.bmWidth, height = size.bmHeight;
    PixelImage copy(width, height), filled(width, height);
    BitBlt(copy.dc(), 0, 0, width, height, imageDc, 0, 0, SRCCOPY);
    DeleteObject(CreateKeyColorRegion(imageDc, imageBitmap));  // Wine keeps a few objects after a first use
    const int before = CountGdiObjects();
    HRGN region = CreateKeyColorRegion(imageDc, imageBitmap);
    EXPECT_EQ(before + 1, CountGdiObjects());
    FillRgn(filled.dc(), region, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    GdiFlush();
    int wrong = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) wrong += (filled.at(x, y) != 0) == copy.IsKeyColored(x, y);
    EXPECT_EQ(0, wrong) << "pixels wrongly in or out of the region";
    RECT box;
    GetRgnBox(region, &box);
    EXPECT_TRUE(box.left >= 0 && box.top >= 0 && box.right <= width && box.bottom <= height) << "outside the image";
    DeleteObject(region);
}

TEST(KeyColorRegion, HoldsExactlyThePixelsThatAreNotMagenta)
{
    // '#' magenta, '.' opaque; 'a' and 'b' magenta with the unused fourth byte set; '1' to '4' near magenta.
    const std::string keys = "#.ab1234";
    const DWORD colors[] = {MAGENTA_PIXEL, 0x00204060, 0xFFFF00FF, 0x80FF00FF,
                            0x00F800F8,    0x00FF01FF, 0x00FE00FF, 0x00FF00FE};
    const std::vector<std::vector<std::string>> pictures = {
        {".......", "......."}, {"#####", "#####"}, {"........", ".....###", "#......."},
        {".....", ".....", "..#..", ".....", "....."}, {"####.", "#####", "#####", "#.###"},
        {"1234", "####"}, {"a..", "..b"}};
    for (const auto& rows : pictures) {
        PixelImage image(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) image.at(x, y) = colors[keys.find(rows[y][x])];
        SCOPED_TRACE(rows[0]);
        ExpectKeyColorRegion(image.dc(), image.bitmap());
    }
    for (int cell : {1, 4}) {  // a region of many rectangles, merged in many steps
        PixelImage image(400, 390);
        DrawCheckerboard(image, cell);
        SCOPED_TRACE(cell);
        ExpectKeyColorRegion(image.dc(), image.bitmap());
    }
    // The default start menu, in the screen's format rather than a DIB section's.
    HDC screen = GetDC(NULL);
    MemorySurface menu;
    ASSERT_EQ(0, LoadFromThemeFolder(screen, SourcePath(L"themes\\default\\theme\\Lagoon"), L"STARTBACK", &menu));
    ExpectKeyColorRegion(menu.dc, menu.bitmap);
    ReleaseMemorySurface(&menu);
    ReleaseDC(NULL, screen);
}

}  // namespace
