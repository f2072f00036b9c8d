// Programs that take the whole screen: while the window in front covers the screen and is not
// the shell's own, the bar steps behind it; the moment that window leaves the front, closes
// or stops covering the screen, the bar is back on top. The work area never changes.
#pragma once
#include <windows.h>

// Sent to the bar when another window comes to the front.
const UINT FRONT_CHANGE_MESSAGE = WM_APP + 0x50;

// Puts the bar behind the window in front when that covers the screen, on top otherwise; a
// bar already where it belongs is left alone. NULL for no window in front.
void FollowFrontWindow(HWND bar, HWND front);
// Puts the bar back on top, on the screen as well as in the system's order, unless it stands
// behind a window that covers the screen.
void RaiseBarAgain(HWND bar);
// Whether the bar stands behind a window that covers the screen.
bool BarBehindFullScreen();
