// The shell's keys that work whichever program is in front, registered as hot keys of the
// taskbar's window: Ctrl+Esc and the settings' menu key open and close the start menu, Alt+Tab
// and Shift+Alt+Tab switch windows. WM_HOTKEY's wParam is one of ShellHotKey.
#pragma once
#include <windows.h>

enum ShellHotKey { HOT_KEY_MENU = 1, HOT_KEY_CHOSEN_MENU, HOT_KEY_SWITCH, HOT_KEY_SWITCH_BACK };

// MOD_ flags and a virtual key.
struct KeyChord {
    UINT modifiers;
    UINT key;
};

// A key as settings.cfg names it: a virtual-key name such as "F1", "Home", "A" or "7", after
// any of "Ctrl+", "Alt+", "Shift+" and "Win+", in any case. False for a name the shell does
// not know.
bool ParseKeyName(LPCWSTR name, KeyChord* chord);

// Registers the keys on the window, the menu key named by the settings ("" for none). A key
// another program holds, or a name the shell does not know, is logged and left out.
void RegisterShellHotKeys(HWND window, LPCWSTR menuKeyName);
void UnregisterShellHotKeys(HWND window);
