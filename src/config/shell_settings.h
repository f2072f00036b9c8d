// The shell's settings, read once at start-up, and the display resources made from them.
#pragma once
#include <windows.h>

enum {
    SETTING_PATH_CHARS = 260,
    SETTING_NAME_CHARS = 128,
    MENU_SHORTCUT_COUNT = 6,
    SIDE_ITEM_COUNT = 8,  // the start menu's column of the device's places
};

struct MenuShortcut {
    WCHAR name[SETTING_NAME_CHARS];  // the text shown
    WCHAR path[SETTING_PATH_CHARS];  // what is started, also the file its icon comes from
};

// Each field is named after the section and key it comes from.
struct ShellSettings {
    // settings.cfg, [Main]
    WCHAR mainTheme[SETTING_PATH_CHARS];  // the theme file's name
    WCHAR mainLanguage[SETTING_PATH_CHARS];
    WCHAR mainFontName[SETTING_NAME_CHARS];
    int mainFontQuality;
    int mainFontSize;
    int mainBigFontSize;
    WCHAR mainMenuKey[SETTING_NAME_CHARS];  // a key name that opens the start menu, "" for none
    // settings.cfg, [Taskbar]
    int taskbarAmPm;  // nonzero: 12-hour clock
    // theme file, [Theme]
    WCHAR themeDirectory[SETTING_NAME_CHARS];
    WCHAR themeFolder[SETTING_PATH_CHARS];  // HomeDirectory\theme\ThemeDirectory, where the bitmaps are
    WCHAR themePath[SETTING_PATH_CHARS];    // the theme file read
    // theme file, [Taskbar]
    int taskbarHeight;
    int taskbarButtonHeight;
    int taskbarButtonMaxCX;
    int taskbarButtonY;
    int taskbarClockCX;
    int taskbarStartButtonCX;
    // theme file, [Taskbar]: the notification area, right-aligned against the clock; a key the
    // file lacks keeps the value that fits the bundled themes.
    int taskbarNotifyIconSize;  // the icons' width and height
    int taskbarNotifyIconY;     // their top in the bar
    int taskbarNotifyIconStep;  // from one icon's left edge to the next
    int taskbarNotifyPadCX;     // free space at either end of the area
    // theme file, [Start]
    int startHeight;
    int startWidth;
    int startIconX;
    int startIconY;
    int startIconCX;
    int startIconCY;
    // theme file, [Start]: where the menu's items stand in its client area, their sizes and
    // the colours of their texts, up (U face) and pressed (D face). A key the file lacks
    // keeps the default theme's value.
    int startShortcutX, startShortcutY, startShortcutStep, startShortcutCX, startShortcutCY;
    int startShortcutTextX, startShortcutIconX, startShortcutIconY;
    int startSideX, startSideY[SIDE_ITEM_COUNT], startSideCX, startSideCY, startSideTextX;
    int startAllProgramsX, startAllProgramsY, startAllProgramsCX, startAllProgramsCY, startAllProgramsTextRight;
    int startExitX, startExitY, startExitCX, startExitCY, startExitTextX;
    int startUserNameX, startUserNameY, startUserNameCX, startUserNameCY;
    int startUserNameShadowX, startUserNameShadowY;  // the shadow's offset from the name
    COLORREF startShortcutTextColor, startShortcutTextDownColor, startSideTextColor, startSideTextDownColor;
    COLORREF startAllProgramsTextColor, startAllProgramsTextDownColor, startExitTextColor, startExitTextDownColor;
    COLORREF startUserNameColor, startUserNameShadowColor;
    // settings.cfg, [Start]
    WCHAR userPicturePath[SETTING_PATH_CHARS];  // HomeDirectory\UserIcon
    WCHAR startUserName[SETTING_NAME_CHARS];
    MenuShortcut menuShortcuts[MENU_SHORTCUT_COUNT];
};

extern ShellSettings Settings;
extern SIZE ScreenSize;
extern HFONT NormalFont;
extern HFONT BigFont;

// The shell's settings file in <HomeDirectory>\settings, beside the theme files.
const WCHAR SHELL_SETTINGS_FILE[] = L"settings.cfg";

// The full path of the shell's executable; 1 when it does not fit.
int FindShellExecutable(WCHAR (&path)[SETTING_PATH_CHARS]);
// The folder of the shell's executable without a trailing backslash: the HomeDirectory,
// which holds settings\ and theme\.
void FindHomeDirectory(WCHAR (&homeDirectory)[SETTING_PATH_CHARS]);
// <homeDirectory>\settings\<fileName>; 1 when it does not fit, with the part that does.
int FormatSettingsPath(LPCWSTR homeDirectory, LPCWSTR fileName, WCHAR (&path)[SETTING_PATH_CHARS]);

// Where the settings are read from: <home>\settings\settings.cfg and the theme file its
// Main.Theme names there, unless one of the others is given.
struct SettingsFiles {
    LPCWSTR home;                  // the HomeDirectory: the theme folder's and the user picture's base
    LPCWSTR themePath = NULL;      // a theme file where it stands, in place of Main.Theme's
    LPCWSTR settingsPath = NULL;   // a settings.cfg where it stands, in place of the home's
};

// Reads the files into settings. 1 when a section cannot be loaded: the file is logged and,
// when failedPath is given, copied there (SETTING_PATH_CHARS characters).
int LoadShellSettings(const SettingsFiles& files, ShellSettings* settings, LPWSTR failedPath = NULL);
// The same for <homeDirectory>'s own files.
int LoadShellSettings(LPCWSTR homeDirectory, ShellSettings* settings);

// Fills ScreenSize from the system's metrics.
void ReadScreenSize();
// Makes NormalFont and BigFont from the font settings.
void CreateShellFonts();
