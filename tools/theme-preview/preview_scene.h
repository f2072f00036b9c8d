// The scenes of the theme preview: the taskbar and the start menu composed by the shell's
// own code from a home directory, in memory, and painted into pictures as the shell shows
// them.
#pragma once
#include <windows.h>

#include "config/shell_settings.h"

// Loads the settings and composes, for a screen of the given size, the taskbar with example
// task buttons and the clock, and the start menu with its shape. Nothing is shown, started
// or written. 1 when the shell would not start with them (the shell's log lines say why).
int ComposeScenes(const SettingsFiles& files, SIZE screen);

// The bar alone, at its size: the screen's width and the bar's height.
SIZE TaskbarSceneSize();
void PaintTaskbarScene(HDC dc);
// The screen with the start menu open, cut by its shape, and the place where the All
// Programs popup opens, with example entries.
void PaintStartMenuScene(HDC dc);
// The start menu alone, uncut, with each item's rectangle outlined and named as in the
// theme file's keys, at the menu's size.
SIZE LayoutSceneSize();
void PaintLayoutScene(HDC dc);
// The battery's faces, empty to full and charging, in a row on the bar's background at the
// notification area's icon size, top and step.
SIZE BatterySceneSize();
void PaintBatteryScene(HDC dc);
// The screen as the exit screen's snapshot finds it: the desktop and the bar.
void PaintDesktopScene(HDC dc);
