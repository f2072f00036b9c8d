#include "config/shell_settings.h"

#include <strsafe.h>

#include "config/section_store.h"
#include "core/log.h"
#include "core/shell.h"
#include "gfx/button_manager.h"
#include "platform/platform.h"

ShellSettings Settings;
SIZE ScreenSize;
HFONT NormalFont;
HFONT BigFont;

namespace {

enum { FONT_WEIGHT_LIGHT = 300 };

struct IntegerSetting {
    LPCWSTR key;
    int* field;
};

struct StringSetting {
    LPCWSTR key;
    WCHAR* field;
    int capacity;
};

// Forms "<HomeDirectory>\settings\<name>"; false when it would not fit.
bool FormSettingsPath(WCHAR (&path)[SETTING_PATH_CHARS], LPCWSTR fileName)
{
    return SUCCEEDED(StringCchPrintfW(path, SETTING_PATH_CHARS, L"%ls\\settings\\%ls", HomeDirectory, fileName));
}

void ReportUnloadable(LPCWSTR path)
{
    WCHAR message[LOG_LINE_CHARS];
    StringCchPrintfW(message, LOG_LINE_CHARS, L"Cannot load CFG: \"%ls\"", path);
    LogError(message);
}

// Loads a section of the file; on failure the file is reported and false returned.
// A path that would not fit is refused the same way, with the part that fits.
bool LoadSettingsSection(LPCWSTR fileName, LPCWSTR section)
{
    WCHAR path[SETTING_PATH_CHARS];
    if (!FormSettingsPath(path, fileName) || LoadSection(path, section) != 0) {
        ReportUnloadable(path);
        return false;
    }
    return true;
}

void ReadStrings(const StringSetting* settings, size_t count)
{
    for (size_t i = 0; i < count; ++i) GetSectionString(settings[i].field, settings[i].capacity, settings[i].key);
}

void ReadIntegers(const IntegerSetting* settings, size_t count)
{
    for (size_t i = 0; i < count; ++i) *settings[i].field = GetSectionInt(settings[i].key);
}

void ReadUserAndShortcuts()
{
    WCHAR userIcon[SETTING_PATH_CHARS] = L"";
    GetSectionString(userIcon, SETTING_PATH_CHARS, L"UserIcon");
    // A picture path that would not fit is left empty: the start menu then reports it.
    if (FAILED(StringCchPrintfW(Settings.userPicturePath, SETTING_PATH_CHARS, L"%ls\\%ls", HomeDirectory, userIcon)))
        Settings.userPicturePath[0] = L'\0';
    GetSectionString(Settings.startUserName, SETTING_NAME_CHARS, L"UserName");
    for (int i = 0; i < MENU_SHORTCUT_COUNT; ++i) {
        WCHAR key[32];
        StringCchPrintfW(key, ARRAYSIZE(key), L"Menu%d.Name", i);
        GetSectionString(Settings.menuShortcuts[i].name, SETTING_NAME_CHARS, key);
        StringCchPrintfW(key, ARRAYSIZE(key), L"Menu%d.Path", i);
        GetSectionString(Settings.menuShortcuts[i].path, SETTING_PATH_CHARS, key);
    }
}

const WCHAR SETTINGS_FILE[] = L"settings.cfg";

bool LoadAllSections()
{
    ShellSettings& s = Settings;
    const StringSetting mainStrings[] = {
        {L"Theme", s.mainTheme, SETTING_PATH_CHARS},
        {L"Language", s.mainLanguage, SETTING_PATH_CHARS},
        {L"FontName", s.mainFontName, SETTING_NAME_CHARS},
    };
    const IntegerSetting mainIntegers[] = {
        {L"FontQuality", &s.mainFontQuality}, {L"FontSize", &s.mainFontSize}, {L"BigFontSize", &s.mainBigFontSize}};
    const IntegerSetting taskbarSettings[] = {{L"AMPM", &s.taskbarAmPm}};
    const StringSetting themeStrings[] = {{L"Name", s.themeDirectory, SETTING_NAME_CHARS}};
    const IntegerSetting taskbarLayout[] = {
        {L"Height", &s.taskbarHeight},   {L"ButtonHeight", &s.taskbarButtonHeight},
        {L"ButtonMaxCX", &s.taskbarButtonMaxCX}, {L"ButtonY", &s.taskbarButtonY},
        {L"ClockCX", &s.taskbarClockCX}, {L"StartButtonCX", &s.taskbarStartButtonCX},
    };
    const IntegerSetting startLayout[] = {
        {L"Height", &s.startHeight}, {L"Width", &s.startWidth},   {L"IconX", &s.startIconX},
        {L"IconY", &s.startIconY},   {L"IconCX", &s.startIconCX}, {L"IconCY", &s.startIconCY},
    };

    if (!LoadSettingsSection(SETTINGS_FILE, L"Main")) return false;
    ReadStrings(mainStrings, ARRAYSIZE(mainStrings));
    ReadIntegers(mainIntegers, ARRAYSIZE(mainIntegers));

    if (!LoadSettingsSection(SETTINGS_FILE, L"Taskbar")) return false;
    ReadIntegers(taskbarSettings, ARRAYSIZE(taskbarSettings));

    if (!LoadSettingsSection(s.mainTheme, L"Theme")) return false;
    ReadStrings(themeStrings, ARRAYSIZE(themeStrings));

    if (!LoadSettingsSection(s.mainTheme, L"Taskbar")) return false;
    ReadIntegers(taskbarLayout, ARRAYSIZE(taskbarLayout));

    if (!LoadSettingsSection(s.mainTheme, L"Start")) return false;
    ReadIntegers(startLayout, ARRAYSIZE(startLayout));

    ZeroMemory(s.menuShortcuts, sizeof s.menuShortcuts);
    if (!LoadSettingsSection(SETTINGS_FILE, L"Start")) return false;
    ReadUserAndShortcuts();
    return true;
}

}  // namespace

int LoadShellSettings()
{
    bool loaded = LoadAllSections();
    ClearSectionStore();
    return loaded ? 0 : 1;
}

int InitializeShell()
{
    ClearButtonRegistry();
    ResetSectionStore();
    ScreenSize.cx = GetSystemMetrics(SM_CXSCREEN);
    ScreenSize.cy = GetSystemMetrics(SM_CYSCREEN);

    LOGFONTW font = {};
    font.lfHeight = Settings.mainFontSize;
    font.lfWeight = FONT_WEIGHT_LIGHT;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_CHARACTER_PRECIS;
    font.lfQuality = static_cast<BYTE>(Settings.mainFontQuality);
    StringCchCopyW(font.lfFaceName, LF_FACESIZE, Settings.mainFontName);
    NormalFont = CreateFontIndirectW(&font);
    font.lfHeight = Settings.mainBigFontSize;
    BigFont = CreateFontIndirectW(&font);

    RECT workArea = {0, 0, ScreenSize.cx, ScreenSize.cy - Settings.taskbarHeight};
    SetDesktopWorkArea(workArea);
    return 0;
}
