#include "taskbar/task_list.h"

#include "platform/platform.h"

namespace {

TaskEntry currentTasks[MAX_TASKS];   // in button order
TaskEntry previousTasks[MAX_TASKS];  // the list of the last tick that changed it, icons included
int taskCount;
int selectedTask = -1;
// Owned icons that a tick gives up while a menu draws them wait here until it closes.
HICON heldIcons[2 * MAX_TASKS];
int heldIconCount;
int iconHolds;  // icons that entries give up are kept while above 0

struct Enumeration {
    TaskEntry* entries;  // MAX_TASKS of them
    int count;
    TopLevelWindowVisitor visit;
};

BOOL CALLBACK CollectTaskWindow(HWND window, LPARAM parameter)
{
    Enumeration& found = *reinterpret_cast<Enumeration*>(parameter);
    if (found.visit) found.visit(window);
    if (found.count >= MAX_TASKS) return found.visit != nullptr;  // later windows are not tracked
    if (!IsTaskWindow(GetWindowLongW(window, GWL_STYLE))) return TRUE;
    TaskEntry& entry = found.entries[found.count++];
    entry.window = window;
    // Reads the title without sending a message, so a hung window cannot stop the tick.
    GetWindowTextW(window, entry.title, TASK_TITLE_CHARS);
    return TRUE;
}

HICON FindWindowIcon(HWND window, bool* owned)
{
    *owned = false;
    DWORD_PTR answer = 0;
    // An application that does not answer in time gets its icon from elsewhere.
    if (AskWindowWithoutHanging(window, WM_GETICON, ICON_SMALL, 0, WINDOW_ANSWER_TIMEOUT_MS, &answer) == 0 && answer)
        return reinterpret_cast<HICON>(answer);
    if (HICON icon = GetWindowClassIcon(window)) return icon;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    WCHAR path[MAX_PATH];
    if (GetProcessImagePath(processId, path, MAX_PATH) != 0) return NULL;
    HICON icon = ExtractProgramIcon(path, true);
    *owned = icon != NULL;
    return icon;
}

bool SameTask(const TaskEntry& a, const TaskEntry& b) { return a.window == b.window && wcscmp(a.title, b.title) == 0; }

bool ListChanged(int oldCount)
{
    if (taskCount != oldCount) return true;
    for (int i = 0; i < taskCount; ++i)
        if (!SameTask(currentTasks[i], previousTasks[i])) return true;
    return false;
}

void DestroyOwnedIcon(const TaskEntry& entry)
{
    if (!entry.ownsIcon) return;
    if (iconHolds > 0 && heldIconCount < static_cast<int>(ARRAYSIZE(heldIcons)))
        heldIcons[heldIconCount++] = entry.icon;
    else
        DestroyIcon(entry.icon);
}

// Current entries take the icon of the same window with the same title; the others get
// theirs afresh. Owned icons that no entry takes over any more are destroyed.
void AssignIcons(int oldCount, TaskIconFinder findIcon)
{
    bool carried[MAX_TASKS] = {};
    for (int i = 0; i < taskCount; ++i) {
        TaskEntry& entry = currentTasks[i];
        int j = 0;
        while (j < oldCount && !SameTask(previousTasks[j], entry)) ++j;
        if (j < oldCount) {
            entry.icon = previousTasks[j].icon;
            entry.ownsIcon = previousTasks[j].ownsIcon;
            carried[j] = true;
        } else {
            entry.icon = findIcon(entry.window, &entry.ownsIcon);
        }
    }
    for (int j = 0; j < oldCount; ++j)
        if (!carried[j]) DestroyOwnedIcon(previousTasks[j]);
}

// A dialog in front selects its owner's entry.
int FindSelection(HWND foreground, HWND foregroundOwner)
{
    if (!foreground) return -1;
    for (int i = 0; i < taskCount; ++i)
        if (currentTasks[i].window == foreground || (foregroundOwner && currentTasks[i].window == foregroundOwner))
            return i;
    return -1;
}

// Windows of the previous list keep their order; new ones are appended, the one
// enumerated last first. Returns the number of entries written to current.
int MergeTaskLists(const TaskEntry (&previous)[MAX_TASKS], const TaskEntry (&enumerated)[MAX_TASKS],
                   TaskEntry (&current)[MAX_TASKS])
{
    bool pending[MAX_TASKS];
    for (int k = 0; k < MAX_TASKS; ++k) pending[k] = enumerated[k].window != NULL;
    int out = 0;
    for (const TaskEntry& old : previous) {
        if (!old.window) continue;
        for (int k = 0; k < MAX_TASKS; ++k) {
            if (enumerated[k].window != old.window) continue;
            current[out] = enumerated[k];
            current[out].icon = NULL;
            current[out].ownsIcon = false;
            ++out;
            pending[k] = false;
            break;
        }
    }
    for (int k = MAX_TASKS - 1; k >= 0; --k)
        if (pending[k]) current[out++] = enumerated[k];
    return out;
}

}  // namespace

bool IsTaskWindow(LONG style)
{
    return (style & WS_VISIBLE) && !(style & WS_POPUP) && !(style & WS_CHILD);
}

void ResetTaskLists()
{
    for (int i = 0; i < taskCount; ++i) DestroyOwnedIcon(previousTasks[i]);
    selectedTask = -1;
    taskCount = 0;
    ZeroMemory(currentTasks, sizeof currentTasks);
    ZeroMemory(previousTasks, sizeof previousTasks);
}

unsigned UpdateTaskList(const TaskEntry (&enumerated)[MAX_TASKS], HWND foreground, HWND foregroundOwner,
                        TaskIconFinder findIcon)
{
    const int oldCount = taskCount, oldSelected = selectedTask;
    ZeroMemory(currentTasks, sizeof currentTasks);
    taskCount = MergeTaskLists(previousTasks, enumerated, currentTasks);
    unsigned changes = 0;
    if (ListChanged(oldCount)) {
        AssignIcons(oldCount, findIcon);
        CopyMemory(previousTasks, currentTasks, sizeof previousTasks);
        changes |= TASK_LIST_CHANGED;
    } else {
        CopyMemory(currentTasks, previousTasks, sizeof currentTasks);  // the same entries, with their icons
    }
    selectedTask = FindSelection(foreground, foregroundOwner);
    if (selectedTask != oldSelected) changes |= TASK_SELECTION_CHANGED;
    return changes;
}

unsigned RefreshTaskList(TopLevelWindowVisitor visit)
{
    static TaskEntry enumerated[MAX_TASKS];
    ZeroMemory(enumerated, sizeof enumerated);
    Enumeration found = {enumerated, 0, visit};
    EnumWindows(CollectTaskWindow, reinterpret_cast<LPARAM>(&found));
    HWND foreground = GetForegroundWindow();
    // A minimised window stays the foreground window here; its button is not drawn pressed.
    if (foreground && IsWindowMinimised(foreground)) foreground = NULL;
    return UpdateTaskList(enumerated, foreground, foreground ? GetParent(foreground) : NULL, FindWindowIcon);
}

void HoldTaskIcons(bool hold)
{
    iconHolds += hold ? 1 : -1;
    if (iconHolds == 0)
        while (heldIconCount > 0) DestroyIcon(heldIcons[--heldIconCount]);
}

int TaskCount() { return taskCount; }
int TaskPositionOf(HWND window) { return FindSelection(window, window ? GetParent(window) : NULL); }
int SelectedTask() { return selectedTask; }
void SelectTask(int position) { selectedTask = position; }
const TaskEntry& CurrentTask(int position) { return currentTasks[position]; }
