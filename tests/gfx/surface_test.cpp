#include <gtest/gtest.h>

#include <strsafe.h>

#include <string>
#include <vector>

#include "config/shell_settings.h"
#include "core/shell.h"
#include "gdi_count.h"
#include "gfx/surface.h"
#include "pixel_image.h"
#include "test_files.h"

namespace {

// The text of an error line after its time and error code; any other line comes out wrong.
std::wstring LoggedText(const std::wstring& line) { return line.substr(line.find(L"] ", line.find(L"[ERROR:")) + 2); }

// A 24-bit bottom-up BMP file whose pixel (x, y) is RGB(x, 10 * y, 255 - x).
std::string BitmapFile(int width, int height)
{
    const DWORD stride = (width * 3 + 3) / 4 * 4, offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    BITMAPFILEHEADER file = {0x4D42, offset + stride * height, 0, 0, offset};
    BITMAPINFOHEADER info = {sizeof info, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::string bytes = std::string(reinterpret_cast<const char*>(&file), sizeof file) +
                        std::string(reinterpret_cast<const char*>(&info), sizeof info);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) bytes += {char(255 - x), char(y * 10), char(x)};  // blue, green, red
        bytes.append(stride - 3 * width, '\0');
    }
    return bytes;
}

// Width, height and bits per pixel.
std::vector<LONG> Shape(HBITMAP bitmap)
{
    BITMAP info = {};
    GetObjectW(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight, info.bmBitsPixel};
}

class ThemeBitmapSurface : public ::testing::Test {
protected:
    void SetUp() override
    {
        StringCchCopyW(HomeDirectory, HOME_DIRECTORY_CHARS, home.path().c_str());
        StringCchCopyW(Settings.themeDirectory, SETTING_NAME_CHARS, L"Test");
        MakeDirectories(themeFolder);
    }
    void TearDown() override { ReleaseDC(NULL, screen); }

    // A load that must fail: 1, an empty surface and the one line logged.
    void ExpectRefused(HDC referenceDc, LPCWSTR name, const std::wstring& loggedText)
    {
        capture.lines.clear();
        MemorySurface surface = {HDC(1), HBITMAP(1)};
        EXPECT_EQ(1, LoadThemeBitmap(referenceDc, name, &surface));
        EXPECT_TRUE(!surface.dc && !surface.bitmap) << "the surface is left empty";
        ASSERT_EQ(1u, capture.lines.size());
        EXPECT_EQ(loggedText, LoggedText(capture.lines[0]));
    }

    TempDirectory home;
    LogCapture capture;
    std::wstring themeFolder = home / L"theme\\Test";
    HDC screen = GetDC(NULL);
};

TEST_F(ThemeBitmapSurface, HasTheImagesSizeAndPixelsWhateverTheReferenceAndLeavesNoGdiObjects)
{
    WriteBytes(themeFolder + L"\\TASKBARCLK.bmp", BitmapFile(186, 24));
    MemorySurface tiny, surface;
    ASSERT_EQ(0, CreateMemorySurface(screen, 1, 1, &tiny));
    ASSERT_EQ(0, LoadThemeBitmap(screen, L"TASKBARCLK", &surface));  // warms up the loader
    ReleaseMemorySurface(&surface);
    int before = CountGdiObjects();
    for (HDC referenceDc : {tiny.dc, screen}) {
        ASSERT_EQ(0, LoadThemeBitmap(referenceDc, L"TASKBARCLK", &surface));
        EXPECT_EQ((std::vector<LONG>{186, 24, GetDeviceCaps(screen, BITSPIXEL)}), Shape(surface.bitmap));
        int wrong = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 186; ++x) wrong += GetPixel(surface.dc, x, y) != RGB(x, y * 10, 255 - x);
        EXPECT_EQ(0, wrong) << "pixels unlike the file's";
        ReleaseMemorySurface(&surface);
    }
    EXPECT_TRUE(capture.lines.empty());
    ExpectRefused(NULL, L"TASKBARCLK", L"Cannot Create CompatibleBitmap - DC:\"0x00000000\"");
    EXPECT_EQ(before, CountGdiObjects()) << "the loads and the failure leave nothing behind";
    ReleaseMemorySurface(&tiny);
}

TEST_F(ThemeBitmapSurface, MissingBrokenAndTooLongPathsAreRefusedAndLogged)
{
    std::string good = BitmapFile(186, 24), wide = good;
    reinterpret_cast<BITMAPINFOHEADER*>(&wide[sizeof(BITMAPFILEHEADER)])->biWidth = 187;  // rows longer than the file
    const std::pair<LPCWSTR, std::string> files[] = {
        {L"TRUNCATED", good.substr(0, good.size() / 2)}, {L"HEADERONLY", good.substr(0, 54)}, {L"TOOWIDE", wide},
        {L"PNG", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(3000, 'x')}, {L"EMPTY", ""}};
    for (const auto& file : files) WriteBytes(themeFolder + L"\\" + file.first + L".bmp", file.second);
    MakeDirectories(themeFolder + L"\\FOLDER.bmp");
    for (LPCWSTR name : {L"MISSING", L"TRUNCATED", L"HEADERONLY", L"TOOWIDE", L"PNG", L"EMPTY", L"FOLDER"}) {
        SCOPED_TRACE(ToUtf8(name));
        ExpectRefused(screen, name, L"Cannot Load BMP - Path:\"" + themeFolder + L"\\" + name + L".bmp\"");
    }

    // A home directory that makes the path 260 characters long, one more than fits.
    const std::wstring tail = L"\\theme\\Test\\STARTBUTTONU.bmp";
    const std::wstring longHome = home / std::wstring(MAX_PATH - tail.size() - home.path().size() - 1, L'h');
    const std::wstring cut = (longHome + tail).substr(0, MAX_PATH - 1);  // where a cut path would lead
    ASSERT_EQ(static_cast<size_t>(MAX_PATH), (longHome + tail).size());
    StringCchCopyW(HomeDirectory, HOME_DIRECTORY_CHARS, longHome.c_str());
    MakeDirectories(longHome + L"\\theme\\Test");
    WriteBytes(cut, BitmapFile(4, 4));
    ExpectRefused(screen, L"STARTBUTTONU", L"Cannot Load BMP - Path:\"" + cut + L"\"");
}

TEST(MemorySurface, HasTheAskedSizeAndFormatOrLogsAndLeavesNothing)
{
    LogCapture capture;
    HDC screen = GetDC(NULL);
    int before = CountGdiObjects();
    MemorySurface surface;
    ASSERT_EQ(0, CreateMemorySurface(screen, 800, 480, &surface));
    EXPECT_EQ((std::vector<LONG>{800, 480, GetDeviceCaps(screen, BITSPIXEL)}), Shape(surface.bitmap));
    EXPECT_EQ(surface.bitmap, GetCurrentObject(surface.dc, OBJ_BITMAP));
    ReleaseMemorySurface(&surface);
    EXPECT_TRUE(!surface.dc && !surface.bitmap) << "the surface is left empty";

    surface = {HDC(1), HBITMAP(1)};
    EXPECT_EQ(1, CreateMemorySurface(screen, 0x10000, 0x10000, &surface));
    EXPECT_TRUE(!surface.dc && !surface.bitmap) << "the surface is left empty";
    EXPECT_EQ(before, CountGdiObjects());
    WCHAR expected[64];
    StringCchPrintfW(expected, 64, L"Cannot Create CompatibleBitmap - DC:\"0x%08x\"", unsigned(UINT_PTR(screen)));
    ASSERT_EQ(1u, capture.lines.size());
    EXPECT_EQ(expected, LoggedText(capture.lines[0]));
    ReleaseDC(NULL, screen);
}

TEST(SurfaceText, DrawsOnlyInsideItsRectangle)
{
    // A font taller than the rectangle and a text wider than it, so every edge is tried.
    HFONT font = CreateFontW(-40, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0,
                             L"Tahoma");
    for (UINT format : {0x40004u, 0x40005u, 0x40006u}) {
        PixelImage image(220, 48, 0xFFFFFF);
        SelectObject(image.dc(), font);
        SetBkColor(image.dc(), RGB(0, 0, 255));
        DrawTextInRect(image.dc(), L"Wide Words Wander Well Wide", 30, 0, 186, 24, format);
        GdiFlush();
        int inside = 0, outside = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if ((image.at(x, y) & 0xFFFFFF) != 0xFFFFFF) ++(x >= 30 && x <= 185 && y <= 23 ? inside : outside);
        EXPECT_GT(inside, 200) << "the text is drawn, format " << std::hex << format;
        EXPECT_EQ(0, outside) << "pixels drawn outside x 30..185, y 0..23, format " << std::hex << format;
    }
    DeleteObject(font);
}

}  // namespace
