// Starting programs: the shell-execute service, through which every start of the shell
// goes, and the split of a typed command into a program and its arguments.
#pragma once
#include <windows.h>

// Starts a program or opens a folder or document, without waiting for it, under the wait
// cursor. A failure is logged, never shown; 1 then, with the system's error code in
// *failure when it is given. When process is given, it receives the started process's
// handle, the caller's to close (NULL when the system names none).
int LaunchProgram(LPCWSTR path, LPCWSTR arguments, DWORD* failure = NULL, HANDLE* process = NULL);

// Splits a typed command into the program and its arguments: a quoted program path, or else
// the longest leading part, ending before a space, that names an existing file or folder, or
// else the first word. The arguments are the rest, without the spaces in front. 1 for a
// command of only spaces, or a part too long for its buffer.
int SplitCommand(LPCWSTR command, LPWSTR program, int programChars, LPWSTR arguments, int argumentChars);
