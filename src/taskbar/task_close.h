// Closing an application's window from the taskbar: a request that the application may
// refuse, and, for a window that is hung or still there a while after that request, ending
// its process once the user has confirmed it in the End task box.
#pragma once
#include <windows.h>

// How long a window may take to close before Close offers End task.
const DWORD CLOSE_GRACE_MS = 5000;

// Posts WM_CLOSE to the window and returns at once. When the window was asked before and is
// hung now or has outlived the grace since, asks in the End task box (owned by the owner)
// instead and ends the window's process on OK. The shell's own windows are only asked.
void CloseTaskWindow(HWND owner, HINSTANCE instance, HWND window);
