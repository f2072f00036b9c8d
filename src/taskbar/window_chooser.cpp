#include "taskbar/window_chooser.h"

#include <strsafe.h>

#include "config/shell_settings.h"
#include "core/log.h"
#include "core/window_class.h"
#include "gfx/gdi_scope.h"
#include "gfx/surface.h"
#include "platform/platform.h"
#include "taskbar/task_list.h"
#include "taskbar/task_menu.h"

namespace {

const WCHAR CHOOSER_CLASS[] = L"ZORV_WINDOW_CHOOSER_CLASS";
const int CELL = 28, MARGIN = 8, TITLE_CY = 24, MIN_BOX_CX = 240;
const UINT_PTR ALT_WATCH_TIMER = 1;
const UINT ALT_WATCH_MS = 40;
const int QUICK_RELEASE_READS = 8;
const UINT TITLE_FORMAT = DT_CENTER | DT_VCENTER | DT_WORD_ELLIPSIS | DT_NOPREFIX;

struct Choice {
    HWND window;
    HICON icon;  // the task list's, held while the chooser shows
    WCHAR title[TASK_TITLE_CHARS];
};

HWND chooser;
Choice choices[MAX_TASKS];  // the windows as the chooser opened on them
int choiceCount;
int chosen = -1;
ChooserLayout layout;
bool altSeenHeld;  // since the chooser opened
int altUpReads;    // in a row
HWND previousFront;  // the window in front when the chooser opened

void DrawChooser(HDC dc, const RECT& client)
{
    FillRect(dc, &client, GetSysColorBrush(COLOR_MENU));
    DrawFrame(dc, client, GetSysColor(COLOR_WINDOWFRAME));
    for (int i = 0; i < choiceCount; ++i) {
        const RECT cell = ChooserCell(layout, i);
        if (i == chosen) FillRect(dc, &cell, GetSysColorBrush(COLOR_HIGHLIGHT));
        const int x = (cell.left + cell.right - TASK_ICON_SIZE) / 2;
        const int y = (cell.top + cell.bottom - TASK_ICON_SIZE) / 2;
        if (choices[i].icon) {
            DrawIconAtSize(dc, x, y, choices[i].icon, TASK_ICON_SIZE);
        } else {  // a window without an icon still has its place
            const RECT blank = {x, y, x + TASK_ICON_SIZE, y + TASK_ICON_SIZE};
            DrawFrame(dc, blank, GetSysColor(COLOR_GRAYTEXT));
        }
    }
    if (chosen < 0) return;
    ScopedSelection font(dc, NormalFont);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_MENUTEXT));
    DrawTextInRect(dc, choices[chosen].title, MARGIN, client.bottom - MARGIN - TITLE_CY, client.right - MARGIN,
                   client.bottom - MARGIN, TITLE_FORMAT);
}

// Drawn off the screen first, so that a Tab held down does not flicker.
void PaintChooser(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    MemorySurface buffer;
    if (CreateMemorySurface(dc, client.right, client.bottom, &buffer) == 0) {
        DrawChooser(buffer.dc, client);
        BitBlt(dc, 0, 0, client.right, client.bottom, buffer.dc, 0, 0, SRCCOPY);
        ReleaseMemorySurface(&buffer);
    }
    EndPaint(window, &paint);
}

// Hides the chooser. With bring, the chosen window comes to the front as a tap on its button
// would bring it, when it is still there; without, the window that was in front gets the
// keyboard back.
void CloseChooser(bool bring)
{
    if (choiceCount == 0) return;  // a key or a deactivation after the chooser closed
    KillTimer(chooser, ALT_WATCH_TIMER);
    HWND window = bring ? (chosen >= 0 ? choices[chosen].window : NULL) : previousFront;
    choiceCount = 0;  // before the window goes: its deactivation closes nothing more
    chosen = -1;
    // Handed on while the chooser is still the foreground window, which allows it; hidden
    // first, the system would give the front to a window of its own choosing.
    if (window && IsWindow(window)) {
        if (bring)
            BringWindowToFront(window);
        else
            SetForegroundWindow(window);
    }
    ShowWindow(chooser, SW_HIDE);
    HoldTaskIcons(false);
}

// Alt let go before the chooser had the keyboard is not seen as a key: its state is watched
// as well. That state can lag behind the hot key while the program in front is slow to read
// its input, so Alt counts as let go once it has been seen held and then not, or when it has
// not been seen held for a third of a second, as after an Alt+Tab tapped quickly.
void WatchAlt()
{
    if (GetAsyncKeyState(VK_MENU) & 0x8000) {
        altSeenHeld = true;
        altUpReads = 0;
    } else if (altSeenHeld || ++altUpReads >= QUICK_RELEASE_READS) {
        CloseChooser(true);
    }
}

void MoveChoice(int step)
{
    chosen = NextChoice(chosen, choiceCount, step);
    InvalidateRect(chooser, NULL, FALSE);
}

// While the chooser shows it has the keyboard, so that its keys come in the order they were
// pressed: Tab and Shift+Tab move the choice where they do not arrive as the hot keys,
// Escape cancels, and letting go of Alt chooses.
void HandleChooserKey(UINT message, WPARAM key)
{
    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    if (!down && key == VK_MENU) {
        CloseChooser(true);
    } else if (down && key == VK_ESCAPE) {
        CloseChooser(false);
    } else if (down && key == VK_TAB) {
        MoveChoice(GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
    }
}

LRESULT CALLBACK ChooserWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        PaintChooser(window);
        return 0;
    case WM_TIMER:
        if (wParam == ALT_WATCH_TIMER) WatchAlt();
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
        HandleChooserKey(message, wParam);
        return 0;  // never the system's menu keys
    case WM_SYSCHAR:
        return 0;
    case WM_ACTIVATE:
        // Another window taken to the front (a tap elsewhere) ends the choosing.
        if (LOWORD(wParam) == WA_INACTIVE && choiceCount > 0) CloseChooser(false);
        break;  // the system's handling gives the chooser the focus
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool CreateChooserWindow(HINSTANCE instance)
{
    if (chooser) return true;
    RegisterShellWindowClass(instance, CHOOSER_CLASS, ChooserWindowProc);
    chooser = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, CHOOSER_CLASS, L"", WS_POPUP, 0, 0, 0, 0, NULL, NULL,
                              instance, NULL);
    if (!chooser) LogErrorF(L"Cannot create the window chooser (error %lu)", GetLastError());
    return chooser != NULL;
}

void OpenChooser(HINSTANCE instance, int step)
{
    if (TaskCount() == 0 || !CreateChooserWindow(instance)) return;
    HoldTaskIcons(true);  // the ticks go on while it shows, and it draws the icons
    choiceCount = TaskCount();
    for (int i = 0; i < choiceCount; ++i) {
        const TaskEntry& task = CurrentTask(i);
        choices[i].window = task.window;
        choices[i].icon = task.icon;
        StringCchCopyW(choices[i].title, TASK_TITLE_CHARS, task.title);
    }
    previousFront = GetForegroundWindow();
    chosen = NextChoice(TaskPositionOf(previousFront), choiceCount, step);
    altSeenHeld = false;
    altUpReads = 0;
    SetTimer(chooser, ALT_WATCH_TIMER, ALT_WATCH_MS, NULL);
    layout = LayOutChooser(choiceCount, ScreenSize);
    const RECT& box = layout.box;
    SetWindowPos(chooser, HWND_TOPMOST, box.left, box.top, box.right - box.left, box.bottom - box.top,
                 SWP_SHOWWINDOW);
    SetForegroundWindow(chooser);  // the switch key is the last input, which allows it
}

}  // namespace

int NextChoice(int current, int count, int step)
{
    if (count <= 0) return -1;
    if (current < 0 || current >= count) return step > 0 ? 0 : count - 1;
    return (current + (step > 0 ? 1 : count - 1)) % count;
}

ChooserLayout LayOutChooser(int count, SIZE screen)
{
    ChooserLayout result = {};
    result.columns = count < CHOOSER_COLUMNS ? (count > 0 ? count : 1) : CHOOSER_COLUMNS;
    result.rows = count > 0 ? (count + result.columns - 1) / result.columns : 1;
    int width = result.columns * CELL + 2 * MARGIN;
    if (width < MIN_BOX_CX) width = MIN_BOX_CX;
    if (width > screen.cx) width = screen.cx;
    const int height = result.rows * CELL + TITLE_CY + 2 * MARGIN;
    result.box.left = (screen.cx - width) / 2;
    result.box.top = (screen.cy - height) / 2;
    result.box.right = result.box.left + width;
    result.box.bottom = result.box.top + height;
    return result;
}

RECT ChooserCell(const ChooserLayout& chooserLayout, int position)
{
    const int width = chooserLayout.box.right - chooserLayout.box.left;
    const int left = (width - chooserLayout.columns * CELL) / 2;
    const int column = position % chooserLayout.columns, row = position / chooserLayout.columns;
    const RECT cell = {left + column * CELL, MARGIN + row * CELL, left + (column + 1) * CELL,
                       MARGIN + (row + 1) * CELL};
    return cell;
}

void SwitchWindows(HINSTANCE instance, int step)
{
    if (!WindowChooserShown()) {
        OpenChooser(instance, step);
        return;
    }
    MoveChoice(step);
}

bool WindowChooserShown() { return chooser && IsWindowVisible(chooser); }
