// The task list: every 500 ms the visible top-level application windows are enumerated
// and merged into the previous list, so that the task buttons keep their order; the
// buttons are redrawn only when the list or the foreground window changed.
#pragma once
#include <windows.h>

enum { MAX_TASKS = 64, TASK_TITLE_CHARS = 128 };

struct TaskEntry {
    HWND window;  // NULL marks a free entry
    WCHAR title[TASK_TITLE_CHARS];
    HICON icon;     // the window's small icon, NULL when none was found
    bool ownsIcon;  // the icon was extracted from a file and is destroyed with the entry
};

// Empties the lists; nothing selected.
void ResetTaskLists();
// One tick: enumerate, merge, and redraw what changed. Always 0.
int RefreshTaskList();
// Brings the window of the button at the position to the front, or minimises it when its
// button was already the selected one.
void PressTaskButton(int position);

// The number of tracked windows and the position of the foreground window's entry (-1: none).
int TaskCount();
int SelectedTask();
const TaskEntry& CurrentTask(int position);

// Visible, neither popup nor child.
bool IsTaskWindow(LONG style);
// Windows of the previous list keep their order; new ones are appended, the one
// enumerated last first. Returns the number of entries written to current.
int MergeTaskLists(const TaskEntry (&previous)[MAX_TASKS], const TaskEntry (&enumerated)[MAX_TASKS],
                   TaskEntry (&current)[MAX_TASKS]);

struct TaskButtonPlace {
    int x, width;
};
// Where button i of the shown ones stands in the task area: fixed widths while they fit,
// otherwise the area shared out without gaps.
TaskButtonPlace PlaceTaskButton(int left, int areaWidth, int buttonMaxCX, int shown, int i);
