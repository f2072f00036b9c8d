#include "config/shell_settings.h"

#include <stdlib.h>
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

// A theme key that a file may leave out: the field then takes the default theme's value.
struct LayoutSetting {
    LPCWSTR key;
    int* field;
    int fallback;
};

struct ColorSetting {
    LPCWSTR key;
    COLORREF* field;
    COLORREF fallback;
};

struct StringSetting {
    LPCWSTR key;
    WCHAR* field;
    int capacity;
};

// Loads a section of the file; on failure the file is reported and false returned. A path
// that would not fit is refused the same way, with the part that fits.
bool LoadSettingsSection(LPCWSTR path, bool fits, LPWSTR failedPath, LPCWSTR section)
{
    if (fits && LoadSection(path, section) == 0) return true;
    LogErrorF(L"Cannot load CFG: \"%ls\"", path);
    if (failedPath) StringCchCopyW(failedPath, SETTING_PATH_CHARS, path);
    return false;
}

// A file given where it stands, or the one of that name in <home>\settings; false when the
// path does not fit.
bool ChooseSettingsFile(LPCWSTR home, LPCWSTR given, LPCWSTR name, WCHAR (&path)[SETTING_PATH_CHARS])
{
    if (given) return SUCCEEDED(StringCchCopyW(path, SETTING_PATH_CHARS, given));
    return FormatSettingsPath(home, name, path) == 0;
}

void ReadStrings(const StringSetting* settings, size_t count)
{
    for (size_t i = 0; i < count; ++i) GetSectionString(settings[i].field, settings[i].capacity, settings[i].key);
}

void ReadIntegers(const IntegerSetting* settings, size_t count)
{
    for (size_t i = 0; i < count; ++i) *settings[i].field = GetSectionInt(settings[i].key);
}

bool HasSectionKey(LPCWSTR key)
{
    WCHAR probe[1];
    return GetSectionString(probe, ARRAYSIZE(probe), key) == 0;
}

// A given key reads as every other integer key does, whatever its text.
void ReadLayout(const LayoutSetting* settings, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        *settings[i].field = HasSectionKey(settings[i].key) ? GetSectionInt(settings[i].key) : settings[i].fallback;
}

// "0xRRGGBB", or the same number in decimal; what is not a number reads as 0, black.
COLORREF ReadColor(LPCWSTR key)
{
    WCHAR value[SECTION_VALUE_CHARS] = L"";
    GetSectionString(value, SECTION_VALUE_CHARS, key);
    const bool hex = value[0] == L'0' && (value[1] == L'x' || value[1] == L'X');
    const unsigned long rgb = hex ? wcstoul(value + 2, NULL, 16) : static_cast<unsigned long>(_wtol(value));
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

void ReadColors(const ColorSetting* settings, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        *settings[i].field = HasSectionKey(settings[i].key) ? ReadColor(settings[i].key) : settings[i].fallback;
}

// The notification area's keys of the theme's [Taskbar], optional.
void ReadNotifyAreaLayout(ShellSettings& s)
{
    const LayoutSetting layout[] = {
        {L"NotifyIconSize", &s.taskbarNotifyIconSize, 16},
        {L"NotifyIconY", &s.taskbarNotifyIconY, 7},
        {L"NotifyIconStep", &s.taskbarNotifyIconStep, 20},
        {L"NotifyPadCX", &s.taskbarNotifyPadCX, 4},
    };
    ReadLayout(layout, ARRAYSIZE(layout));
}

// The start menu's items and texts; the defaults are where the default theme draws them.
void ReadStartMenuLayout(ShellSettings& s)
{
    const LayoutSetting layout[] = {
        {L"ShortcutX", &s.startShortcutX, 8},
        {L"ShortcutY", &s.startShortcutY, 73},
        {L"ShortcutStep", &s.startShortcutStep, 40},
        {L"ShortcutCX", &s.startShortcutCX, 186},
        {L"ShortcutCY", &s.startShortcutCY, 36},
        {L"ShortcutTextX", &s.startShortcutTextX, 38},
        {L"ShortcutIconX", &s.startShortcutIconX, 2},
        {L"ShortcutIconY", &s.startShortcutIconY, 2},
        {L"SideX", &s.startSideX, 207},
        {L"Side0Y", &s.startSideY[0], 73},
        {L"Side1Y", &s.startSideY[1], 101},
        {L"Side2Y", &s.startSideY[2], 129},
        {L"Side3Y", &s.startSideY[3], 157},
        {L"Side4Y", &s.startSideY[4], 193},
        {L"Side5Y", &s.startSideY[5], 221},
        {L"Side6Y", &s.startSideY[6], 257},
        {L"Side7Y", &s.startSideY[7], 293},
        {L"SideCX", &s.startSideCX, 186},
        {L"SideCY", &s.startSideCY, 24},
        {L"SideTextX", &s.startSideTextX, 30},
        {L"AllProgramsX", &s.startAllProgramsX, 8},
        {L"AllProgramsY", &s.startAllProgramsY, 320},
        {L"AllProgramsCX", &s.startAllProgramsCX, 186},
        {L"AllProgramsCY", &s.startAllProgramsCY, 24},
        {L"AllProgramsTextRight", &s.startAllProgramsTextRight, 146},
        {L"ExitX", &s.startExitX, 276},
        {L"ExitY", &s.startExitY, 354},
        {L"ExitCX", &s.startExitCX, 122},
        {L"ExitCY", &s.startExitCY, 30},
        {L"ExitTextX", &s.startExitTextX, 30},
        {L"UserNameX", &s.startUserNameX, 65},
        {L"UserNameY", &s.startUserNameY, 8},
        {L"UserNameCX", &s.startUserNameCX, 300},
        {L"UserNameCY", &s.startUserNameCY, 50},
        {L"UserNameShadowX", &s.startUserNameShadowX, 2},
        {L"UserNameShadowY", &s.startUserNameShadowY, 2},
    };
    const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255);
    const ColorSetting colors[] = {
        {L"ShortcutTextColor", &s.startShortcutTextColor, black},
        {L"ShortcutTextDownColor", &s.startShortcutTextDownColor, white},
        {L"SideTextColor", &s.startSideTextColor, RGB(8, 36, 107)},
        {L"SideTextDownColor", &s.startSideTextDownColor, white},
        {L"AllProgramsTextColor", &s.startAllProgramsTextColor, black},
        {L"AllProgramsTextDownColor", &s.startAllProgramsTextDownColor, white},
        {L"ExitTextColor", &s.startExitTextColor, white},
        {L"ExitTextDownColor", &s.startExitTextDownColor, white},
        {L"UserNameColor", &s.startUserNameColor, white},
        {L"UserNameShadowColor", &s.startUserNameShadowColor, black},
    };
    ReadLayout(layout, ARRAYSIZE(layout));
    ReadColors(colors, ARRAYSIZE(colors));
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

bool LoadAllSections(const SettingsFiles& files, LPWSTR failedPath, ShellSettings& s)
{
    const StringSetting mainStrings[] = {
        {L"Theme", s.mainTheme, SETTING_PATH_CHARS},
        {L"Language", s.mainLanguage, SETTING_PATH_CHARS},
        {L"FontName", s.mainFontName, SETTING_NAME_CHARS},
        {L"MenuKey", s.mainMenuKey, SETTING_NAME_CHARS},
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

    WCHAR settingsFile[SETTING_PATH_CHARS];
    const bool settingsFits = ChooseSettingsFile(files.home, files.settingsPath, SHELL_SETTINGS_FILE, settingsFile);
    if (!LoadSettingsSection(settingsFile, settingsFits, failedPath, L"Main")) return false;
    ReadStrings(mainStrings, ARRAYSIZE(mainStrings));
    ReadIntegers(mainIntegers, ARRAYSIZE(mainIntegers));
    const bool themeFits = ChooseSettingsFile(files.home, files.themePath, s.mainTheme, s.themePath);

    if (!LoadSettingsSection(settingsFile, settingsFits, failedPath, L"Taskbar")) return false;
    ReadIntegers(taskbarSettings, ARRAYSIZE(taskbarSettings));

    if (!LoadSettingsSection(s.themePath, themeFits, failedPath, L"Theme")) return false;
    ReadStrings(themeStrings, ARRAYSIZE(themeStrings));
    // A folder that does not fit is cut, and every bitmap path made from it is then refused.
    StringCchPrintfW(s.themeFolder, SETTING_PATH_CHARS, L"%ls\\theme\\%ls", files.home, s.themeDirectory);

    if (!LoadSettingsSection(s.themePath, themeFits, failedPath, L"Taskbar")) return false;
    ReadIntegers(taskbarLayout, ARRAYSIZE(taskbarLayout));
    ReadNotifyAreaLayout(s);

    if (!LoadSettingsSection(s.themePath, themeFits, failedPath, L"Start")) return false;
    ReadIntegers(startLayout, ARRAYSIZE(startLayout));
    ReadStartMenuLayout(s);

    ZeroMemory(s.menuShortcuts, sizeof s.menuShortcuts);
    if (!LoadSettingsSection(settingsFile, settingsFits, failedPath, L"Start")) return false;
    ReadUserAndShortcuts(files.home, s);
    return true;
}

}  // namespace

int FindShellExecutable(WCHAR (&path)[SETTING_PATH_CHARS])
{
    // A path longer than the buffer comes back cut and unterminated on some platforms.
    DWORD length = GetModuleFileNameW(NULL, path, SETTING_PATH_CHARS);
    path[length < SETTING_PATH_CHARS ? length : SETTING_PATH_CHARS - 1] = L'\0';
    return length == 0 || length >= SETTING_PATH_CHARS ? 1 : 0;
}

void FindHomeDirectory(WCHAR (&homeDirectory)[SETTING_PATH_CHARS])
{
    FindShellExecutable(homeDirectory);
    WCHAR* lastBackslash = wcsrchr(homeDirectory, L'\\');
    if (lastBackslash) *lastBackslash = L'\0';
}

int FormatSettingsPath(LPCWSTR homeDirectory, LPCWSTR fileName, WCHAR (&path)[SETTING_PATH_CHARS])
{
    return FAILED(StringCchPrintfW(path, SETTING_PATH_CHARS, L"%ls\\settings\\%ls", homeDirectory, fileName)) ? 1 : 0;
}

int LoadShellSettings(const SettingsFiles& files, ShellSettings* settings, LPWSTR failedPath)
{
    bool loaded = LoadAllSections(files, failedPath, *settings);
    ClearSectionStore();
    return loaded ? 0 : 1;
}

int LoadShellSettings(LPCWSTR homeDirectory, ShellSettings* settings)
{
    return LoadShellSettings(SettingsFiles{homeDirectory}, settings);
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
