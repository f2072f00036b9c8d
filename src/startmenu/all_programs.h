// The All Programs popup over the device's application folders: each folder of a volume's
// application folder is one item, started as its AppMain.exe.
#pragma once
#include <windows.h>

enum { MAX_APPLICATIONS = 128 };

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
// one; opened from a key, the first application is selected. 1 when one was chosen, 0 when
// dismissed.
int ShowAllProgramsMenu(HWND owner, HINSTANCE instance, POINT anchor, bool selectFirst = false);
