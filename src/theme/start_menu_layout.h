// The start menu's layout: where the theme file puts each item of the menu, and which of
// them reach outside the menu, have no area or overlap another. The menu, the theme checker
// and the theme preview all place the items from here.
#pragma once
#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "config/shell_settings.h"

// The items in the order of the theme file's keys.
enum StartMenuItem {
    ITEM_FIRST_SHORTCUT = 0,
    ITEM_FIRST_SIDE = ITEM_FIRST_SHORTCUT + MENU_SHORTCUT_COUNT,
    ITEM_ALL_PROGRAMS = ITEM_FIRST_SIDE + SIDE_ITEM_COUNT,
    ITEM_EXIT,
    ITEM_USER_ICON,
    ITEM_USER_NAME,
    START_MENU_ITEM_COUNT
};

// An item's rectangle in the menu's client coordinates; wide enough for any sum of the
// keys' values, which the menu then wraps as 32-bit sums do.
struct LayoutItem {
    long long x, y, cx, cy;
};
typedef std::array<LayoutItem, START_MENU_ITEM_COUNT> StartMenuPlaces;

// Every item as the settings place it: shortcuts, side items, All Programs, the exit
// button, the user picture's and the user name's boxes.
StartMenuPlaces StartMenuLayout(const ShellSettings& settings);

// The item's name after its theme file keys: Shortcut0..5, Side0..7, AllPrograms, Exit,
// UserIcon, UserName.
std::wstring LayoutItemName(int item);

// One line for each item with no area or reaching outside a menu of the given size, and
// one for each pair of items that overlap; none for a sound layout.
std::vector<std::wstring> CheckStartMenuLayout(const StartMenuPlaces& items, SIZE menu);
