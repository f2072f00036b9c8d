// The parts of a theme: every bitmap the shell copies from, the least it needs of it, the
// module that draws with it and whether the shell starts without it. The loaders, the
// theme checker and the theme preview all read this one table, in which the parts stand in
// the order the shell loads them; a new part is a new row and its id.
#pragma once
#include <windows.h>

#include "config/shell_settings.h"

// Magenta: the theme's colour for the parts of a window that are cut away.
const COLORREF KEY_COLOR = RGB(255, 0, 255);

// Buttons stand this far below the bar's top; the theme's Taskbar.ButtonY is not used.
const int TASK_BUTTON_Y = 3;

// The battery's gauge faces, BATTERY0 (empty) to BATTERY4 (full).
enum { BATTERY_GAUGE_STEPS = 5 };

// A face pair's pressed face is the part after its up face.
enum ThemePartId {
    PART_TASKBAR,
    PART_START_BUTTON_UP,
    PART_START_BUTTON_DOWN,
    PART_CLOCK,
    PART_TASK_BUTTON_UP_LEFT,  // the left part with the icon, one column of fill, the right cap
    PART_TASK_BUTTON_UP_FILL,
    PART_TASK_BUTTON_UP_CAP,
    PART_TASK_BUTTON_DOWN_LEFT,
    PART_TASK_BUTTON_DOWN_FILL,
    PART_TASK_BUTTON_DOWN_CAP,
    PART_FIRST_BATTERY_STEP,  // BATTERY0 to BATTERY4, then the charging face
    PART_BATTERY_CHARGING = PART_FIRST_BATTERY_STEP + BATTERY_GAUGE_STEPS,
    PART_START_BACK,
    PART_USER_PICTURE,
    PART_FIRST_SIDE_UP,  // SIDE0U, SIDE0D, SIDE1U, ... SIDE7D
    PART_EXIT_UP = PART_FIRST_SIDE_UP + 2 * SIDE_ITEM_COUNT,
    PART_EXIT_DOWN,
    PART_ALL_PROGRAMS_UP,
    PART_ALL_PROGRAMS_DOWN,
    PART_SHORTCUT_UP,
    PART_SHORTCUT_DOWN,
    THEME_PART_COUNT
};

enum class ThemeUser { Taskbar, TaskButtons, Battery, StartMenu };

struct ThemePart {
    LPCWSTR name;  // <theme folder>\<name>.bmp; NULL for the user picture that settings.cfg names
    ThemeUser user;
    bool required;                                // the shell does not start without it
    SIZE (*size)(const ShellSettings& settings);  // the least the shell copies from it
};

extern const ThemePart THEME_PARTS[THEME_PART_COUNT];
