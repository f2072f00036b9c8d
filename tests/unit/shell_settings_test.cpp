#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "config/shell_settings.h"
#include "test_files.h"

namespace {

// The start menu's layout keys in the theme file's order, and the fields they fill.
const char* const LAYOUT_KEYS[] = {
    "ShortcutX", "ShortcutY", "ShortcutStep", "ShortcutCX", "ShortcutCY", "ShortcutTextX", "ShortcutIconX",
    "ShortcutIconY", "SideX", "Side0Y", "Side1Y", "Side2Y", "Side3Y", "Side4Y", "Side5Y", "Side6Y", "Side7Y",
    "SideCX", "SideCY", "SideTextX", "AllProgramsX", "AllProgramsY", "AllProgramsCX", "AllProgramsCY",
    "AllProgramsTextRight", "ExitX", "ExitY", "ExitCX", "ExitCY", "ExitTextX", "UserNameX", "UserNameY",
    "UserNameCX", "UserNameCY", "UserNameShadowX", "UserNameShadowY", "ShortcutTextColor", "ShortcutTextDownColor",
    "SideTextColor", "SideTextDownColor", "AllProgramsTextColor", "AllProgramsTextDownColor", "ExitTextColor",
    "ExitTextDownColor", "UserNameColor", "UserNameShadowColor"};
const int COLOR_KEY_FIRST = 36;

// The layout fields stand in the keys' order, each an int or a COLORREF.
std::vector<long long> LayoutFields(const ShellSettings& s)
{
    int fields[ARRAYSIZE(LAYOUT_KEYS)];
    static_assert(offsetof(ShellSettings, startUserNameShadowColor) + sizeof(COLORREF) ==
                  offsetof(ShellSettings, startShortcutX) + sizeof fields);
    memcpy(fields, &s.startShortcutX, sizeof fields);
    return {fields, fields + ARRAYSIZE(fields)};
}

}  // namespace

// Every key with a value of its own, so that a key read into another's field shows; then
// the theme file without the menu's layout keys, which keep the default theme's values. The
// work area that the bar's height leaves is checked end to end, where another process sees it.
TEST(ShellSettings, EachKeyFillsItsOwnFieldAbsentLayoutKeysKeepTheDefaultsAndTheFontsFollow)
{
    TempDirectory home;
    WriteBytes(home / L"settings\\settings.cfg",
               "[Main]\nTheme=Test.theme\nLanguage=Japanese\nFontName=Noto\nFontQuality=261\nFontSize=-11\n"
               "BigFontSize=-21\n[Taskbar]\nAMPM=2\n[Start]\nUserName=Ada\nUserIcon=settings\\user.bmp\n"
               "Menu1.Name=One\nMenu1.Path=\\one.exe\nMenu2.Name=" + std::string(300, 'n') + "\n");
    const std::string fixed = "[Theme]\nName=T\n[Taskbar]\nHeight=31\nButtonHeight=25\nButtonMaxCX=161\nButtonY=4\n"
                              "ClockCX=81\nStartButtonCX=101\n[Start]\nHeight=391\nWidth=401\nIconX=9\nIconY=10\n"
                              "IconCX=47\nIconCY=46\n";
    // Colours as 0xRRGGBB, once in decimal: read as COLORREFs, red last.
    std::string layout;
    std::vector<long long> values;
    for (int i = 0; i < static_cast<int>(ARRAYSIZE(LAYOUT_KEYS)); ++i) {
        const bool color = i >= COLOR_KEY_FIRST, decimal = i == COLOR_KEY_FIRST + 4;
        const std::string text = !color ? std::to_string(1000 + i) : (decimal ? "" : "0x") + std::to_string(100 + i);
        values.push_back(!color ? 1000 + i : decimal ? RGB(0, 0, 100 + i) : RGB(0, 1, i / 10 * 16 + i % 10));
        layout += std::string(LAYOUT_KEYS[i]) + "=" + text + "\n";
    }
    WriteBytes(home / L"settings\\Test.theme", fixed + layout);
    Settings.menuShortcuts[0] = MenuShortcut{L"stale", L"stale"};
    ASSERT_EQ(0, LoadShellSettings(home.path().c_str(), &Settings));
    const ShellSettings& s = Settings;
    EXPECT_EQ((std::vector<int>{261, -11, -21, 2, 31, 25, 161, 4, 81, 101, 391, 401, 9, 10, 47, 46}),
              (std::vector<int>{s.mainFontQuality, s.mainFontSize, s.mainBigFontSize, s.taskbarAmPm, s.taskbarHeight,
                                s.taskbarButtonHeight, s.taskbarButtonMaxCX, s.taskbarButtonY, s.taskbarClockCX,
                                s.taskbarStartButtonCX, s.startHeight, s.startWidth, s.startIconX, s.startIconY,
                                s.startIconCX, s.startIconCY}));
    EXPECT_EQ((std::vector<std::wstring>{L"Test.theme", L"Japanese", L"Noto", L"T", L"Ada", home / L"settings\\user.bmp",
                                         L"", L"One", L"\\one.exe"}),
              (std::vector<std::wstring>{s.mainTheme, s.mainLanguage, s.mainFontName, s.themeDirectory, s.startUserName,
                                         s.userPicturePath, s.menuShortcuts[0].name, s.menuShortcuts[1].name,
                                         s.menuShortcuts[1].path}));
    EXPECT_EQ(values, LayoutFields(s));
    EXPECT_EQ(SETTING_NAME_CHARS - 1, static_cast<int>(wcslen(s.menuShortcuts[2].name))) << "cut to fit";

    CreateShellFonts();
    LOGFONTW normal = {}, big = {};
    GetObjectW(NormalFont, sizeof normal, &normal);
    GetObjectW(BigFont, sizeof big, &big);
    // Only the low byte of the quality counts.
    EXPECT_EQ((std::vector<LONG>{-11, -21, 5}), (std::vector<LONG>{normal.lfHeight, big.lfHeight, big.lfQuality}));

    WriteBytes(home / L"settings\\Test.theme", fixed);
    ASSERT_EQ(0, LoadShellSettings(home.path().c_str(), &Settings));
    const long long black = RGB(0, 0, 0), white = RGB(255, 255, 255);
    EXPECT_EQ((std::vector<long long>{8, 73, 40, 186, 36, 38, 2, 2, 207, 73, 101, 129, 157, 193, 221, 257, 293, 186, 24,
                                      30, 8, 320, 186, 24, 146, 276, 354, 122, 30, 30, 65, 8, 300, 50, 2, 2, black,
                                      white, RGB(8, 36, 107), white, black, white, white, white, white, black}),
              LayoutFields(s));
}
