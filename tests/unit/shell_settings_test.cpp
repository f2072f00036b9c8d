#include <gtest/gtest.h>

#include <strsafe.h>

#include <tuple>

#include "config/section_store.h"
#include "config/shell_settings.h"
#include "taskbar/taskbar.h"
#include "test_files.h"

namespace {

const std::string GOOD_SETTINGS =
    "[Main]\nTheme=Test.theme\nLanguage=English\nFontName=Tahoma\nFontQuality=5\nFontSize=-12\nBigFontSize=-20\n"
    "[Taskbar]\nAMPM=1\n"
    "[Start]\nUserIcon=settings\\user.bmp\nUserName=Alex\n"
    "Menu0.Name=Notepad\nMenu0.Path=\\Windows\\notepad.exe\nMenu1.Name=One\nMenu1.Path=\\one.exe\n"
    "Menu3.Name=Three\nMenu3.Path=\\three.exe\nMenu4.Name=Four\nMenu5.Name=Five\nMenu5.Path=\\five.exe\n";

const std::string GOOD_THEME =
    "[Theme]\nName=Lagoon\n"
    "[Taskbar]\nHeight=30\nButtonHeight=24\nButtonMaxCX=160\nButtonY=3\nClockCX=80\nStartButtonCX=100\n"
    "[Start]\nHeight=390\nWidth=400\nIconX=8\nIconY=9\nIconCX=48\nIconCY=47\n";

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    return text.replace(text.find(from), from.size(), to);
}

class ShellSettingsTest : public ::testing::Test {
protected:
    // Loads the settings of the directory over those held. The file that could not be loaded
    // goes to failed, and is the one logged line's; the section store is left empty.
    int LoadFrom(const std::wstring& directory)
    {
        LogCapture capture;
        WCHAR failedPath[SETTING_PATH_CHARS] = L"";
        int result = LoadShellSettings(directory.c_str(), &settings, failedPath);
        failed = failedPath;
        EXPECT_EQ(0, CountSectionEntries());
        EXPECT_EQ(static_cast<size_t>(result), capture.lines.size());
        if (result) {
            EXPECT_NE(std::wstring::npos, capture.lines[0].find(L"Cannot load CFG: \"" + failed + L"\""));
        }
        return result;
    }
    int Load(const std::string& settingsFile, const std::string& themeFile)
    {
        MakeDirectories(home / L"settings");
        WriteBytes(home / L"settings\\settings.cfg", settingsFile);
        WriteBytes(home / L"settings\\Test.theme", themeFile);
        return LoadFrom(home.path());
    }

    TempDirectory home;
    ShellSettings settings = {};
    std::wstring failed;
};

TEST_F(ShellSettingsTest, LoadsEveryFieldFromItsFileAndSection)
{
    for (MenuShortcut& shortcut : settings.menuShortcuts) shortcut = MenuShortcut{L"stale", L"stale"};
    ASSERT_EQ(0, Load(GOOD_SETTINGS, GOOD_THEME)) << ToUtf8(failed);
    const ShellSettings& s = settings;
    EXPECT_EQ((std::vector<int>{5, -12, -20, 1, 30, 24, 160, 3, 80, 100, 390, 400, 8, 9, 48, 47}),
              (std::vector<int>{s.mainFontQuality, s.mainFontSize, s.mainBigFontSize, s.taskbarAmPm, s.taskbarHeight,
                                s.taskbarButtonHeight, s.taskbarButtonMaxCX, s.taskbarButtonY, s.taskbarClockCX,
                                s.taskbarStartButtonCX, s.startHeight, s.startWidth, s.startIconX, s.startIconY,
                                s.startIconCX, s.startIconCY}));
    std::vector<std::wstring> strings = {s.mainTheme,      s.mainLanguage,    s.mainFontName,
                                         s.themeDirectory, s.userPicturePath, s.startUserName};
    for (const MenuShortcut& shortcut : s.menuShortcuts) strings.insert(strings.end(), {shortcut.name, shortcut.path});
    EXPECT_EQ((std::vector<std::wstring>{L"Test.theme", L"English", L"Tahoma", L"Lagoon", home / L"settings\\user.bmp",
                                         L"Alex", L"Notepad", L"\\Windows\\notepad.exe", L"One", L"\\one.exe", L"", L"",
                                         L"Three", L"\\three.exe", L"Four", L"", L"Five", L"\\five.exe"}),
              strings);
}

TEST_F(ShellSettingsTest, OverlongStringsAreCutToTheirFieldsButAPictureThatWouldNotFitIsLeftOut)
{
    std::string text = GOOD_SETTINGS;
    for (std::string key : {"Language=English", "FontName=Tahoma", "UserIcon=settings\\user.bmp", "UserName=Alex",
                            "Menu0.Name=Notepad", "Menu0.Path=\\Windows\\notepad.exe"})
        text = Replace(text, key, key.substr(0, key.find('=') + 1) + std::string(300, 'l'));
    ASSERT_EQ(0, Load(text, Replace(GOOD_THEME, "Name=Lagoon", "Name=" + std::string(300, 'l'))));
    const ShellSettings& s = settings;
    EXPECT_EQ((std::vector<size_t>{259, 127, 127, 0, 127, 127, 259}),
              (std::vector<size_t>{wcslen(s.mainLanguage), wcslen(s.mainFontName), wcslen(s.themeDirectory),
                                   wcslen(s.userPicturePath), wcslen(s.startUserName),
                                   wcslen(s.menuShortcuts[0].name), wcslen(s.menuShortcuts[0].path)}));
}

TEST_F(ShellSettingsTest, EachFailingSectionStopsTheLoadAndNamesItsFile)
{
    const std::wstring settingsFile = home / L"settings\\settings.cfg", themeFile = home / L"settings\\Test.theme";
    const std::tuple<std::string, std::string, std::wstring> cases[] = {  // settings file, theme file, failed
        {"", GOOD_THEME, settingsFile},
        {Replace(GOOD_SETTINGS, "AMPM=1", "# AMPM=1"), GOOD_THEME, settingsFile},
        {Replace(GOOD_SETTINGS, "Theme=Test.theme", "Theme="), GOOD_THEME, home / L"settings\\"},
        {GOOD_SETTINGS, Replace(GOOD_THEME, "[Theme]", "[Themes]"), themeFile},
        {GOOD_SETTINGS, Replace(GOOD_THEME, "[Taskbar]", "[Task]"), themeFile},
        {GOOD_SETTINGS, Replace(GOOD_THEME, "[Start]", "[Begin]"), themeFile},
        {Replace(GOOD_SETTINGS, "[Start]", "[Begin]"), GOOD_THEME, settingsFile},
    };
    for (const auto& [settingsText, themeText, failedFile] : cases) {
        EXPECT_EQ(1, Load(settingsText, themeText));
        EXPECT_EQ(failedFile, failed);
    }
    // A path that would not fit is refused with the part that fits, never cut into another file's name.
    const std::wstring deep = home / std::wstring(SETTING_PATH_CHARS - 23 - home.path().size(), L'd');
    MakeDirectories(deep + L"\\settings");
    WriteBytes(deep + L"\\settings\\settings.cf", GOOD_SETTINGS);
    WriteBytes(deep + L"\\settings\\Test.theme", GOOD_THEME);
    EXPECT_EQ(1, LoadFrom(deep));
    EXPECT_EQ(deep + L"\\settings\\settings.cf", failed);
}

TEST_F(ShellSettingsTest, BundledConfigurationLoadsWithSixShortcuts)
{
    ASSERT_EQ(0, LoadFrom(SourcePath(L"themes\\default"))) << ToUtf8(failed);
    for (const MenuShortcut& shortcut : settings.menuShortcuts) EXPECT_TRUE(shortcut.name[0] && shortcut.path[0]);
}

TEST(ShellDisplay, FontsFollowTheSettingsAndTheTaskbarStripIsReserved)
{
    Settings = ShellSettings{};
    StringCchCopyW(Settings.mainFontName, SETTING_NAME_CHARS, L"Tahoma");
    Settings.mainFontQuality = 261;  // only the low byte counts
    Settings.mainFontSize = -12;
    Settings.mainBigFontSize = -20;
    Settings.taskbarHeight = 30;
    ReadScreenSize();
    CreateShellFonts();
    ASSERT_EQ(0, ReserveTaskbarStrip());
    LOGFONTW normal = {}, big = {};
    GetObjectW(NormalFont, sizeof normal, &normal);
    GetObjectW(BigFont, sizeof big, &big);
    EXPECT_EQ((std::vector<LONG>{-12, -20, 300, 300, 5, 5, CLIP_CHARACTER_PRECIS, 0}),
              (std::vector<LONG>{normal.lfHeight, big.lfHeight, normal.lfWeight, big.lfWeight, normal.lfQuality,
                                 big.lfQuality, normal.lfClipPrecision, wcscmp(L"Tahoma", big.lfFaceName)}));
    RECT area = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_EQ((std::vector<LONG>{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) - 30}),
              (std::vector<LONG>{area.left, area.top, area.right, area.bottom}));
    Settings.taskbarHeight = 0;
    ReserveTaskbarStrip();
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), area.bottom) << "no taskbar strip: the whole screen";
}

}  // namespace
