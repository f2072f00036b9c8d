#include <gtest/gtest.h>

#include "test_files.h"
#include "config/shell_settings.h"
#include "theme/theme_check.h"

namespace {

const std::wstring CHECKED = L"theme \"Lagoon\": 40 bitmaps checked, ";

// A copy of the bundled default theme to break; its theme file gives a 30-pixel bar,
// 24-pixel task buttons, a 100-pixel start button, an 80-pixel clock and a 400 x 390 menu.
class ThemeCheckTest : public ::testing::Test {
protected:
    void SetUp() override { InstallDefaultHome(home.path()); }

    std::wstring Bitmap(const std::wstring& name) const { return home / (L"theme\\Lagoon\\" + name + L".bmp"); }

    // With the file holding bytes (none: deleted), the check finds the one line label, file,
    // detail and fails unless that is a warning. The file is put back after.
    void ExpectOneLine(const std::wstring& file, const std::string& bytes, const std::wstring& label,
                       const std::wstring& detail)
    {
        const std::string original = ReadBytes(file);
        DeleteFileW(file.c_str());
        if (!bytes.empty()) WriteBytes(file, bytes);
        const bool warning = label[0] == L'W';
        ThemeReport report;
        EXPECT_EQ(warning ? 0 : 1, CheckTheme(home.path().c_str(), &report));
        // The summary counts the findings, so the line is the only one.
        EXPECT_EQ(CHECKED + (warning ? L"0 problems, 1 warning" : L"1 problem"), SummarizeThemeReport(report));
        EXPECT_EQ(label + file + detail, report.findings.empty() ? L"" : report.findings[0].line);
        WriteBytes(file, original);
    }

    TempDirectory home;
};

TEST_F(ThemeCheckTest, BitmapsOfTheAskedSizePassOnePixelLessOrAMissingOrBrokenFileGivesOneLineAndTheLayoutIsChecked)
{
    // The shell uses one column of TASKBAR and of the middles, and 4 columns of TBTND0.
    const struct { LPCWSTR name; int width, height, shortWidth, shortHeight; } sizes[] = {
        {L"TASKBAR", 1, 30, 8, 29},  {L"STARTBUTTONU", 100, 30, 99, 30}, {L"TBTNU0", 18, 24, 17, 24},
        {L"TBTND0", 4, 24, 3, 24},   {L"STARTBACK", 400, 390, 399, 390}, {L"EXITBTND", 122, 30, 122, 29},
        {L"BATTERY3", 16, 16, 16, 15}};  // optional, and then of its size all the same
    for (const auto& s : sizes) WriteBytes(Bitmap(s.name), BmpFile(s.width, s.height));
    ThemeReport report;
    EXPECT_EQ(0, CheckTheme(home.path().c_str(), &report));
    EXPECT_EQ(CHECKED + L"0 problems", SummarizeThemeReport(report));  // so no finding at all
    for (const auto& s : sizes)
        ExpectOneLine(Bitmap(s.name), BmpFile(s.shortWidth, s.shortHeight), L"TOO SMALL ",
                      L": is " + std::to_wstring(s.shortWidth) + L" x " + std::to_wstring(s.shortHeight) +
                          L", needs at least " + std::to_wstring(s.width) + L" x " + std::to_wstring(s.height));
    // Each missing or broken file gives one line too, and only warnings pass.
    const std::wstring picture = home / L"settings\\user.bmp";
    const std::wstring noPicture = L"; the start menu shows the background instead";
    ExpectOneLine(Bitmap(L"SIDE3D"), "", L"MISSING  ", L": needs a BMP of at least 186 x 24");
    for (const wchar_t* face : {L"BATTERY0", L"BATTERYCHARGE"}) DeleteFileW(Bitmap(face).c_str());
    EXPECT_EQ(0, CheckTheme(home.path().c_str(), &report));
    EXPECT_EQ(CHECKED + L"0 problems", SummarizeThemeReport(report)) << "the shell draws a missing battery face";
    ExpectOneLine(Bitmap(L"STARTBACK"), ReadBytes(Bitmap(L"STARTBACK")).substr(0, 2000), L"UNREADABLE ",
                  L": not a complete BMP file");
    ExpectOneLine(picture, "", L"WARNING  ", L": user picture missing" + noPicture);
    ExpectOneLine(picture, "no picture here", L"WARNING  ", L": user picture not a complete BMP file" + noPicture);

    // The layout keys are checked against the menu, each other and the faces. The bundled Cove
    // theme, checked where it stands with the bundled settings (whose user picture it lacks),
    // lays out its own menu, all of it sound: the shell starts with it, and its menu, on the
    // bar, fits a 480 x 320 screen.
    const std::wstring coveHome = SourcePath(L"themes\\cove"), coveTheme = coveHome + L"\\settings\\Cove.theme";
    const std::wstring bundled = SourcePath(L"themes\\default\\settings\\settings.cfg");
    SettingsFiles cove = {coveHome.c_str()};
    cove.themePath = coveTheme.c_str();
    cove.settingsPath = bundled.c_str();
    ThemeReport coveReport;
    EXPECT_EQ(0, CheckTheme(cove, &coveReport));
    EXPECT_EQ(L"theme \"Cove\": 40 bitmaps checked, 0 problems, 1 warning", SummarizeThemeReport(coveReport));
    ASSERT_EQ(0, LoadShellSettings(cove, &Settings));
    EXPECT_TRUE(Settings.startWidth <= 480 && Settings.startHeight + Settings.taskbarHeight <= 320) << Settings.startHeight;

    // [Start] is the theme file's last section: a shortcut one pixel wider than MAINU, a side
    // item moved one pixel onto the one above, the exit button one pixel past the menu's
    // right edge and a user name box without height.
    const std::wstring theme = home / L"settings\\Lagoon.theme";
    WriteBytes(theme, ReadBytes(theme) + "ShortcutCX=187\nSide4Y=180\nExitX=279\nUserNameCY=0\n");
    report = {};
    EXPECT_EQ(1, CheckTheme(home.path().c_str(), &report));
    std::vector<std::wstring> lines;
    for (const ThemeFinding& finding : report.findings) lines.push_back(finding.line);
    EXPECT_EQ((std::vector<std::wstring>{
                  L"TOO SMALL " + Bitmap(L"MAINU") + L": is 186 x 36, needs at least 187 x 36",
                  L"TOO SMALL " + Bitmap(L"MAIND") + L": is 186 x 36, needs at least 187 x 36",
                  L"WARNING  " + theme + L": Side4 (207, 180, 186 x 24) overlaps Side3 (207, 157, 186 x 24)",
                  L"WARNING  " + theme + L": Exit (279, 354, 122 x 30) reaches outside the 400 x 390 menu",
                  L"WARNING  " + theme + L": UserName (65, 8, 300 x 0) has no area",
              }),
              lines);
    EXPECT_EQ(CHECKED + L"2 problems, 3 warnings", SummarizeThemeReport(report));
}

}  // namespace
