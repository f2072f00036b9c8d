// Starting programs: the shell-execute service, and the All Programs popup over the
// device's application folders.
#pragma once
#include <windows.h>

enum { MAX_APPLICATIONS = 128 };

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

// A volume whose application folder ("アプリ") is scanned.
struct ApplicationVolume {
    LPCWSTR root;     // "\NAND3"
    LPCWSTR heading;  // "NAND3:"
};

// The AppMain.exe of every listed folder: entry k belongs to the menu item with id k + 1.
struct ApplicationPaths {
    WCHAR path[MAX_APPLICATIONS][MAX_PATH];
    int count;
};

// Appends the application folders of the volumes to the menu, in the order the directory
// search gives them: each volume's under its grayed heading, a separator between two
// volumes that both have some. Folders beyond the table, or whose path would not fit, are
// left out.
void AppendApplicationItems(HMENU menu, const ApplicationVolume* volumes, int volumeCount, ApplicationPaths* paths);

// Pops up the device's applications under the volumes' headings in the shell's language,
// the popup's bottom-left corner at the anchor (screen coordinates), and starts the chosen
// one. 1 when one was chosen, 0 when dismissed.
int ShowAllProgramsMenu(HWND owner, HINSTANCE instance, POINT anchor);
