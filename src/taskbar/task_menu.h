// The popup menus of the task buttons: a held button's menu for its window (Restore or
// Bring to front, Minimise, Close) and the list of the windows that "More" stands for. Their
// lines are drawn by the shell (icon and title in its font), so the owner window hands its
// WM_MEASUREITEM and WM_DRAWITEM here. A menu acts on the windows it was opened for, never
// on whatever the task list holds at that place when it closes.
#pragma once
#include <windows.h>

// Who opens the menus: the window that owns them and the module of the shell's texts.
struct TaskMenuOwner {
    HWND window;
    HINSTANCE instance;
};

// Pops up the menu of the task list's window at the position, its bottom-left corner at the
// anchor (screen coordinates), and does what is chosen; nothing when the window went while
// the menu was open. `minimising` says that the press which began the hold asked the window to
// minimise: its application may not have done it yet, and the menu offers what will be true.
void ShowTaskMenu(const TaskMenuOwner& owner, int position, POINT anchor, bool minimising);
// Pops up the task list's windows from the position to the last, in the list's order, and
// brings the chosen one to the front.
void ShowTaskListMenu(const TaskMenuOwner& owner, int first, POINT anchor);
// Whether one of these menus is open, its loop running.
bool TaskMenuShown();
// The menu that ShowTaskListMenu pops up, NULL when it cannot be made; the caller destroys it.
HMENU BuildTaskListMenu(int first);

// Brings the window to the front, restoring it first when it is minimised; waits for no
// other process.
void BringWindowToFront(HWND window);

// The owner's WM_MEASUREITEM and WM_DRAWITEM for a line of these menus; TRUE when handled.
BOOL MeasureTaskMenuLine(MEASUREITEMSTRUCT* measure);
BOOL DrawTaskMenuLine(const DRAWITEMSTRUCT* draw);
