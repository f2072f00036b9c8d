// The start menu: a shaped, topmost popup above the start button with the user's picture
// and name, six shortcuts, eight side items, All Programs and the exit button, composed
// once at creation.
#pragma once
#include <windows.h>

#include "config/shell_settings.h"
#include "taskbar/taskbar.h"

// Nonzero while the menu is shown; 16 bits wide on purpose, as the taskbar reads it.
extern SHORT StartMenuVisible;

// What the exit button opens, 100 ms after the menu has gone.
typedef int (*ExitScreenOpener)(HINSTANCE instance);

// Registers the class and creates the menu from the settings, hidden, owned by the taskbar;
// 1 on failure. The settings must outlive the menu.
int CreateStartMenu(HINSTANCE instance, const ShellSettings& settings, ExitScreenOpener openExitScreen);

// Composes the whole menu from the settings for the window in its back buffer, registered as
// the window's buttons, and cuts its shape from STARTBACK (the caller owns it, NULL when not
// made). 1 when a step failed (logged, and the fatal error raised).
int ComposeStartMenu(HWND window, HINSTANCE instance, const ShellSettings& settings, HRGN* shape);
// Copies the composed menu to the DC.
void PaintStartMenu(HDC dc);
// Where the All Programs popup's bottom-left corner goes, in the menu's coordinates: the
// bottom-right corner of its button.
POINT AllProgramsAnchor();

void ShowStartMenu(StartMenuRequest request);
void HideStartMenu();
// The start button's and the menu key's action: hides the menu when shown, shows it
// otherwise; shown for a key, the keyboard's focus is on the first shortcut.
void ToggleStartMenu(StartMenuRequest request);
