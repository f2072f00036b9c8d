#include <gtest/gtest.h>

#include "config/shell_settings.h"
#include "test_files.h"

// The work area that the bar's height leaves is checked end to end, where another process sees it.
TEST(ShellSettings, ComeFromTheirFilesAndSectionsAndGiveTheFonts)
{
    TempDirectory home;
    WriteBytes(home / L"settings\\settings.cfg",
               "[Main]\nTheme=Test.theme\nFontQuality=261\nFontSize=-12\nBigFontSize=-20\n[Taskbar]\n"
               "AMPM=1\n[Start]\nUserIcon=settings\\user.bmp\nMenu1.Name=One\nMenu1.Path=\\one.exe\nUserName=" +
                   std::string(300, 'u') + "\nMenu2.Name=" + std::string(300, 'n') + "\n");
    WriteBytes(home / L"settings\\Test.theme", "[Theme]\nName=Lagoon\n[Taskbar]\nHeight=30\n[Start]\nHeight=390\n");
    Settings.menuShortcuts[0] = MenuShortcut{L"stale", L"stale"};
    ASSERT_EQ(0, LoadShellSettings(home.path().c_str(), &Settings));
    const ShellSettings& s = Settings;
    EXPECT_EQ((std::vector<int>{1, 30, 390}), (std::vector<int>{s.taskbarAmPm, s.taskbarHeight, s.startHeight}));
    EXPECT_EQ((std::vector<std::wstring>{L"Lagoon", home / L"settings\\user.bmp", L"", L"One", L"\\one.exe"}),
              (std::vector<std::wstring>{s.themeDirectory, s.userPicturePath, s.menuShortcuts[0].name,
                                         s.menuShortcuts[1].name, s.menuShortcuts[1].path}));
    EXPECT_EQ((std::vector<size_t>{SETTING_NAME_CHARS - 1, SETTING_NAME_CHARS - 1}),
              (std::vector<size_t>{wcslen(s.startUserName), wcslen(s.menuShortcuts[2].name)})) << "cut to fit";

    CreateShellFonts();
    LOGFONTW normal = {}, big = {};
    GetObjectW(NormalFont, sizeof normal, &normal);
    GetObjectW(BigFont, sizeof big, &big);
    // Only the low byte of the quality counts.
    EXPECT_EQ((std::vector<LONG>{-12, -20, 5}), (std::vector<LONG>{normal.lfHeight, big.lfHeight, big.lfQuality}));
}

namespace {

// The start menu's layout keys in the theme file's order, and the fields they fill.
const char* const LAYOUT_KEYS[] = {
    "ShortcutX", "ShortcutY", "ShortcutStep", "ShortcutCX", "ShortcutCY", "ShortcutTextX", "ShortcutIconX",
    "ShortcutIconY", "SideX", "Side0Y", "Side1Y", "Side2Y", "Side3Y", "Side4Y", "Side5Y", "Side6Y", "Side7Y",
    "SideCX", "SideCY", "SideTextX", "AllProgramsX", "AllProgramsY", "AllProgramsCX", "AllProgramsCY",
    "AllProgramsTextRight", "ExitX", "ExitY", "ExitCX", "ExitCY", "ExitTextX", "UserNameX", "UserNameY",
    "UserNameCX", "UserNameCY", "UserNameShadowX", "UserNameShadowY"};
const char* const COLOR_KEYS[] = {"ShortcutTextColor", "ShortcutTextDownColor", "SideTextColor", "SideTextDownColor",
                                  "AllProgramsTextColor", "AllProgramsTextDownColor", "ExitTextColor",
                                  "ExitTextDownColor", "UserNameColor", "UserNameShadowColor"};

std::vector<long> LayoutFields(const ShellSettings& s)
{
    return {s.startShortcutX, s.startShortcutY, s.startShortcutStep, s.startShortcutCX, s.startShortcutCY,
            s.startShortcutTextX, s.startShortcutIconX, s.startShortcutIconY, s.startSideX, s.startSideY[0],
            s.startSideY[1], s.startSideY[2], s.startSideY[3], s.startSideY[4], s.startSideY[5], s.startSideY[6],
            s.startSideY[7], s.startSideCX, s.startSideCY, s.startSideTextX, s.startAllProgramsX, s.startAllProgramsY,
            s.startAllProgramsCX, s.startAllProgramsCY, s.startAllProgramsTextRight, s.startExitX, s.startExitY,
            s.startExitCX, s.startExitCY, s.startExitTextX, s.startUserNameX, s.startUserNameY, s.startUserNameCX,
            s.startUserNameCY, s.startUserNameShadowX, s.startUserNameShadowY};
}

std::vector<COLORREF> ColorFields(const ShellSettings& s)
{
    return {s.startShortcutTextColor, s.startShortcutTextDownColor, s.startSideTextColor, s.startSideTextDownColor,
            s.startAllProgramsTextColor, s.startAllProgramsTextDownColor, s.startExitTextColor,
            s.startExitTextDownColor, s.startUserNameColor, s.startUserNameShadowColor};
}

}  // namespace

// Every key of the theme file with a value of its own, so that a key read into another's
// field shows; then the same file without the menu's layout keys, which keep the default
// theme's values.
TEST(ShellSettings, EachThemeKeyFillsItsOwnFieldAndAbsentLayoutKeysKeepTheDefaults)
{
    TempDirectory home;
    WriteBytes(home / L"settings\\settings.cfg",
               "[Main]\nTheme=Test.theme\nLanguage=Japanese\nFontName=Noto\nFontQuality=3\nFontSize=-11\n"
               "BigFontSize=-21\n[Taskbar]\nAMPM=2\n[Start]\nUserName=Ada\n");
    const std::string fixed = "[Theme]\nName=T\n[Taskbar]\nHeight=31\nButtonHeight=25\nButtonMaxCX=161\nButtonY=4\n"
                              "ClockCX=81\nStartButtonCX=101\n[Start]\nHeight=391\nWidth=401\nIconX=9\nIconY=10\n"
                              "IconCX=47\nIconCY=46\n";
    std::string layout;
    std::vector<long> values;
    for (const char* key : LAYOUT_KEYS) {
        values.push_back(1000 + static_cast<long>(values.size()));
        layout += std::string(key) + "=" + std::to_string(values.back()) + "\n";
    }
    // 0xRRGGBB in hex, and once in decimal: 0x0C0B0A.
    std::vector<COLORREF> colors;
    for (int i = 0; i < static_cast<int>(ARRAYSIZE(COLOR_KEYS)); ++i) {
        char value[16];
        snprintf(value, sizeof value, i == 4 ? "%d" : "0x%02X%02X%02X", i == 4 ? 0x0C0B0A : i + 1, 0x20 + i, 0x40 + i);
        layout += std::string(COLOR_KEYS[i]) + "=" + value + "\n";
        colors.push_back(i == 4 ? RGB(0x0C, 0x0B, 0x0A) : RGB(i + 1, 0x20 + i, 0x40 + i));
    }
    WriteBytes(home / L"settings\\Test.theme", fixed + layout);
    ASSERT_EQ(0, LoadShellSettings(home.path().c_str(), &Settings));
    const ShellSettings& s = Settings;
    EXPECT_EQ((std::vector<int>{3, -11, -21, 2, 31, 25, 161, 4, 81, 101, 391, 401, 9, 10, 47, 46}),
              (std::vector<int>{s.mainFontQuality, s.mainFontSize, s.mainBigFontSize, s.taskbarAmPm, s.taskbarHeight,
                                s.taskbarButtonHeight, s.taskbarButtonMaxCX, s.taskbarButtonY, s.taskbarClockCX,
                                s.taskbarStartButtonCX, s.startHeight, s.startWidth, s.startIconX, s.startIconY,
                                s.startIconCX, s.startIconCY}));
    EXPECT_EQ((std::vector<std::wstring>{L"Test.theme", L"Japanese", L"Noto", L"T", L"Ada"}),
              (std::vector<std::wstring>{s.mainTheme, s.mainLanguage, s.mainFontName, s.themeDirectory,
                                         s.startUserName}));
    EXPECT_EQ(values, LayoutFields(s));
    EXPECT_EQ(colors, ColorFields(s));

    WriteBytes(home / L"settings\\Test.theme", fixed);
    ASSERT_EQ(0, LoadShellSettings(home.path().c_str(), &Settings));
    EXPECT_EQ((std::vector<long>{8,   73,  40,  186, 36,  38,  2,   2,   207, 73, 101, 129, 157, 193, 221, 257, 293, 186,
                                 24,  30,  8,   320, 186, 24,  146, 276, 354, 122, 30, 30,  65,  8,   300, 50,  2,   2}),
              LayoutFields(s));
    const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255);
    EXPECT_EQ((std::vector<COLORREF>{black, white, RGB(8, 36, 107), white, black, white, white, white, white, black}),
              ColorFields(s));
}
