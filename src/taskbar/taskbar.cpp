#include "taskbar/taskbar.h"

#include <strsafe.h>

#include <initializer_list>

#include "config/shell_settings.h"
#include "core/shell_text.h"
#include "gfx/button_manager.h"
#include "gfx/composed_window.h"
#include "gfx/gdi_scope.h"
#include "gfx/surface.h"
#include "platform/platform.h"
#include "platform/power.h"
#include "taskbar/battery.h"
#include "taskbar/full_screen.h"
#include "taskbar/hot_keys.h"
#include "taskbar/notify_area.h"
#include "taskbar/task_buttons.h"
#include "taskbar/task_list.h"
#include "taskbar/task_menu.h"
#include "taskbar/window_chooser.h"
#include "theme/theme_parts.h"

HWND TaskbarWindow;

namespace {

enum {
    TASKBAR_COMMAND_BASE = 100,
    TASKBAR_BUTTON_COUNT = FIRST_NOTIFY_BUTTON + NOTIFY_BUTTON_COUNT,
    START_BUTTON = 0,
    CLOCK_BUTTON = 1
};

const WCHAR TASKBAR_CLASS[] = L"ZORV_TASKBAR_CLASS";
const UINT_PTR TICK_TIMER = 1;
const UINT TICK_INTERVAL_MS = 500;
const UINT CLOCK_FORMAT = DT_CENTER | DT_VCENTER | DT_WORD_ELLIPSIS;
const COLORREF CLOCK_TEXT_COLOR = RGB(255, 255, 255);

const ShellSettings* settings;       // given at creation; they outlive the bar
ComposedWindow bar = {&TaskbarWindow};
MemorySurface& backBuffer = bar.backBuffer;  // the bar's full size
StartButtonAction startAction;      // what the start button does
MemorySurface background;           // TASKBAR: only its first column is used, stretched
MemorySurface startUp, startDown;   // STARTBUTTONU, STARTBUTTOND
MemorySurface clockBackground;      // TASKBARCLK
MemorySurface clockFace;            // the clock button's face, up and down
WCHAR clockText[CLOCK_TEXT_CHARS];  // the text the clock shows
bool startMenuShown;                // the start menu is open over the bar
bool raiseOnNextTick;               // the tick before saw a window come or come to the front

// The theme's part in a surface made for the reference DC.
int LoadPart(HDC reference, int part, MemorySurface* surface)
{
    return LoadThemeBitmap(reference, settings->themeFolder, THEME_PARTS[part].name, surface);
}

int LoadTaskbarBuffers()
{
    const ShellSettings& s = *settings;
    if (CreateBackBuffer(&bar, ScreenSize.cx, s.taskbarHeight) != 0 ||
        CreateMemorySurface(backBuffer.dc, s.taskbarClockCX, s.taskbarHeight, &clockFace) != 0 ||
        LoadPart(backBuffer.dc, PART_TASKBAR, &background) != 0 ||
        LoadPart(backBuffer.dc, PART_START_BUTTON_UP, &startUp) != 0 ||
        LoadPart(backBuffer.dc, PART_START_BUTTON_DOWN, &startDown) != 0 ||
        LoadPart(clockFace.dc, PART_CLOCK, &clockBackground) != 0 || LoadTaskButtonImages(backBuffer.dc, s) != 0 ||
        LoadBatteryFaces(bar.instance, backBuffer.dc, s) != 0)
        return 1;
    StretchBlt(backBuffer.dc, 0, 0, ScreenSize.cx, s.taskbarHeight, background.dc, 0, 0, 1, s.taskbarHeight, SRCCOPY);
    return 0;
}

int LoadTaskbarObjects()
{
    const ShellSettings& s = *settings;
    ResetTaskLists();
    SetButtonItem(TaskbarWindow, START_BUTTON, 0, 0, s.taskbarStartButtonCX, s.taskbarHeight, startUp.dc, startDown.dc,
                  TRUE, BUTTON_UP);
    RedrawButtonItem(TaskbarWindow, START_BUTTON, 1);
    // Blank until the first tick draws the time.
    SetButtonItem(TaskbarWindow, CLOCK_BUTTON, ScreenSize.cx - s.taskbarClockCX, 0, s.taskbarClockCX, s.taskbarHeight,
                  clockFace.dc, clockFace.dc, TRUE, BUTTON_UP);
    RedrawButtonItem(TaskbarWindow, CLOCK_BUTTON, 1);
    const TaskButtonArea area = {TaskbarWindow, backBuffer.dc, background.dc, &s};
    return CreateTaskButtons(area, bar.instance) != 0 || CreateNotifyArea(area) != 0 ? 1 : 0;
}

void ReleaseTaskbarSurfaces()
{
    for (MemorySurface* surface : {&background, &startUp, &startDown, &clockBackground, &clockFace, &backBuffer})
        ReleaseMemorySurface(surface);
    ReleaseTaskButtons();
    ReleaseNotifyArea();
    ReleaseBatteryFaces();
}

void HandleCreate(HWND window, const CREATESTRUCTW* create)
{
    ComposeTaskbar(window, create->hInstance, *settings);
    SetTimer(window, TICK_TIMER, TICK_INTERVAL_MS, NULL);
    // The first tick draws the clock and the task buttons as soon as the loop runs.
    PostMessageW(window, WM_TIMER, TICK_TIMER, 0);
    bar.creationFinished = true;
}

// The bar stays above everything under its own menus, and under one about to open: hidden, it
// would leave them hanging over nothing, and a popup menu whose owner hides, or is shown again
// inside the menu's loop, loses its choice.
void FollowFront(bool menuOpening = false)
{
    const bool menuShown = menuOpening || startMenuShown || TaskMenuShown();
    FollowFrontWindow(TaskbarWindow, menuShown ? NULL : GetForegroundWindow());
}

void HandleTick(UINT_PTR timer)
{
    if (timer != TICK_TIMER) return;
    UpdateClock();
    unsigned changes = RefreshTaskList(NoteStandingWindow);
    TickNotifyArea();  // after the enumeration, which has noted the icons' owners that stand
    FollowFront();     // a window in front may have grown to the whole screen or shrunk from it
    // Back above a window that has just appeared or come to the front, on this tick and the
    // next: under the desktop simulation that program's own raise can reach the screen later.
    // Never over the exit screen, which a program that comes to the front does not end.
    if ((changes || raiseOnNextTick) && !ThreadDialogShown()) RaiseBarAgain(TaskbarWindow);
    raiseOnNextTick = changes != 0;
    if (!changes) return;
    DrawTaskListChanges(changes);
    PaintTaskbar(ScopedWindowDc(TaskbarWindow));
}

// The shell's keys do nothing while a dialog of the shell asks something (the exit screen's
// among them): the menu would open behind it or over its question, and a switch would bring
// a window over it.
void HandleHotKey(WPARAM key)
{
    if (ThreadDialogShown()) return;
    if ((key == HOT_KEY_MENU || key == HOT_KEY_CHOSEN_MENU) && startAction) startAction(MENU_BY_KEY);
    if (key == HOT_KEY_SWITCH || key == HOT_KEY_SWITCH_BACK)
        SwitchWindows(bar.instance, key == HOT_KEY_SWITCH ? 1 : -1);
}

void HandleCommand(WPARAM wParam, LPARAM lParam)
{
    int id = LOWORD(wParam) - TASKBAR_COMMAND_BASE;
    const bool taskButton = id >= FIRST_TASK_BUTTON && id < FIRST_TASK_BUTTON + TASK_BUTTON_SLOTS;
    if (id >= FIRST_NOTIFY_BUTTON && id < FIRST_NOTIFY_BUTTON + NOTIFY_BUTTON_COUNT) {
        HandleNotifyButton(id, lParam);
        return;
    }
    if (lParam == BUTTON_HELD) {
        if (!taskButton) return;
        FollowFront(true);  // back over a program that took the whole screen since the press
        HoldTaskButton(id - FIRST_TASK_BUTTON);
        return;
    }
    if (lParam != BUTTON_PRESSED) return;  // releases do nothing here
    if (id == START_BUTTON && startAction) startAction(MENU_BY_PEN);
    if (taskButton) PressTaskButton(id - FIRST_TASK_BUTTON);
}

LRESULT CALLBACK TaskbarWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        HandleCreate(window, reinterpret_cast<const CREATESTRUCTW*>(lParam));
        return 0;
    case WM_DESTROY:
        UnregisterShellHotKeys(window);
        ReleaseTaskbarSurfaces();
        PostQuitMessage(0);  // destroying the bar ends the shell
        return 0;
    case WM_PAINT:
        HandleComposedPaint(bar);
        return 0;
    case WM_TIMER:
        HandleTick(wParam);
        return 0;
    case WM_MOUSEACTIVATE:
        // A tap on the bar leaves the active window active (the start menu among them), as
        // WS_EX_NOACTIVATE alone does not everywhere.
        return MA_NOACTIVATE;
    case WM_LBUTTONDOWN:
        ButtonPenDown(window, lParam);
        return 0;
    case WM_LBUTTONUP:
        ButtonPenUp(window, lParam);
        return 0;
    case WM_MOUSEMOVE:
        ButtonPenMove(window, lParam);
        return 0;
    case WM_RBUTTONUP:
        ButtonRightClick(window, lParam);
        return 0;
    case WM_MEASUREITEM:
        return MeasureTaskMenuLine(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_DRAWITEM:
        return DrawTaskMenuLine(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_COMMAND:
        HandleCommand(wParam, lParam);
        return 0;
    case WM_HOTKEY:
        HandleHotKey(wParam);
        return 0;
    case WM_NOTIFY:
        HandleNotifyAreaTip(reinterpret_cast<const NMHDR*>(lParam));
        return 0;
    case NOTIFY_RECORD_MESSAGE:
        return ReceiveNotifyRecord(lParam);
    case POWER_CHANGE_MESSAGE:
        if (wParam == POWER_CHANGE_EVENT) RefreshNotifyBattery(true);
        return TRUE;
    case FRONT_CHANGE_MESSAGE:
        FollowFront();
        return 0;
    case BATTERY_WARNING_MESSAGE:
        ShowBatteryWarning();  // its box's loop keeps the tick's beat
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int CreateTaskbar(HINSTANCE instance, const ShellSettings& barSettings, StartButtonAction startButtonAction)
{
    settings = &barSettings;
    startAction = startButtonAction;
    // Its failures are reported by the start-up step alone.
    const ComposedWindowClass windowClass = {TASKBAR_CLASS, L"Zorv TaskBar", WS_EX_NOACTIVATE | WS_EX_TOPMOST,
                                             WS_POPUP | WS_TABSTOP, TaskbarWindowProc, NULL, NULL,
                                             L"Taskbar creation did not complete"};
    const RECT place = {0, ScreenSize.cy - barSettings.taskbarHeight, ScreenSize.cx, ScreenSize.cy};
    if (CreateComposedWindow(&bar, windowClass, instance, place, NULL) != 0) return 1;
    StartReceivingNotifyIcons(TaskbarWindow);
    RegisterShellHotKeys(TaskbarWindow, barSettings.mainMenuKey);
    WatchFrontWindow(TaskbarWindow, FRONT_CHANGE_MESSAGE);  // where it cannot, the tick follows
    return 0;
}

int ComposeTaskbar(HWND window, HINSTANCE moduleInstance, const ShellSettings& barSettings)
{
    settings = &barSettings;
    const ComposingSteps steps = {L"Loading taskbar buffer...", LoadTaskbarBuffers, L"Loading taskbar objects...",
                                  LoadTaskbarObjects, TASKBAR_COMMAND_BASE, TASKBAR_BUTTON_COUNT, true};
    return ComposeWindow(&bar, window, moduleInstance, steps);
}

void UpdateClock()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    WCHAR text[CLOCK_TEXT_CHARS];
    FormatClockText(now, settings->taskbarAmPm, text);
    if (wcscmp(text, clockText) == 0) return;  // same minute: nothing to draw
    StringCchCopyW(clockText, CLOCK_TEXT_CHARS, text);

    const int width = settings->taskbarClockCX, height = settings->taskbarHeight;
    BitBlt(clockFace.dc, 0, 0, width, height, clockBackground.dc, 0, 0, SRCCOPY);
    SelectObject(clockFace.dc, NormalFont);
    SetBkMode(clockFace.dc, TRANSPARENT);
    SetTextColor(clockFace.dc, CLOCK_TEXT_COLOR);
    // NOLINTNEXTLINE(readability-suspicious-call-argument): from 0, 0 the width and height are the right and bottom
    DrawTextInRect(clockFace.dc, clockText, 0, 0, width, height, CLOCK_FORMAT);
    RedrawButtonItem(TaskbarWindow, CLOCK_BUTTON, 0);
}

void PaintTaskbar(HDC dc) { PaintComposedWindow(bar, dc); }

void SetStartButtonPressed(bool pressed)
{
    startMenuShown = pressed;
    FollowFront();  // above a program that takes the whole screen while the menu shows
    SetButtonState(TaskbarWindow, START_BUTTON, pressed ? BUTTON_DOWN : BUTTON_UP);
    RedrawButtonItem(TaskbarWindow, START_BUTTON, 0);
}

int ReserveTaskbarStrip(const ShellSettings& barSettings)
{
    RECT workArea = {0, 0, ScreenSize.cx, ScreenSize.cy - barSettings.taskbarHeight};
    return SetDesktopWorkArea(workArea);
}

void FormatClockText(const SYSTEMTIME& time, int amPm, WCHAR (&text)[CLOCK_TEXT_CHARS])
{
    int hour = time.wHour;
    LPCWSTR suffix = L"";
    if (amPm) {
        suffix = hour < 12 ? L" AM" : L" PM";
        if (hour > 12) hour -= 12;
    }
    StringCchPrintfW(text, CLOCK_TEXT_CHARS, L"%d:%02d%ls", hour, time.wMinute, suffix);
}
