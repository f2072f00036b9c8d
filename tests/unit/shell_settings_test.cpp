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
