// The exit screen: a full-screen snapshot that fades to grey behind the exit dialog. OK ends
// the shell, Cancel returns to the desktop.
#pragma once
#include <windows.h>

// Shows the exit screen and its dialog and returns when the dialog has closed, having
// posted the quit request (exit code 0) after OK. 1 when the window cannot be made.
int OpenExitScreen(HINSTANCE instance);
