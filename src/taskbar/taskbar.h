// The taskbar: a topmost, non-activating bar along the bottom of the screen with the start
// button, the task buttons and the clock, composed in a back buffer.
#pragma once
#include <windows.h>

#include "gfx/surface.h"

enum {
    TASKBAR_COMMAND_BASE = 100,
    TASKBAR_BUTTON_COUNT = 32,
    START_BUTTON = 0,
    CLOCK_BUTTON = 1,
    TASK_BUTTON_SLOTS = 16,  // buttons 10 to 25
    FIRST_TASK_BUTTON = 10,
    CLOCK_TEXT_CHARS = 16,
    MORE_TEXT_CHARS = 128,
};

// The theme images of the bar, each a surface of its bitmap's own size.
struct TaskbarThemeImages {
    MemorySurface background;  // TASKBAR: only its first column is used, stretched
    MemorySurface startUp, startDown;
    MemorySurface clockBackground;  // TASKBARCLK
    MemorySurface taskUp[3];        // TBTNU0-2: left part, middle column, right cap
    MemorySurface taskDown[3];      // TBTND0-2
};

extern HWND TaskbarWindow;
extern MemorySurface TaskbarBackBuffer;  // the bar's full size
extern SIZE TaskbarBackBufferSize;
extern TaskbarThemeImages TaskbarTheme;
extern MemorySurface TaskButtonImages[TASK_BUTTON_SLOTS][2];  // up and down face of each position
extern WCHAR MoreText[MORE_TEXT_CHARS];                      // label of the overflow button

// Registers the class and creates the bar, hidden; 1 when the window cannot be made.
int CreateTaskbar(HINSTANCE instance);
LRESULT CALLBACK TaskbarWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int LoadTaskbarBuffers(HINSTANCE instance);
int LoadTaskbarObjects(HINSTANCE instance);
void ReleaseTaskbarSurfaces();
// Copies the whole back buffer to a DC of the taskbar window.
void PaintTaskbar(HDC dc);
// Redraws the clock when the text it shows changes.
void UpdateClock();

// "H:MM", or "H:MM AM"/"H:MM PM" for the 12-hour clock (hour 0 stays 0).
void FormatClockText(const SYSTEMTIME& time, int amPm, WCHAR (&text)[CLOCK_TEXT_CHARS]);
