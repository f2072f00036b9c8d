// The shell's restart: a new shell started from this one's executable, which waits for this
// process to end before it claims the screen, so that one taskbar and one claim of the work
// area stand at any moment. The settings dialog offers it through ShellRestart.
#pragma once
#include <windows.h>

#include "dialogs/settings_dialog.h"

// What the settings dialog is given to restart this shell.
extern const ShellRestart SHELL_RESTART;

// A shell started by a restart has "--after=<process id>" of the shell it follows on its
// command line: it waits here until that process has ended, for as long as the question
// takes to answer (the one before ends it itself when the answer is No). The process id of
// the one it followed, 0 when none.
DWORD WaitForPredecessor(LPCWSTR commandLine);

// Starts a new shell from this shell's executable, with "--after=<this process>" and the
// further arguments: its process, the caller's to close, or NULL (logged) when it cannot start.
HANDLE StartSuccessor(LPCWSTR moreArguments);

// The value of an option on the command line, where an argument starts outside quotes;
// NULL when it is not there.
LPCWSTR FindShellOption(LPCWSTR commandLine, LPCWSTR option);
