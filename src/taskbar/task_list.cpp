#include "taskbar/task_list.h"

#include <shellapi.h>
#include <strsafe.h>

#include "config/shell_settings.h"
#include "gfx/button_manager.h"
#include "platform/platform.h"
#include "taskbar/taskbar.h"

namespace {

const int TASK_BUTTON_Y = 3;
const int TASK_AREA_GAP = 2;  // background left beside the start button and the clock
const int LEFT_PART_UP_CX = 18, LEFT_PART_DOWN_CX = 4, RIGHT_CAP_CX = 4;
const int ICON_X = 4, ICON_Y = 5, ICON_SIZE = 16, TITLE_AFTER_ICON_X = 22, TEXT_MARGIN = 4;
const UINT TITLE_FORMAT = DT_LEFT | DT_VCENTER | DT_WORD_ELLIPSIS;
const UINT MORE_FORMAT = DT_CENTER | DT_VCENTER | DT_WORD_ELLIPSIS;
const COLORREF TITLE_COLOR = RGB(255, 255, 255);
const COLORREF MORE_COLOR = RGB(255, 255, 0);
// An application that does not answer within this time gets its icon from elsewhere.
const UINT ICON_QUERY_TIMEOUT_MS = 200;
const int MORE_BUTTON = -1;

TaskEntry enumeratedTasks[MAX_TASKS];  // this tick's windows, in enumeration order
TaskEntry currentTasks[MAX_TASKS];     // in button order
TaskEntry previousTasks[MAX_TASKS];    // the list of the last tick that changed it, icons included
int taskCount;
int selectedTask = -1;

BOOL CALLBACK CollectTaskWindow(HWND window, LPARAM)
{
    if (taskCount >= MAX_TASKS) return FALSE;  // later windows are not tracked
    if (!IsTaskWindow(GetWindowLongW(window, GWL_STYLE))) return TRUE;
    TaskEntry& entry = enumeratedTasks[taskCount++];
    entry.window = window;
    // Reads the title without sending a message, so a hung window cannot stop the tick.
    GetWindowTextW(window, entry.title, TASK_TITLE_CHARS);
    return TRUE;
}

bool SameTask(const TaskEntry& a, const TaskEntry& b) { return a.window == b.window && wcscmp(a.title, b.title) == 0; }

bool ListChanged(int oldCount)
{
    if (taskCount != oldCount) return true;
    for (int i = 0; i < taskCount; ++i)
        if (!SameTask(currentTasks[i], previousTasks[i])) return true;
    return false;
}

void FindIcon(TaskEntry& entry)
{
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutW(entry.window, WM_GETICON, ICON_SMALL, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                            ICON_QUERY_TIMEOUT_MS, &answer))
        entry.icon = reinterpret_cast<HICON>(answer);
    if (!entry.icon) entry.icon = reinterpret_cast<HICON>(GetClassLongPtrW(entry.window, GCLP_HICON));
    if (entry.icon) return;
    DWORD processId = 0;
    GetWindowThreadProcessId(entry.window, &processId);
    WCHAR path[MAX_PATH];
    if (GetProcessImagePath(processId, path, MAX_PATH) == 0 && ExtractIconExW(path, 0, NULL, &entry.icon, 1) > 0 &&
        entry.icon)
        entry.ownsIcon = true;
}

// Current entries take the icon of the same window with the same title; the others get
// theirs afresh. Extracted icons that no entry takes over any more are destroyed.
void AssignIcons(int oldCount)
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
            FindIcon(entry);
        }
    }
    for (int j = 0; j < oldCount; ++j)
        if (previousTasks[j].ownsIcon && !carried[j]) DestroyIcon(previousTasks[j].icon);
}

void ComposeFace(HDC face, const MemorySurface (&parts)[3], int leftPartCX, int width)
{
    const int height = Settings.taskbarButtonHeight;
    StretchBlt(face, 0, 0, Settings.taskbarButtonMaxCX, height, parts[1].dc, 0, 0, 1, height, SRCCOPY);
    BitBlt(face, 0, 0, leftPartCX, height, parts[0].dc, 0, 0, SRCCOPY);
    BitBlt(face, width - RIGHT_CAP_CX, 0, RIGHT_CAP_CX, height, parts[2].dc, 0, 0, SRCCOPY);
}

void DrawFaceContent(HDC face, int width, int entry)
{
    const int height = Settings.taskbarButtonHeight;
    SelectObject(face, NormalFont);
    SetBkMode(face, TRANSPARENT);
    SetTextColor(face, TITLE_COLOR);
    if (entry == MORE_BUTTON) {
        SetTextColor(face, MORE_COLOR);
        DrawTextInRect(face, MoreText, TEXT_MARGIN, 0, width - TEXT_MARGIN, height, MORE_FORMAT);
        return;
    }
    const TaskEntry& task = currentTasks[entry];
    int titleLeft = TEXT_MARGIN;
    if (task.icon) {
        DrawIconEx(face, ICON_X, ICON_Y, task.icon, ICON_SIZE, ICON_SIZE, 0, NULL, DI_NORMAL);
        titleLeft = TITLE_AFTER_ICON_X;
    }
    DrawTextInRect(face, task.title, titleLeft, 0, width - TEXT_MARGIN, height, TITLE_FORMAT);
}

// Composes both faces of the button at position i and draws its up face into the back buffer.
void DrawTaskButton(int i, int x, int y, int width, int height, int entry)
{
    HDC up = TaskButtonImages[i][0].dc, down = TaskButtonImages[i][1].dc;
    ComposeFace(up, TaskbarTheme.taskUp, LEFT_PART_UP_CX, width);
    ComposeFace(down, TaskbarTheme.taskDown, LEFT_PART_DOWN_CX, width);
    DrawFaceContent(up, width, entry);
    DrawFaceContent(down, width, entry);
    SetButtonItem(TaskbarWindow, FIRST_TASK_BUTTON + i, x, y, width, height, up, down, TRUE, BUTTON_UP);
    DrawButtonItem(TaskbarWindow, FIRST_TASK_BUTTON + i, 0);
}

void LayoutTaskButtons()
{
    const int left = Settings.taskbarStartButtonCX + TASK_AREA_GAP;
    const int areaWidth = ScreenSize.cx - left - Settings.taskbarClockCX - TASK_AREA_GAP;
    StretchBlt(TaskbarBackBuffer.dc, left, 0, areaWidth, Settings.taskbarHeight, TaskbarTheme.background.dc, 0, 0, 1,
               Settings.taskbarHeight, SRCCOPY);
    const int shown = taskCount < TASK_BUTTON_SLOTS ? taskCount : TASK_BUTTON_SLOTS;
    for (int i = 0; i < shown; ++i) {
        int entry = (taskCount > TASK_BUTTON_SLOTS && i == TASK_BUTTON_SLOTS - 1) ? MORE_BUTTON : i;
        TaskButtonPlace place = PlaceTaskButton(left, areaWidth, Settings.taskbarButtonMaxCX, shown, i);
        DrawTaskButton(i, place.x, TASK_BUTTON_Y, place.width, Settings.taskbarButtonHeight, entry);
    }
    for (int i = shown; i < TASK_BUTTON_SLOTS; ++i)
        SetButtonItem(TaskbarWindow, FIRST_TASK_BUTTON + i, 0, 0, 0, 0, TaskButtonImages[i][0].dc,
                      TaskButtonImages[i][1].dc, FALSE, BUTTON_UP);
}

int FindSelection()
{
    HWND foreground = GetForegroundWindow();
    HWND owner = GetParent(foreground);  // a dialog in front selects its owner's button
    for (int i = 0; i < taskCount; ++i)
        if (currentTasks[i].window == foreground || (owner && currentTasks[i].window == owner)) return i;
    return -1;
}

bool IsButtonPosition(int position) { return position >= 0 && position < TASK_BUTTON_SLOTS; }

void SetTaskButtonFace(int position, ButtonState state, bool show)
{
    SetButtonState(TaskbarWindow, FIRST_TASK_BUTTON + position, state);
    DrawButtonItem(TaskbarWindow, FIRST_TASK_BUTTON + position, 0);
    if (show) ShowButtonItem(TaskbarWindow, FIRST_TASK_BUTTON + position);
}

void RaiseTaskbar() { SetWindowPos(TaskbarWindow, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE); }

}  // namespace

bool IsTaskWindow(LONG style)
{
    return (style & WS_VISIBLE) && !(style & WS_POPUP) && !(style & WS_CHILD);
}

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

TaskButtonPlace PlaceTaskButton(int left, int areaWidth, int buttonMaxCX, int shown, int i)
{
    if (shown * buttonMaxCX < areaWidth) return TaskButtonPlace{left + i * buttonMaxCX, buttonMaxCX};
    int start = areaWidth * i / shown;
    return TaskButtonPlace{left + start, areaWidth * (i + 1) / shown - start};
}

void ResetTaskLists()
{
    selectedTask = -1;
    taskCount = 0;
    ZeroMemory(currentTasks, sizeof currentTasks);
    ZeroMemory(previousTasks, sizeof previousTasks);
}

int TaskCount() { return taskCount; }
int SelectedTask() { return selectedTask; }
const TaskEntry& CurrentTask(int position) { return currentTasks[position]; }

int RefreshTaskList()
{
    int oldSelected = selectedTask;
    const int oldCount = taskCount;
    taskCount = 0;
    ZeroMemory(currentTasks, sizeof currentTasks);
    ZeroMemory(enumeratedTasks, sizeof enumeratedTasks);
    EnumWindows(CollectTaskWindow, 0);
    taskCount = MergeTaskLists(previousTasks, enumeratedTasks, currentTasks);

    const bool changed = ListChanged(oldCount);
    if (changed) {
        AssignIcons(oldCount);
        LayoutTaskButtons();
        oldSelected = -1;  // the selection is marked afresh on the new faces
        RaiseTaskbar();    // above a window that has just appeared
    }
    selectedTask = FindSelection();
    if (selectedTask != oldSelected) {
        if (IsButtonPosition(oldSelected)) SetTaskButtonFace(oldSelected, BUTTON_UP, false);
        if (IsButtonPosition(selectedTask)) SetTaskButtonFace(selectedTask, BUTTON_DOWN, false);
        RaiseTaskbar();
    }
    if (selectedTask != oldSelected || changed) {
        HDC dc = GetDC(TaskbarWindow);
        PaintTaskbar(dc);
        ReleaseDC(TaskbarWindow, dc);
    }
    if (changed) CopyMemory(previousTasks, currentTasks, sizeof previousTasks);
    return 0;
}

void PressTaskButton(int position)
{
    if (!IsButtonPosition(position) || position >= taskCount) return;
    int old = selectedTask;
    selectedTask = position;
    HWND window = currentTasks[position].window;
    if (old == position) {
        SetTaskButtonFace(position, BUTTON_UP, true);
        // Asynchronous: a hung application must not stop the shell.
        ShowWindowAsync(window, SW_MINIMIZE);
        return;
    }
    if (IsButtonPosition(old)) SetTaskButtonFace(old, BUTTON_UP, true);
    SetTaskButtonFace(position, BUTTON_DOWN, true);
    SetForegroundWindow(window);
}
