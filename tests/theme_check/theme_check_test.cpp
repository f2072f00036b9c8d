#include <gtest/gtest.h>

#include <tuple>

#include "test_files.h"
#include "theme_check.h"

namespace {

const std::wstring CHECKED = L"theme \"Lagoon\": 34 bitmaps checked, ";

// A copy of the bundled default theme to break; its theme file gives a 30-pixel bar,
// 24-pixel task buttons, a 100-pixel start button, an 80-pixel clock and a 400 x 390 menu.
class ThemeCheckTest : public ::testing::Test {
protected:
    void SetUp() override { InstallDefaultHome(home.path()); }

    std::wstring Bitmap(const std::wstring& name) const { return home / (L"theme\\Lagoon\\" + name + L".bmp"); }

    void ExpectCheck(int result, const std::vector<std::wstring>& lines, const std::wstring& summary)
    {
        ThemeReport report;
        EXPECT_EQ(result, CheckTheme(home.path().c_str(), &report));
        std::vector<std::wstring> found;
        for (const ThemeFinding& finding : report.findings) found.push_back(finding.line);
        EXPECT_EQ(lines, found);
        EXPECT_EQ(summary, SummarizeThemeReport(report));
    }

    TempDirectory home;
};

TEST_F(ThemeCheckTest, BitmapsOfExactlyTheSizeTheThemeFileAsksForPassButNotOnePixelLess)
{
    // The shell uses one column of TASKBAR and of the middles, and 4 columns of TBTND0.
    const struct { LPCWSTR name; int width, height, shortWidth, shortHeight; } sizes[] = {
        {L"TASKBAR", 1, 30, 8, 29},  {L"STARTBUTTONU", 100, 30, 99, 30}, {L"TBTNU0", 18, 24, 17, 24},
        {L"TBTND0", 4, 24, 3, 24},   {L"STARTBACK", 400, 390, 399, 390}, {L"EXITBTND", 122, 30, 122, 29}};
    for (const auto& s : sizes) WriteBytes(Bitmap(s.name), BmpFile(s.width, s.height));
    ExpectCheck(0, {}, CHECKED + L"0 problems");
    for (const auto& s : sizes) {
        const std::string exact = ReadBytes(Bitmap(s.name));
        WriteBytes(Bitmap(s.name), BmpFile(s.shortWidth, s.shortHeight));
        ExpectCheck(1, {L"TOO SMALL " + Bitmap(s.name) + L": is " + std::to_wstring(s.shortWidth) + L" x " +
                        std::to_wstring(s.shortHeight) + L", needs at least " + std::to_wstring(s.width) + L" x " +
                        std::to_wstring(s.height)}, CHECKED + L"1 problem");
        WriteBytes(Bitmap(s.name), exact);
    }
}

TEST_F(ThemeCheckTest, EachMissingOrBrokenFileGivesOneLineAndOnlyWarningsPass)
{
    const std::wstring picture = home / L"settings\\user.bmp";
    const std::wstring noPicture = L"; the start menu shows the background instead";
    // The file, its new content (none: deleted), and the line's start and end around the path.
    const std::tuple<std::wstring, std::string, std::wstring, std::wstring> cases[] = {
        {Bitmap(L"SIDE3D"), "", L"MISSING  ", L": needs a BMP of at least 186 x 24"},
        {Bitmap(L"STARTBACK"), ReadBytes(Bitmap(L"STARTBACK")).substr(0, 2000), L"UNREADABLE ",
         L": not a complete BMP file"},
        {picture, "", L"WARNING  ", L": user picture missing" + noPicture},
        {picture, "no picture here", L"WARNING  ", L": user picture not a complete BMP file" + noPicture},
    };
    for (const auto& [file, bytes, label, detail] : cases) {
        const std::string original = ReadBytes(file);
        if (bytes.empty())
            DeleteFileW(file.c_str());
        else
            WriteBytes(file, bytes);
        const bool warning = label[0] == L'W';
        ExpectCheck(!warning, {label + file + detail}, CHECKED + (warning ? L"0 problems, 1 warning" : L"1 problem"));
        WriteBytes(file, original);
    }
}

}  // namespace
