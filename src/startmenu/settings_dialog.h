// The shell's settings dialog: what an owner changes in settings.cfg (user name and
// picture, theme, clock, the six shortcuts), read and written through the section store.
#pragma once
#include <windows.h>

// The quit code that asks the shell to end and start anew (the process still exits with 0).
enum { SHELL_RESTART_CODE = 2 };

enum SettingsOutcome { SETTINGS_UNCHANGED, SETTINGS_SAVED, SETTINGS_RESTART };

// Shows the dialog, modal, over the owner for the settings of the home directory. OK writes
// the changed keys, once the theme checker finds the chosen theme sound, and then offers a
// restart; when it is taken, the quit request with SHELL_RESTART_CODE is posted.
SettingsOutcome RunSettingsDialog(HINSTANCE instance, HWND owner, LPCWSTR homeDirectory);

// Starts the shell that takes over after a restart, which waits for this process to end:
// its process, or NULL (logged) when it cannot start.
typedef HANDLE (*SuccessorStarter)();
// Set by the shell: the new shell is then started while the restart question is read, and
// ended again when the answer is No; one that cannot start leaves no restart to offer.
void SetSuccessorStarter(SuccessorStarter start);
