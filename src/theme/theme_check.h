// Theme checker: finds, before the shell does, every theme bitmap that is missing,
// unreadable or smaller than the part the shell copies from it, and warns about start menu
// items outside the menu or on top of each other.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "config/shell_settings.h"

enum class ThemeProblem { SettingsUnloadable, Missing, Unreadable, TooSmall, Warning };

struct ThemeFinding {
    ThemeProblem kind;
    std::wstring path;  // the file concerned
    std::wstring line;  // the report line, without a line break
};

struct ThemeReport {
    std::wstring themeName;  // the theme's bitmap folder; empty when the settings failed
    int bitmapsChecked = 0;
    std::vector<ThemeFinding> findings;
};

// Reads the settings and their theme file with the shell's own reader and checks every part
// of the theme, in the shell's order, then the menu's layout. 0 when the shell would start
// with this theme (warnings allowed), 1 otherwise. The shell's own globals are not touched.
int CheckTheme(const SettingsFiles& files, ThemeReport* report);
// The same for <home>'s own files; a theme file given (a name in <home>\settings) is checked
// in place of the one Main.Theme names.
int CheckTheme(LPCWSTR home, ThemeReport* report, LPCWSTR themeFile = NULL);

// The closing line: the theme, the bitmaps checked, the problems and warnings.
std::wstring SummarizeThemeReport(const ThemeReport& report);
