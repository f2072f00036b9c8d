// The taskbar: a topmost, non-activating bar along the bottom of the screen with the start
// button, the task buttons and the clock, composed in a back buffer.
#pragma once
#include <windows.h>

#include "config/shell_settings.h"

enum { CLOCK_TEXT_CHARS = 16 };

extern HWND TaskbarWindow;

// How the start menu is asked for: the start button, or a key, after which the keyboard
// moves in it.
enum StartMenuRequest { MENU_BY_PEN, MENU_BY_KEY };
// What the start button and the menu's keys do.
typedef void (*StartButtonAction)(StartMenuRequest request);

// Registers the class and creates the bar from the settings, hidden; 1 when the window cannot
// be made or its creation did not run to the end. The settings must outlive the bar.
int CreateTaskbar(HINSTANCE instance, const ShellSettings& settings, StartButtonAction startButtonAction);

// Composes the bar for the window in its back buffer: the background, the start button, the
// blank clock and sixteen empty task buttons, registered as the window's buttons. 1 when a
// step failed (logged, and the fatal error raised).
int ComposeTaskbar(HWND window, HINSTANCE instance, const ShellSettings& settings);
// Redraws the clock when the local time's text differs from the one it shows.
void UpdateClock();
// Copies the whole bar from its back buffer to the DC.
void PaintTaskbar(HDC dc);

// Draws the start button pressed (while the start menu is shown) or released; while it is
// pressed the bar stays above a program that takes the whole screen.
void SetStartButtonPressed(bool pressed);

// Sets the desktop's work area to the screen above a bar of the settings; 0 on success.
int ReserveTaskbarStrip(const ShellSettings& settings);

// "H:MM", or "H:MM AM"/"H:MM PM" for the 12-hour clock (hour 0 stays 0).
void FormatClockText(const SYSTEMTIME& time, int amPm, WCHAR (&text)[CLOCK_TEXT_CHARS]);
