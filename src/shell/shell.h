// Process entry of the shell: start-up sequence and the message loop.
#pragma once
#include <windows.h>

// Runs the start-up steps and then the message loop; returns the process exit code. A
// shell started by a restart has "--after=<process id>" of the shell it follows on its
// command line.
int RunShell(HINSTANCE instance);
