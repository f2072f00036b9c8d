// The argument of the theme tools: a home directory, or a theme file where it stands. A
// theme file's home is the folder above its own (its bitmaps are in <home>\theme\<Name>), and
// the rest of the settings come from the bundled defaults, which the tool carries, so that a
// theme author checks a theme before there is a home to copy it into.
#pragma once
#include <windows.h>

#include <string>

#include "config/shell_settings.h"

// A path as the shell knows its home directory: full, without a trailing backslash.
std::wstring FullPath(LPCWSTR path);

class ThemeArgument {
public:
    // 1 when the bundled defaults for a theme file cannot be laid out; the reason is then
    // in error.
    int Read(LPCWSTR argument, std::wstring* error);
    ~ThemeArgument();

    const std::wstring& home() const { return home_; }
    SettingsFiles files() const;

private:
    std::wstring home_, themePath_;
    std::wstring settingsPath_;  // the bundled defaults' temporary copy, for a theme file
};
