#include "config/shell_settings.h"

#include <strsafe.h>
#include <wchar.h>

#include "config/section_store.h"
#include "core/log.h"

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

// Where the files are read from, and where the name of one that fails goes.
struct SettingsSource {
    LPCWSTR homeDirectory;
    LPWSTR failedPath;  // may be null
    LPCWSTR themeFile;  // replaces Main.Theme when not null
};

// Loads a section of <home>\settings\<fileName>; on failure the file is reported and false
// returned. A path that would not fit is refused the same way, with the part that fits.
bool LoadSettingsSection(const SettingsSource& source, LPCWSTR fileName, LPCWSTR section)
{
    WCHAR path[SETTING_PATH_CHARS];
    HRESULT formed = StringCchPrintfW(path, SETTING_PATH_CHARS, L"%ls\\settings\\%ls", source.homeDirectory, fileName);
    if (SUCCEEDED(formed) && LoadSection(path, section) == 0) return true;
    WCHAR message[LOG_LINE_CHARS];
    StringCchPrintfW(message, LOG_LINE_CHARS, L"Cannot load CFG: \"%ls\"", path);
    LogError(message);
    if (source.failedPath) StringCchCopyW(source.failedPath, SETTING_PATH_CHARS, path);
    return false;
}

void ReadStrings(const StringSetting* settings, size_t count)
{
    for (size_t i = 0; i < count; ++i) GetSectionString(settings[i].field, settings[i].capacity, settings[i].key);
}

void ReadIntegers(const IntegerSetting* settings, size_t count)
{
    for (size_t i = 0; i < count; ++i) *settings[i].field = GetSectionInt(settings[i].key);
}

void ReadUserAndShortcuts(LPCWSTR homeDirectory, ShellSettings& s)
{
    WCHAR userIcon[SETTING_PATH_CHARS] = L"";
    GetSectionString(userIcon, SETTING_PATH_CHARS, L"UserIcon");
    // A picture path that would not fit is left empty: the start menu then reports it.
    if (FAILED(StringCchPrintfW(s.userPicturePath, SETTING_PATH_CHARS, L"%ls\\%ls", homeDirectory, userIcon)))
        s.userPicturePath[0] = L'\0';
    GetSectionString(s.startUserName, SETTING_NAME_CHARS, L"UserName");
    for (int i = 0; i < MENU_SHORTCUT_COUNT; ++i) {
        WCHAR key[32];
        StringCchPrintfW(key, ARRAYSIZE(key), L"Menu%d.Name", i);
        GetSectionString(s.menuShortcuts[i].name, SETTING_NAME_CHARS, key);
        StringCchPrintfW(key, ARRAYSIZE(key), L"Menu%d.Path", i);
        GetSectionString(s.menuShortcuts[i].path, SETTING_PATH_CHARS, key);
    }
}

const WCHAR SETTINGS_FILE[] = L"settings.cfg";

bool LoadAllSections(const SettingsSource& source, ShellSettings& s)
{
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

    if (!LoadSettingsSection(source, SETTINGS_FILE, L"Main")) return false;
    ReadStrings(mainStrings, ARRAYSIZE(mainStrings));
    ReadIntegers(mainIntegers, ARRAYSIZE(mainIntegers));
    if (source.themeFile) StringCchCopyW(s.mainTheme, SETTING_PATH_CHARS, source.themeFile);

    if (!LoadSettingsSection(source, SETTINGS_FILE, L"Taskbar")) return false;
    ReadIntegers(taskbarSettings, ARRAYSIZE(taskbarSettings));

    if (!LoadSettingsSection(source, s.mainTheme, L"Theme")) return false;
    ReadStrings(themeStrings, ARRAYSIZE(themeStrings));
    // A folder that does not fit is cut, and every bitmap path made from it is then refused.
    StringCchPrintfW(s.themeFolder, SETTING_PATH_CHARS, L"%ls\\theme\\%ls", source.homeDirectory, s.themeDirectory);

    if (!LoadSettingsSection(source, s.mainTheme, L"Taskbar")) return false;
    ReadIntegers(taskbarLayout, ARRAYSIZE(taskbarLayout));

    if (!LoadSettingsSection(source, s.mainTheme, L"Start")) return false;
    ReadIntegers(startLayout, ARRAYSIZE(startLayout));

    ZeroMemory(s.menuShortcuts, sizeof s.menuShortcuts);
    if (!LoadSettingsSection(source, SETTINGS_FILE, L"Start")) return false;
    ReadUserAndShortcuts(source.homeDirectory, s);
    return true;
}

}  // namespace

void FindHomeDirectory(WCHAR (&homeDirectory)[SETTING_PATH_CHARS])
{
    homeDirectory[0] = L'\0';
    // A path longer than the buffer comes back cut and unterminated on some platforms.
    DWORD length = GetModuleFileNameW(NULL, homeDirectory, SETTING_PATH_CHARS);
    homeDirectory[length < SETTING_PATH_CHARS ? length : SETTING_PATH_CHARS - 1] = L'\0';
    WCHAR* lastBackslash = wcsrchr(homeDirectory, L'\\');
    if (lastBackslash) *lastBackslash = L'\0';
}

int LoadShellSettings(LPCWSTR homeDirectory, ShellSettings* settings, LPWSTR failedPath, LPCWSTR themeFile)
{
    bool loaded = LoadAllSections(SettingsSource{homeDirectory, failedPath, themeFile}, *settings);
    ClearSectionStore();
    return loaded ? 0 : 1;
}

void ReadScreenSize()
{
    ScreenSize.cx = GetSystemMetrics(SM_CXSCREEN);
    ScreenSize.cy = GetSystemMetrics(SM_CYSCREEN);
}

void CreateShellFonts()
{
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
}
