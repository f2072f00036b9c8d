// Start menu layout check: where the theme file puts the menu's items, and which of them
// reach outside the menu, have no area or overlap another.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "config/shell_settings.h"

// An item of the start menu in its client coordinates, named after its theme file keys;
// wide enough for any sum of the keys' values.
struct LayoutItem {
    std::wstring name;  // Shortcut0..5, Side0..7, AllPrograms, Exit, UserIcon, UserName
    long long x, y, cx, cy;
};

// Every item as the settings place it: shortcuts, side items, All Programs, the exit
// button, the user picture's and the user name's boxes.
std::vector<LayoutItem> StartMenuLayout(const ShellSettings& settings);

// One line for each item with no area or reaching outside a menu of the given size, and
// one for each pair of items that overlap; none for a sound layout.
std::vector<std::wstring> CheckStartMenuLayout(const std::vector<LayoutItem>& items, SIZE menu);
