#include <gtest/gtest.h>

#include <stdio.h>

#include <algorithm>
#include <tuple>

#include "test_files.h"
#include "theme_check.h"

namespace {

const std::wstring ONE_PROBLEM = L"theme \"Lagoon\": 34 bitmaps checked, 1 problem";

std::wstring Size(int width, int height) { return std::to_wstring(width) + L" x " + std::to_wstring(height); }

// A copy of the bundled default theme to break; its theme file gives a 30-pixel bar,
// 24-pixel task buttons, a 100-pixel start button, an 80-pixel clock and a 400 x 390 menu.
class ThemeCheckTest : public ::testing::Test {
protected:
    void SetUp() override { CopyTree(SourcePath(L"themes\\default"), home.path()); }

    std::wstring Bitmap(const std::wstring& name) const { return home / (L"theme\\Lagoon\\" + name + L".bmp"); }

    // Each finding's line starts with the label of its kind and names its file.
    void ExpectCheck(int result, const std::vector<std::wstring>& lines, const std::wstring& summary,
                     const std::wstring& homeSuffix = L"")
    {
        const LPCWSTR labels[] = {L"ERROR    ", L"MISSING  ", L"UNREADABLE ", L"TOO SMALL ", L"WARNING  "};
        ThemeReport report;
        EXPECT_EQ(result, CheckTheme((home.path() + homeSuffix).c_str(), &report));
        std::vector<std::wstring> found;
        for (const ThemeFinding& finding : report.findings) {
            found.push_back(finding.line);
            EXPECT_EQ(0u, finding.line.find(labels[static_cast<int>(finding.kind)])) << ToUtf8(finding.line);
            EXPECT_NE(std::wstring::npos, finding.line.find(finding.path)) << ToUtf8(finding.line);
        }
        EXPECT_EQ(lines, found);
        EXPECT_EQ(summary, SummarizeThemeReport(report));
    }

    TempDirectory home;
};

TEST_F(ThemeCheckTest, BitmapsOfExactlyTheSizeTheThemeFileAsksForPassButNotOnePixelLess)
{
    ExpectCheck(0, {}, L"theme \"Lagoon\": 34 bitmaps checked, 0 problems");
    // The shell uses one column of TASKBAR and of the middles, and 4 columns of TBTND0.
    const struct { LPCWSTR name; int width, height, shortWidth, shortHeight; } sizes[] = {
        {L"TASKBAR", 1, 30, 8, 29},        {L"STARTBUTTONU", 100, 30, 99, 30}, {L"STARTBUTTOND", 100, 30, 100, 29},
        {L"TASKBARCLK", 80, 30, 79, 30},   {L"TBTNU0", 18, 24, 17, 24},        {L"TBTNU1", 1, 24, 1, 23},
        {L"TBTNU2", 4, 24, 3, 24},         {L"TBTND0", 4, 24, 3, 24},          {L"TBTND1", 1, 24, 1, 23},
        {L"TBTND2", 4, 24, 4, 23},         {L"STARTBACK", 400, 390, 399, 390}, {L"SIDE5U", 186, 24, 120, 24},
        {L"SIDE7D", 186, 24, 186, 23},     {L"EXITBTNU", 122, 30, 121, 30},    {L"EXITBTND", 122, 30, 122, 29},
        {L"ALLPROGRAMSU", 186, 24, 186, 23}, {L"MAINU", 186, 36, 186, 35},   {L"MAIND", 186, 36, 185, 36}};
    for (const auto& s : sizes) WriteBytes(Bitmap(s.name), BmpFile(s.width, s.height));
    ExpectCheck(0, {}, L"theme \"Lagoon\": 34 bitmaps checked, 0 problems");
    for (const auto& s : sizes) {
        WriteBytes(Bitmap(s.name), BmpFile(s.shortWidth, s.shortHeight));
        ExpectCheck(1, {L"TOO SMALL " + Bitmap(s.name) + L": is " + Size(s.shortWidth, s.shortHeight) +
                        L", needs at least " + Size(s.width, s.height)}, ONE_PROBLEM);
        WriteBytes(Bitmap(s.name), BmpFile(s.width, s.height));
    }
    // A taller bar and a wider menu; the home given with a trailing backslash.
    std::string theme = ReadBytes(home / L"settings\\Lagoon.theme");
    theme.replace(theme.find("Height=30"), 9, "Height=31");
    WriteBytes(home / L"settings\\Lagoon.theme", theme.replace(theme.find("Width=400"), 9, "Width=401"));
    ExpectCheck(1,
                {L"TOO SMALL " + Bitmap(L"TASKBAR") + L": is 1 x 30, needs at least 1 x 31",
                 L"TOO SMALL " + Bitmap(L"STARTBUTTONU") + L": is 100 x 30, needs at least 100 x 31",
                 L"TOO SMALL " + Bitmap(L"STARTBUTTOND") + L": is 100 x 30, needs at least 100 x 31",
                 L"TOO SMALL " + Bitmap(L"TASKBARCLK") + L": is 80 x 30, needs at least 80 x 31",
                 L"TOO SMALL " + Bitmap(L"STARTBACK") + L": is 400 x 390, needs at least 401 x 390"},
                L"theme \"Lagoon\": 34 bitmaps checked, 5 problems", L"\\");
}

TEST_F(ThemeCheckTest, EachMissingOrBrokenFileGivesOneLine)
{
    const std::wstring picture = home / L"settings\\user.bmp", sections = L", each with at least one Key=Value line",
                       noPicture = L"; the start menu shows the background instead";
    // The file, its new content (none: deleted), and the line's start and end around the path.
    const std::tuple<std::wstring, std::string, std::wstring, std::wstring> cases[] = {
        {Bitmap(L"SIDE3D"), "", L"MISSING  ", L": needs a BMP of at least 186 x 24"},
        {Bitmap(L"STARTBACK"), ReadBytes(Bitmap(L"STARTBACK")).substr(0, 2000), L"UNREADABLE ",
         L": not a complete BMP file"},
        {Bitmap(L"TASKBAR"), "GIF89a: not a bitmap, but long enough to hold the headers", L"UNREADABLE ",
         L": not a complete BMP file"},
        {picture, "", L"WARNING  ", L": user picture missing" + noPicture},
        {picture, "no picture here", L"WARNING  ", L": user picture not a complete BMP file" + noPicture},
        {home / L"settings\\Lagoon.theme", "", L"ERROR    Cannot load CFG: \"",
         L"\": the file must exist and hold [Theme], [Taskbar] and [Start]" + sections},
        {home / L"settings\\settings.cfg", "", L"ERROR    Cannot load CFG: \"",
         L"\": the file must exist and hold [Main], [Taskbar] and [Start]" + sections},
    };
    for (const auto& [file, bytes, label, detail] : cases) {
        const std::string original = ReadBytes(file);
        if (bytes.empty())
            DeleteFileW(file.c_str());
        else
            WriteBytes(file, bytes);
        const bool warning = label[0] == L'W', unloaded = label[0] == L'E';
        ExpectCheck(warning ? 0 : 1, {label + file + detail},
                    warning    ? L"theme \"Lagoon\": 34 bitmaps checked, 0 problems, 1 warning"
                    : unloaded ? L"settings not loaded: no bitmaps checked, 1 problem"
                               : ONE_PROBLEM);
        WriteBytes(file, original);
    }
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

TEST(ThemeCheckTool, ReportsABrokenCopyInUtf8AndFailsOrWithoutAHomeShowsUsage)
{
    TempDirectory temp;
    const std::wstring home = temp / L"テーマ";  // a name outside the code page
    CopyTree(SourcePath(L"themes\\default"), home);
    const std::wstring side = home + L"\\theme\\Lagoon\\SIDE3D.bmp";
    ASSERT_TRUE(DeleteFileW(side.c_str()));
    EXPECT_EQ(std::make_pair(1, ToUtf8(L"MISSING  " + side + L": needs a BMP of at least 186 x 24\n" + ONE_PROBLEM +
                                       L"\n")),
              RunTool(L" \"" + home + L"\""));
    EXPECT_EQ(std::make_pair(2, std::string()), RunTool(L"")) << "usage goes to stderr, not stdout";
}

}  // namespace
