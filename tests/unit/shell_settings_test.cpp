#include <gtest/gtest.h>

#include <strsafe.h>

#include "config/section_store.h"
#include "config/shell_settings.h"
#include "core/shell.h"
#include "test_files.h"

namespace {

const char GOOD_SETTINGS[] =
    "[Main]\nTheme=Test.theme\nLanguage=English\nFontName=Tahoma\nFontQuality=5\nFontSize=-12\nBigFontSize=-20\n"
    "[Taskbar]\nAMPM=1\n"
    "[Start]\nUserIcon=settings\\user.bmp\nUserName=Alex\n"
    "Menu0.Name=Notepad\nMenu0.Path=\\Windows\\notepad.exe\nMenu1.Name=One\nMenu1.Path=\\one.exe\n"
    "Menu3.Name=Three\nMenu3.Path=\\three.exe\nMenu4.Name=Four\nMenu5.Name=Five\nMenu5.Path=\\five.exe\n";

const char GOOD_THEME[] =
    "[Theme]\nName=Lagoon\n"
    "[Taskbar]\nHeight=30\nButtonHeight=24\nButtonMaxCX=160\nButtonY=3\nClockCX=80\nStartButtonCX=100\n"
    "[Start]\nHeight=390\nWidth=400\nIconX=8\nIconY=9\nIconCX=48\nIconCY=47\n";

class ShellSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StringCchCopyW(HomeDirectory, HOME_DIRECTORY_CHARS, home.path().c_str());
        MakeDirectories(home / L"settings");
        ZeroMemory(&Settings, sizeof Settings);
    }
    void TearDown() override { ClearSectionStore(); }

    void WriteConfiguration(const std::string& settings, const std::string& theme)
    {
        WriteBytes(settingsFile, settings);
        WriteBytes(home / L"settings\\Test.theme", theme);
    }

    static std::string Replace(std::string text, const std::string& from, const std::string& to)
    {
        return text.replace(text.find(from), from.size(), to);
    }

    TempDirectory home;
    LogCapture capture;
    std::wstring settingsFile = home / L"settings\\settings.cfg";
};

TEST_F(ShellSettingsTest, LoadsEveryFieldFromBothFiles)
{
    WriteConfiguration(GOOD_SETTINGS, GOOD_THEME);
    ASSERT_EQ(0, LoadShellSettings());
    EXPECT_TRUE(capture.lines.empty());
    EXPECT_STREQ(L"Test.theme", Settings.mainTheme);
    EXPECT_STREQ(L"English", Settings.mainLanguage);
    EXPECT_STREQ(L"Tahoma", Settings.mainFontName);
    EXPECT_EQ(5, Settings.mainFontQuality);
    EXPECT_EQ(-12, Settings.mainFontSize);
    EXPECT_EQ(-20, Settings.mainBigFontSize);
    EXPECT_EQ(1, Settings.taskbarAmPm);
    EXPECT_STREQ(L"Lagoon", Settings.themeDirectory);
    EXPECT_EQ(30, Settings.taskbarHeight);
    EXPECT_EQ(24, Settings.taskbarButtonHeight);
    EXPECT_EQ(160, Settings.taskbarButtonMaxCX);
    EXPECT_EQ(3, Settings.taskbarButtonY);
    EXPECT_EQ(80, Settings.taskbarClockCX);
    EXPECT_EQ(100, Settings.taskbarStartButtonCX);
    EXPECT_EQ(390, Settings.startHeight);
    EXPECT_EQ(400, Settings.startWidth);
    EXPECT_EQ(8, Settings.startIconX);
    EXPECT_EQ(9, Settings.startIconY);
    EXPECT_EQ(48, Settings.startIconCX);
    EXPECT_EQ(47, Settings.startIconCY);
    EXPECT_EQ(home / L"settings\\user.bmp", Settings.userPicturePath);
    EXPECT_STREQ(L"Alex", Settings.startUserName);
    EXPECT_STREQ(L"Notepad", Settings.menuShortcuts[0].name);
    EXPECT_STREQ(L"\\Windows\\notepad.exe", Settings.menuShortcuts[0].path);
    EXPECT_STREQ(L"", Settings.menuShortcuts[2].name) << "a missing shortcut stays empty";
    EXPECT_STREQ(L"", Settings.menuShortcuts[4].path);
    EXPECT_STREQ(L"\\five.exe", Settings.menuShortcuts[5].path);
    EXPECT_EQ(0, CountSectionEntries()) << "the store is empty after loading";
}

TEST_F(ShellSettingsTest, OverlongStringsAreCutToTheirFields)
{
    std::string settings = Replace(GOOD_SETTINGS, "UserName=Alex", "UserName=" + std::string(200, 'u'));
    settings = Replace(settings, "Menu0.Path=\\Windows\\notepad.exe", "Menu0.Path=" + std::string(300, 'p'));
    WriteConfiguration(settings, GOOD_THEME);
    ASSERT_EQ(0, LoadShellSettings());
    EXPECT_EQ(std::wstring(127, L'u'), Settings.startUserName);
    EXPECT_EQ(std::wstring(259, L'p'), Settings.menuShortcuts[0].path);
}

TEST_F(ShellSettingsTest, MissingSettingsFileNamesItsFullPath)
{
    EXPECT_EQ(1, LoadShellSettings());
    ASSERT_EQ(1u, capture.lines.size());
    EXPECT_NE(std::wstring::npos, capture.lines[0].find(L"Cannot load CFG: \"" + settingsFile + L"\""))
        << ToUtf8(capture.lines[0]);
}

TEST_F(ShellSettingsTest, EachFailingSectionNamesTheFileItWasReading)
{
    struct Case {
        const char* name;
        std::string settings, theme;
        std::wstring file;
    } cases[] = {
        {"taskbar of only comments", Replace(GOOD_SETTINGS, "AMPM=1", "# AMPM=1"), GOOD_THEME, settingsFile},
        {"no theme section", GOOD_SETTINGS, Replace(GOOD_THEME, "[Theme]", "[Themes]"), home / L"settings\\Test.theme"},
        {"empty theme name", Replace(GOOD_SETTINGS, "Theme=Test.theme", "Theme="), GOOD_THEME, home / L"settings\\"},
        {"no start section", Replace(GOOD_SETTINGS, "[Start]", "[Begin]"), GOOD_THEME, settingsFile},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        capture.lines.clear();
        WriteConfiguration(c.settings, c.theme);
        EXPECT_EQ(1, LoadShellSettings());
        ASSERT_EQ(1u, capture.lines.size());
        EXPECT_NE(std::wstring::npos, capture.lines[0].find(L"Cannot load CFG: \"" + c.file + L"\""))
            << ToUtf8(capture.lines[0]);
        EXPECT_EQ(0, CountSectionEntries());
    }
}

TEST_F(ShellSettingsTest, HomeDirectoryTooLongIsRefusedWithTheMessage)
{
    std::wstring deep = home.path() + L"\\" + std::wstring(250, L'd');
    StringCchCopyW(HomeDirectory, HOME_DIRECTORY_CHARS, deep.c_str());
    EXPECT_EQ(1, LoadShellSettings());
    ASSERT_EQ(1u, capture.lines.size());
    EXPECT_NE(std::wstring::npos, capture.lines[0].find(L"Cannot load CFG: \"")) << ToUtf8(capture.lines[0]);
}

TEST_F(ShellSettingsTest, InitializeMakesTheFontsAndReservesTheTaskbarStrip)
{
    WriteConfiguration(Replace(GOOD_SETTINGS, "FontQuality=5", "FontQuality=261"), GOOD_THEME);
    ASSERT_EQ(0, LoadShellSettings());
    ASSERT_EQ(0, InitializeShell());
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), ScreenSize.cx);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), ScreenSize.cy);

    LOGFONTW normal = {}, big = {};
    ASSERT_NE(0, GetObjectW(NormalFont, sizeof normal, &normal));
    ASSERT_NE(0, GetObjectW(BigFont, sizeof big, &big));
    EXPECT_EQ(-12, normal.lfHeight);
    EXPECT_EQ(-20, big.lfHeight);
    EXPECT_EQ(300, normal.lfWeight);
    EXPECT_EQ(5, normal.lfQuality) << "only the low byte of FontQuality counts";
    EXPECT_EQ(CLIP_CHARACTER_PRECIS, normal.lfClipPrecision);
    EXPECT_STREQ(L"Tahoma", big.lfFaceName);

    RECT workArea = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    EXPECT_EQ(0, workArea.left);
    EXPECT_EQ(0, workArea.top);
    EXPECT_EQ(ScreenSize.cx, workArea.right);
    EXPECT_EQ(ScreenSize.cy - 30, workArea.bottom);

    Settings.taskbarHeight = 0;
    StringCchCopyW(Settings.mainFontName, SETTING_NAME_CHARS, std::wstring(40, L'f').c_str());
    InitializeShell();
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    EXPECT_EQ(ScreenSize.cy, workArea.bottom) << "no taskbar strip: the whole screen";
    GetObjectW(NormalFont, sizeof normal, &normal);
    EXPECT_EQ(std::wstring(31, L'f'), normal.lfFaceName) << "a long face name is cut to fit";
}

TEST_F(ShellSettingsTest, BundledConfigurationLoads)
{
    CopyTree(SourcePath(L"themes\\default\\settings"), home / L"settings");
    ASSERT_EQ(0, LoadShellSettings()) << (capture.lines.empty() ? "" : ToUtf8(capture.lines[0]));
    EXPECT_GT(Settings.taskbarHeight, 0);
    EXPECT_GT(Settings.startWidth, 0);
    EXPECT_STRNE(L"", Settings.themeDirectory);
    for (const MenuShortcut& shortcut : Settings.menuShortcuts) {
        EXPECT_STRNE(L"", shortcut.name);
        EXPECT_STRNE(L"", shortcut.path);
    }
}

}  // namespace
