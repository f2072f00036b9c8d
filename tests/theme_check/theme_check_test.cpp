#include <gtest/gtest.h>

#include <stdio.h>

#include <algorithm>

#include "test_files.h"
#include "theme_check.h"

namespace {

// A 24-bit uncompressed BMP of the given size, every pixel the same grey.
std::string Bitmap24(int width, int height)
{
    const DWORD pixels = (width * 3 + 3) / 4 * 4 * height, offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    BITMAPFILEHEADER file = {0x4D42, offset + pixels, 0, 0, offset};
    BITMAPINFOHEADER info = {sizeof info, width, height, 1, 24, BI_RGB, pixels, 0, 0, 0, 0};
    return std::string(reinterpret_cast<const char*>(&file), sizeof file) +
           std::string(reinterpret_cast<const char*>(&info), sizeof info) + std::string(pixels, '\x80');
}

// A copy of the bundled default theme to break; its theme file gives a 30-pixel bar,
// 24-pixel task buttons, a 100-pixel start button, an 80-pixel clock and a 400 x 390 menu.
class ThemeCheckTest : public ::testing::Test {
protected:
    void SetUp() override { CopyTree(SourcePath(L"themes\\default"), home.path()); }

    std::wstring Bitmap(const std::wstring& name) const { return home / (L"theme\\Lagoon\\" + name + L".bmp"); }

    int Check(const std::wstring& homeSuffix = L"")
    {
        int result = CheckTheme((home.path() + homeSuffix).c_str(), &report);
        lines.clear();
        for (const ThemeFinding& finding : report.findings) lines.push_back(finding.line);
        return result;
    }
    // The check fails on one problem of the kind, on the file, with the line's start and end
    // around its path, and goes on through all 34 bitmaps.
    void ExpectOneProblem(ThemeProblem kind, const std::wstring& path, LPCWSTR start, const std::wstring& end)
    {
        EXPECT_EQ(1, Check());
        EXPECT_EQ(std::vector<std::wstring>{start + path + end}, lines);
        ASSERT_EQ(1u, report.findings.size());
        EXPECT_EQ(kind, report.findings[0].kind);
        EXPECT_EQ(path, report.findings[0].path);
        EXPECT_EQ(L"theme \"Lagoon\": 34 bitmaps checked, 1 problem", SummarizeThemeReport(report));
    }

    TempDirectory home;
    ThemeReport report;
    std::vector<std::wstring> lines;
};

TEST_F(ThemeCheckTest, DefaultThemeAndBitmapsOfExactlyTheCopiedSizePassButNotOnePixelLess)
{
    EXPECT_EQ(0, Check());
    EXPECT_EQ(L"theme \"Lagoon\": 34 bitmaps checked, 0 problems", SummarizeThemeReport(report));
    // The shell uses one column of TASKBAR and of the middles, and 4 columns of TBTND0.
    const struct { LPCWSTR name; int width, height, shortWidth, shortHeight; } sizes[] = {
        {L"TASKBAR", 1, 30, 8, 29},        {L"STARTBUTTONU", 100, 30, 99, 30}, {L"STARTBUTTOND", 100, 30, 100, 29},
        {L"TASKBARCLK", 80, 30, 79, 30},   {L"TBTNU0", 18, 24, 17, 24},        {L"TBTNU1", 1, 24, 1, 23},
        {L"TBTNU2", 4, 24, 3, 24},         {L"TBTND0", 4, 24, 3, 24},          {L"TBTND1", 1, 24, 1, 23},
        {L"TBTND2", 4, 24, 4, 23},         {L"STARTBACK", 400, 390, 399, 390}, {L"SIDE5U", 186, 24, 120, 24},
        {L"SIDE7D", 186, 24, 186, 23},     {L"EXITBTNU", 122, 30, 121, 30},    {L"EXITBTND", 122, 30, 122, 29},
        {L"ALLPROGRAMSU", 186, 24, 186, 23}, {L"MAINU", 186, 36, 186, 35},   {L"MAIND", 186, 36, 185, 36}};
    for (const auto& s : sizes) WriteBytes(Bitmap(s.name), Bitmap24(s.width, s.height));
    EXPECT_EQ(0, Check());
    EXPECT_EQ(std::vector<std::wstring>{}, lines);
    auto size = [](int width, int height) { return std::to_wstring(width) + L" x " + std::to_wstring(height); };
    for (const auto& s : sizes) {
        WriteBytes(Bitmap(s.name), Bitmap24(s.shortWidth, s.shortHeight));
        ExpectOneProblem(ThemeProblem::TooSmall, Bitmap(s.name), L"TOO SMALL ",
                         L": is " + size(s.shortWidth, s.shortHeight) + L", needs at least " + size(s.width, s.height));
        WriteBytes(Bitmap(s.name), Bitmap24(s.width, s.height));
    }
}

TEST_F(ThemeCheckTest, MissingOrUnreadableBitmapFailsWithOneLine)
{
    const std::string startBack = ReadBytes(Bitmap(L"STARTBACK"));
    ASSERT_TRUE(DeleteFileW(Bitmap(L"SIDE3D").c_str()));
    ExpectOneProblem(ThemeProblem::Missing, Bitmap(L"SIDE3D"), L"MISSING  ", L": needs a BMP of at least 186 x 24");
    WriteBytes(Bitmap(L"SIDE3D"), Bitmap24(186, 24));
    WriteBytes(Bitmap(L"STARTBACK"), startBack.substr(0, 2000));
    ExpectOneProblem(ThemeProblem::Unreadable, Bitmap(L"STARTBACK"), L"UNREADABLE ", L": not a complete BMP file");
    WriteBytes(Bitmap(L"STARTBACK"), startBack);
    WriteBytes(Bitmap(L"TASKBAR"), "GIF89a: not a bitmap at all, but long enough to hold the headers");
    ExpectOneProblem(ThemeProblem::Unreadable, Bitmap(L"TASKBAR"), L"UNREADABLE ", L": not a complete BMP file");
}

TEST_F(ThemeCheckTest, SizesFollowTheThemeFileAndATrailingBackslashOfTheHomeIsDropped)
{
    std::string theme = ReadBytes(home / L"settings\\Lagoon.theme");
    theme.replace(theme.find("Height=30"), 9, "Height=31");
    theme.replace(theme.find("Width=400"), 9, "Width=401");
    WriteBytes(home / L"settings\\Lagoon.theme", theme);
    EXPECT_EQ(1, Check(L"\\"));
    const std::vector<std::wstring> expected = {
        L"TOO SMALL " + Bitmap(L"TASKBAR") + L": is 8 x 30, needs at least 1 x 31",
        L"TOO SMALL " + Bitmap(L"STARTBUTTONU") + L": is 100 x 30, needs at least 100 x 31",
        L"TOO SMALL " + Bitmap(L"STARTBUTTOND") + L": is 100 x 30, needs at least 100 x 31",
        L"TOO SMALL " + Bitmap(L"TASKBARCLK") + L": is 80 x 30, needs at least 80 x 31",
        L"TOO SMALL " + Bitmap(L"STARTBACK") + L": is 400 x 390, needs at least 401 x 390",
    };
    EXPECT_EQ(expected, lines);
}

TEST_F(ThemeCheckTest, BrokenUserPictureIsOnlyAWarning)
{
    const std::wstring picture = home / L"settings\\user.bmp";
    ASSERT_TRUE(DeleteFileW(picture.c_str()));
    for (LPCWSTR why : {L"user picture missing", L"user picture not a complete BMP file"}) {
        EXPECT_EQ(0, Check()) << ToUtf8(why);
        const std::wstring line = L"WARNING  " + picture + L": " + why;
        EXPECT_EQ(std::vector<std::wstring>{line + L"; the start menu shows the background instead"}, lines);
        EXPECT_EQ(L"theme \"Lagoon\": 34 bitmaps checked, 0 problems, 1 warning", SummarizeThemeReport(report));
        WriteBytes(picture, "no picture here");  // for the second round
    }
}

TEST_F(ThemeCheckTest, MissingThemeFileGivesTheShellsReason)
{
    const std::wstring themeFile = home / L"settings\\Lagoon.theme";
    ASSERT_TRUE(DeleteFileW(themeFile.c_str()));
    EXPECT_EQ(1, Check());
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(ThemeProblem::SettingsUnloadable, report.findings[0].kind);
    EXPECT_EQ(themeFile, report.findings[0].path);
    EXPECT_EQ(0u, lines[0].find(L"ERROR    Cannot load CFG: \"" + themeFile + L"\": ")) << ToUtf8(lines[0]);
    EXPECT_NE(std::wstring::npos, lines[0].find(L"[Theme], [Taskbar] and [Start]")) << ToUtf8(lines[0]);
    EXPECT_EQ(L"settings not loaded: no bitmaps checked, 1 problem", SummarizeThemeReport(report));
}

// Runs the checker, found from this executable's folder, with the arguments: its exit
// code and what it wrote to stdout.
std::pair<int, std::string> RunTool(const std::wstring& arguments)
{
    WCHAR self[MAX_PATH];
    std::wstring tool(self, GetModuleFileNameW(NULL, self, MAX_PATH));
    tool = tool.substr(0, tool.rfind(L'\\') + 1) + FromUtf8(THEME_CHECK_FROM_TESTS "/zorv-theme-check.exe");
    std::replace(tool.begin(), tool.end(), L'/', L'\\');
    // The command interpreter drops the outer quotes.
    FILE* pipe = _wpopen((L"\"\"" + tool + L"\"" + arguments + L"\"").c_str(), L"rb");
    std::string output;
    char buffer[512];
    for (size_t read; pipe && (read = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, read);
    return {pipe ? _pclose(pipe) : -1, output};
}

TEST(ThemeCheckTool, ReportsABrokenCopyInUtf8AndFails)
{
    TempDirectory temp;
    const std::wstring home = temp / L"テーマ";  // a name outside the code page
    CopyTree(SourcePath(L"themes\\default"), home);
    const std::wstring side = home + L"\\theme\\Lagoon\\SIDE3D.bmp";
    ASSERT_TRUE(DeleteFileW(side.c_str()));
    EXPECT_EQ(std::make_pair(1, ToUtf8(L"MISSING  " + side + L": needs a BMP of at least 186 x 24\n"
                                       L"theme \"Lagoon\": 34 bitmaps checked, 1 problem\n")),
              RunTool(L" \"" + home + L"\""));
}

TEST(ThemeCheckTool, WithoutAHomeShowsUsage)
{
    EXPECT_EQ(std::make_pair(2, std::string()), RunTool(L"")) << "usage goes to stderr, not stdout";
}

}  // namespace
