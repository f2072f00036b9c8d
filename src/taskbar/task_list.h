// The task list: the visible top-level application windows, polled on every tick and
// merged into the previous list so that their buttons keep their order. It keeps the
// windows' icons and the selection (the entry of the window in front) and says what
// changed; the taskbar draws.
#pragma once
#include <windows.h>

// Windows' icons are drawn at TASK_ICON_SIZE x TASK_ICON_SIZE pixels.
enum { MAX_TASKS = 64, TASK_TITLE_CHARS = 128, TASK_ICON_SIZE = 16 };

// How long the shell waits for an application to answer a message; one that does not answer
// in time is taken for hung.
const UINT WINDOW_ANSWER_TIMEOUT_MS = 200;

struct TaskEntry {
    HWND window;  // NULL marks a free entry
    WCHAR title[TASK_TITLE_CHARS];
    HICON icon;     // the window's small icon, NULL when none was found
    bool ownsIcon;  // the icon was extracted from a file and is destroyed with the entry
};

// What a tick changed.
enum TaskListChange : unsigned {
    TASK_LIST_CHANGED = 1,       // windows came, went or were retitled: every button is redrawn
    TASK_SELECTION_CHANGED = 2,  // another entry (or none) is in front
};

// Finds a window's small icon; *owned tells whether the icon is the caller's to destroy.
typedef HICON (*TaskIconFinder)(HWND window, bool* owned);

// Empties the lists, destroying the icons they own; nothing selected.
void ResetTaskLists();
// While held, owned icons that entries give up are kept alive, for a menu or the window
// chooser that draws them; they are destroyed when the last hold ends.
void HoldTaskIcons(bool hold);
// Called for every top-level window a tick's enumeration passes, tracked or not.
typedef void (*TopLevelWindowVisitor)(HWND window);
// One tick over the desktop's windows, each also shown to visit (when given); returns the
// TaskListChange flags.
unsigned RefreshTaskList(TopLevelWindowVisitor visit = nullptr);
// Merges one enumeration into the list: entries whose window and title stay keep their
// icons, others get one from findIcon, and owned icons that no entry keeps are destroyed.
// Then selects the entry of the foreground window or of its owner. Returns the changes.
unsigned UpdateTaskList(const TaskEntry (&enumerated)[MAX_TASKS], HWND foreground, HWND foregroundOwner,
                        TaskIconFinder findIcon);

int TaskCount();
// The position of the window's entry, or of the entry of the window that owns it (a dialog's
// owner), as the selection finds the window in front; -1 when neither has one.
int TaskPositionOf(HWND window);
// The position of the selected entry, -1 when none.
int SelectedTask();
void SelectTask(int position);
const TaskEntry& CurrentTask(int position);

// Visible, neither popup nor child.
bool IsTaskWindow(LONG style);
