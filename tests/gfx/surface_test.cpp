#include <gtest/gtest.h>

#include <strsafe.h>

#include <random>
#include <regex>
#include <string>

#include "config/shell_settings.h"
#include "core/shell.h"
#include "gdi_count.h"
#include "gfx/surface.h"
#include "test_files.h"

namespace {

// The text of a log line after its time and error code.
std::wstring LoggedText(const std::wstring& line)
{
    size_t code = line.find(L"] [ERROR:0x");
    size_t text = line.find(L"] ", code + 2);
    if (code == std::wstring::npos || text == std::wstring::npos) return L"(not an error line) " + line;
    return line.substr(text + 2);
}

std::wstring Hex(const void* handle)
{
    WCHAR text[16];
    StringCchPrintfW(text, 16, L"0x%08x", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(handle)));
    return text;
}

COLORREF PatternColor(int x, int y) { return RGB(x, y * 10, 255 - x); }

// A 24-bit bottom-up BMP file of the pattern.
std::string BitmapFile(int width, int height)
{
    const int stride = (width * 3 + 3) / 4 * 4;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + stride * height;
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    for (int y = height - 1; y >= 0; --y) {
        std::string row(stride, '\0');
        for (int x = 0; x < width; ++x) {
            COLORREF color = PatternColor(x, y);
            row[3 * x] = static_cast<char>(GetBValue(color));
            row[3 * x + 1] = static_cast<char>(GetGValue(color));
            row[3 * x + 2] = static_cast<char>(GetRValue(color));
        }
        bytes += row;
    }
    return bytes;
}

void ExpectSize(HBITMAP bitmap, int width, int height)
{
    BITMAP size = {};
    ASSERT_EQ(static_cast<int>(sizeof size), GetObjectW(bitmap, sizeof size, &size));
    EXPECT_EQ(width, size.bmWidth);
    EXPECT_EQ(height, size.bmHeight);
}

class ThemeBitmapSurface : public ::testing::Test {
protected:
    void SetUp() override
    {
        StringCchCopyW(HomeDirectory, HOME_DIRECTORY_CHARS, home.path().c_str());
        StringCchCopyW(Settings.themeDirectory, SETTING_NAME_CHARS, L"Test");
        MakeDirectories(themeFolder);
        ASSERT_EQ(0, CreateMemorySurface(screen, 800, 480, &reference));
    }
    void TearDown() override
    {
        ReleaseMemorySurface(&reference);
        ReleaseDC(NULL, screen);
    }

    // Loads a file that must be refused and checks the one line and the empty surface.
    void ExpectRefused(LPCWSTR name, const std::wstring& loggedPath)
    {
        capture.lines.clear();
        MemorySurface surface = {HDC(1), HBITMAP(1)};
        EXPECT_EQ(1, LoadThemeBitmap(reference.dc, name, &surface));
        EXPECT_EQ(nullptr, surface.dc);
        EXPECT_EQ(nullptr, surface.bitmap);
        ASSERT_EQ(1u, capture.lines.size());
        EXPECT_EQ(L"Cannot Load BMP - Path:\"" + loggedPath + L"\"", LoggedText(capture.lines[0]));
    }

    TempDirectory home;
    LogCapture capture;
    std::wstring themeFolder = home / L"theme\\Test";
    HDC screen = GetDC(NULL);
    MemorySurface reference = {};
};

TEST_F(ThemeBitmapSurface, HasTheImagesSizeAndPixelsWhateverTheReference)
{
    WriteBytes(themeFolder + L"\\TASKBARCLK.bmp", BitmapFile(186, 24));
    MemorySurface tiny;
    ASSERT_EQ(0, CreateMemorySurface(screen, 1, 1, &tiny));
    for (HDC referenceDc : {tiny.dc, reference.dc}) {
        MemorySurface surface;
        ASSERT_EQ(0, LoadThemeBitmap(referenceDc, L"TASKBARCLK", &surface));
        ExpectSize(surface.bitmap, 186, 24);
        EXPECT_EQ(surface.bitmap, GetCurrentObject(surface.dc, OBJ_BITMAP));
        int wrong = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 186; ++x)
                if (GetPixel(surface.dc, x, y) != PatternColor(x, y) && ++wrong <= 3)
                    ADD_FAILURE() << "pixel (" << x << "," << y << ") is " << std::hex << GetPixel(surface.dc, x, y);
        EXPECT_EQ(0, wrong);
        ReleaseMemorySurface(&surface);
    }
    ReleaseMemorySurface(&tiny);
    EXPECT_TRUE(capture.lines.empty());
}

TEST_F(ThemeBitmapSurface, MissingFileLogsTheFullPath)
{
    ExpectRefused(L"STARTBUTTONU", themeFolder + L"\\STARTBUTTONU.bmp");
    EXPECT_TRUE(std::regex_match(ToUtf8(capture.lines.at(0)), std::regex(R"(\[\d{8}\] \[ERROR:0x[0-9a-f]{8}\] .*)")))
        << ToUtf8(capture.lines[0]);
}

TEST_F(ThemeBitmapSurface, BrokenFilesAreRefusedLikeMissingOnes)
{
    std::string good = BitmapFile(186, 24);
    std::mt19937 random(7);
    std::string noise(3000, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    noise[0] = 'X';
    std::string wide = good;
    reinterpret_cast<BITMAPINFOHEADER*>(&wide[sizeof(BITMAPFILEHEADER)])->biWidth = 187;  // one row more than the file
    const std::pair<const wchar_t*, std::string> files[] = {
        {L"TRUNCATED", good.substr(0, good.size() / 2)},
        {L"HEADERONLY", good.substr(0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER))},
        {L"TOOWIDE", wide},
        {L"NOISE", noise},
        {L"PNG", std::string("\x89PNG\r\n\x1a\n", 8) + noise},
        {L"EMPTY", ""},
    };
    for (const auto& file : files) WriteBytes(themeFolder + L"\\" + file.first + L".bmp", file.second);
    MakeDirectories(themeFolder + L"\\FOLDER.bmp");

    int before = CountGdiObjects();
    for (const auto& file : files) {
        SCOPED_TRACE(ToUtf8(file.first));
        ExpectRefused(file.first, themeFolder + L"\\" + file.first + L".bmp");
    }
    ExpectRefused(L"FOLDER", themeFolder + L"\\FOLDER.bmp");
    EXPECT_EQ(before, CountGdiObjects());
}

TEST_F(ThemeBitmapSurface, PathBeyondTheBufferIsRefusedNotCut)
{
    // A home directory that makes the path 260 characters long, one more than fits.
    const std::wstring tail = L"\\theme\\Test\\STARTBUTTONU.bmp";
    std::wstring longHome = home.path() + L"\\" + std::wstring(MAX_PATH - tail.size() - home.path().size() - 1, L'h');
    std::wstring folder = longHome + L"\\theme\\Test";
    std::wstring path = longHome + tail;
    ASSERT_EQ(static_cast<size_t>(MAX_PATH), path.size());
    StringCchCopyW(HomeDirectory, HOME_DIRECTORY_CHARS, longHome.c_str());
    MakeDirectories(folder);
    WriteBytes(path.substr(0, MAX_PATH - 1), BitmapFile(4, 4));  // where a cut path would lead

    capture.lines.clear();
    MemorySurface surface;
    EXPECT_EQ(1, LoadThemeBitmap(reference.dc, L"STARTBUTTONU", &surface));
    EXPECT_EQ(nullptr, surface.dc);
    ASSERT_EQ(1u, capture.lines.size());
    std::wstring text = LoggedText(capture.lines[0]);
    EXPECT_EQ(0u, text.find(L"Cannot Load BMP - Path:\"" + folder)) << ToUtf8(text);
    EXPECT_EQ(L'"', text.back());
}

TEST_F(ThemeBitmapSurface, LoadsAndFailuresLeaveNoGdiObjects)
{
    WriteBytes(themeFolder + L"\\TBTNU0.bmp", BitmapFile(60, 24));
    MemorySurface surface;
    ASSERT_EQ(0, LoadThemeBitmap(reference.dc, L"TBTNU0", &surface));  // warms up the loader
    ReleaseMemorySurface(&surface);
    int before = CountGdiObjects();
    ASSERT_EQ(0, LoadThemeBitmap(reference.dc, L"TBTNU0", &surface));
    EXPECT_EQ(before + 2, CountGdiObjects()) << "the surface's DC and bitmap";
    ReleaseMemorySurface(&surface);
    EXPECT_EQ(nullptr, surface.dc);
    EXPECT_EQ(before, CountGdiObjects());

    capture.lines.clear();
    EXPECT_EQ(1, LoadThemeBitmap(NULL, L"TBTNU0", &surface)) << "no reference DC to make the surface from";
    EXPECT_EQ(nullptr, surface.bitmap);
    ASSERT_EQ(1u, capture.lines.size());
    EXPECT_EQ(L"Cannot Create CompatibleBitmap - DC:\"0x00000000\"", LoggedText(capture.lines[0]));
    EXPECT_EQ(before, CountGdiObjects());
}

TEST(MemorySurface, HasTheAskedSizeAndTheReferencesFormat)
{
    HDC screen = GetDC(NULL);
    const SIZE sizes[] = {{1, 1}, {186, 24}, {800, 480}};
    for (const SIZE& size : sizes) {
        int before = CountGdiObjects();
        MemorySurface surface;
        ASSERT_EQ(0, CreateMemorySurface(screen, size.cx, size.cy, &surface));
        ExpectSize(surface.bitmap, size.cx, size.cy);
        EXPECT_EQ(surface.bitmap, GetCurrentObject(surface.dc, OBJ_BITMAP));
        EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), GetDeviceCaps(surface.dc, BITSPIXEL));
        BITMAP format = {};
        GetObjectW(surface.bitmap, sizeof format, &format);
        EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), format.bmBitsPixel);
        ReleaseMemorySurface(&surface);
        EXPECT_EQ(nullptr, surface.dc);
        EXPECT_EQ(nullptr, surface.bitmap);
        EXPECT_EQ(before, CountGdiObjects());
    }
    ReleaseDC(NULL, screen);
}

TEST(MemorySurface, HugeSizeIsLoggedAndLeavesNothing)
{
    LogCapture capture;
    HDC screen = GetDC(NULL);
    int before = CountGdiObjects();
    MemorySurface surface = {HDC(1), HBITMAP(1)};
    EXPECT_EQ(1, CreateMemorySurface(screen, 0x10000, 0x10000, &surface));
    EXPECT_EQ(nullptr, surface.dc);
    EXPECT_EQ(nullptr, surface.bitmap);
    EXPECT_EQ(before, CountGdiObjects());
    ASSERT_EQ(1u, capture.lines.size());
    EXPECT_EQ(L"Cannot Create CompatibleBitmap - DC:\"" + Hex(screen) + L"\"", LoggedText(capture.lines[0]));
    ReleaseDC(NULL, screen);
}

TEST(SurfaceText, DrawsOnlyInsideItsRectangle)
{
    HDC screen = GetDC(NULL);
    // A font taller than the rectangle and a text wider than it, so both edges are tried.
    HFONT font = CreateFontW(-40, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0,
                             L"Tahoma");
    const SIZE sizes[] = {{186, 24}, {220, 48}};
    for (const SIZE& size : sizes)
        for (UINT format : {0x40004u, 0x40005u, 0x40006u}) {
            SCOPED_TRACE(testing::Message() << size.cx << "x" << size.cy << " format " << std::hex << format);
            MemorySurface surface;
            ASSERT_EQ(0, CreateMemorySurface(screen, size.cx, size.cy, &surface));
            RECT all = {0, 0, size.cx, size.cy};
            FillRect(surface.dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            HGDIOBJ oldFont = SelectObject(surface.dc, font);
            SetTextColor(surface.dc, RGB(0, 0, 0));
            SetBkColor(surface.dc, RGB(0, 0, 255));
            SetBkMode(surface.dc, OPAQUE);
            DrawTextInRect(surface.dc, L"Wide Words Wander Well Wide", 30, 0, 186, 24, format);
            int inside = 0, outside = 0;
            for (int y = 0; y < size.cy; ++y)
                for (int x = 0; x < size.cx; ++x) {
                    if (GetPixel(surface.dc, x, y) == RGB(255, 255, 255)) continue;
                    bool within = x >= 30 && x <= 185 && y <= 23;
                    ++(within ? inside : outside);
                }
            EXPECT_GT(inside, 200) << "the text is drawn";
            EXPECT_EQ(0, outside) << "pixels drawn outside x 30..185, y 0..23";
            SelectObject(surface.dc, oldFont);
            ReleaseMemorySurface(&surface);
        }
    DeleteObject(font);
    ReleaseDC(NULL, screen);
}

}  // namespace
