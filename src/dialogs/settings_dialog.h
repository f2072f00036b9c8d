// The shell's settings dialog: what an owner changes in settings.cfg (user name and
// picture, theme, clock, the six shortcuts), read and written through the section store.
#pragma once
#include <windows.h>

enum SettingsOutcome { SETTINGS_UNCHANGED, SETTINGS_SAVED, SETTINGS_RESTART };

// The shell's restart, as the dialog offers it after a good write.
struct ShellRestart {
    // Starts the new shell, which waits for this process to end: its process, or NULL
    // (logged) when it cannot start, and then no restart is offered.
    HANDLE (*startSuccessor)();
    // Ends this shell, so that the started one takes over.
    void (*handOver)();
};
// Set by the shell: the new shell is then started while the restart question is read, ended
// again when the answer is No, and handed over to at Yes. Without it the question is asked
// and Yes only says so in the outcome.
void SetShellRestart(const ShellRestart* restart);

// Shows the dialog, modal, over the owner for the settings of the home directory. OK writes
// the changed keys, once the theme checker finds the chosen theme sound, and then offers a
// restart.
SettingsOutcome RunSettingsDialog(HINSTANCE instance, HWND owner, LPCWSTR homeDirectory);
