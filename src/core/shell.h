// Process entry of the shell: start-up sequence and the message loop.
#pragma once
#include <windows.h>

enum { HOME_DIRECTORY_CHARS = 260 };

extern HINSTANCE ShellInstance;                    // for window classes and resources
extern WCHAR HomeDirectory[HOME_DIRECTORY_CHARS];  // the executable's folder, no trailing backslash

// Fills HomeDirectory from the executable's own path.
void FindHomeDirectory();

// Runs the start-up steps and then the message loop; returns the process exit code.
int RunShell(HINSTANCE instance);
