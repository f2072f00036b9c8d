// Run...: a dialog in which a command is typed or picked from the last ten, and started.
// The history is kept in the settings file, in a section of its own.
#pragma once
#include <windows.h>

enum { RUN_HISTORY_SIZE = 10, RUN_COMMAND_CHARS = 1024 };

// The commands that started, newest first.
struct RunHistory {
    WCHAR command[RUN_HISTORY_SIZE][RUN_COMMAND_CHARS];
    int count;
};

// Reads [RunHistory] Command0 (the newest) to Command9 from the settings file; missing and
// empty keys are left out, so a missing file or section gives an empty history.
void LoadRunHistory(LPCWSTR settingsFile, RunHistory* history);
// Puts the command first: the same command further down moves up, and beyond ten the
// oldest drops out.
void AddToRunHistory(RunHistory* history, LPCWSTR command);
// Writes the history into its section through the store's atomic write, keeping the rest
// of the file and the section's other keys; 1 when the file cannot be written.
int SaveRunHistory(LPCWSTR settingsFile, const RunHistory& history);

// Shows the dialog and returns when it closes, or brings it to the front when it is already
// open. OK starts the command through LaunchProgram and adds it to the history; a command
// that cannot start keeps the dialog open, with a box giving the system's reason.
void OpenRunDialog(HINSTANCE instance, LPCWSTR settingsFile);
