// The taskbar: a topmost, non-activating bar along the bottom of the screen with the start
// button, the task buttons and the clock, composed in a back buffer.
#pragma once
#include <windows.h>

enum { CLOCK_TEXT_CHARS = 16 };

extern HWND TaskbarWindow;

// What a press of the start button does.
typedef void (*StartButtonAction)();

// Registers the class and creates the bar, hidden; 1 when the window cannot be made or its
// creation did not run to the end.
int CreateTaskbar(HINSTANCE instance, StartButtonAction startButtonAction);

// Draws the start button pressed (while the start menu is shown) or released.
void SetStartButtonPressed(bool pressed);

// Sets the desktop's work area to the screen above the bar; 0 on success.
int ReserveTaskbarStrip();

// "H:MM", or "H:MM AM"/"H:MM PM" for the 12-hour clock (hour 0 stays 0).
void FormatClockText(const SYSTEMTIME& time, int amPm, WCHAR (&text)[CLOCK_TEXT_CHARS]);
