// What the shell takes from a theme beyond what its theme file gives: the key colour and
// the parts of the task buttons it copies out of bitmaps at fixed sizes. The shell draws
// with these and the theme checker measures bitmaps against them.
#pragma once
#include <windows.h>

// Magenta: the theme's colour for the parts of a window that are cut away.
const COLORREF KEY_COLOR = RGB(255, 0, 255);

enum {
    // Task buttons: TBTNx0 gives the left part, TBTNx2 the right cap, TBTNx1 one column of fill.
    TASK_BUTTON_LEFT_UP_CX = 18,   // TBTNU0
    TASK_BUTTON_LEFT_DOWN_CX = 4,  // TBTND0: the pressed face uses only this much of it
    TASK_BUTTON_CAP_CX = 4,        // TBTNU2, TBTND2
    // Buttons stand at this height in the bar; the theme's Taskbar.ButtonY is not used.
    TASK_BUTTON_Y = 3,
};
