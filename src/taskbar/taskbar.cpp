#include "taskbar/taskbar.h"

#include <strsafe.h>

#include "config/shell_settings.h"
#include "core/log.h"
#include "gfx/button_manager.h"
#include "resource.h"
#include "taskbar/task_list.h"

HWND TaskbarWindow;
MemorySurface TaskbarBackBuffer;
SIZE TaskbarBackBufferSize;
TaskbarThemeImages TaskbarTheme;
MemorySurface TaskButtonImages[TASK_BUTTON_SLOTS][2];
WCHAR MoreText[MORE_TEXT_CHARS];

namespace {

const WCHAR TASKBAR_CLASS[] = L"ZORV_TASKBAR_CLASS";
const UINT_PTR TICK_TIMER = 1;
const UINT TICK_INTERVAL_MS = 500;
const UINT TEXT_FORMAT_CENTERED = DT_CENTER | DT_VCENTER | DT_WORD_ELLIPSIS;
const COLORREF CLOCK_TEXT_COLOR = RGB(255, 255, 255);
const WCHAR CREATION_FAILURE[] =
    L"Failed to start Lumaro: Main memory is very low, or resource of Lumaro is not found.";

HDC windowDc;                       // reference DC of the back buffer, kept for the window's life
MemorySurface clockSurface;         // the clock button's face, up and down
WCHAR clockText[CLOCK_TEXT_CHARS];  // the text the clock shows

struct ThemeImageLoad {
    LPCWSTR name;
    MemorySurface* surface;
    const MemorySurface* reference;
};

int LoadThemeImages()
{
    TaskbarThemeImages& t = TaskbarTheme;
    const ThemeImageLoad loads[] = {
        {L"TASKBAR", &t.background, &TaskbarBackBuffer},   {L"STARTBUTTONU", &t.startUp, &TaskbarBackBuffer},
        {L"STARTBUTTOND", &t.startDown, &TaskbarBackBuffer}, {L"TASKBARCLK", &t.clockBackground, &clockSurface},
        {L"TBTNU0", &t.taskUp[0], &TaskbarBackBuffer},     {L"TBTNU1", &t.taskUp[1], &TaskbarBackBuffer},
        {L"TBTNU2", &t.taskUp[2], &TaskbarBackBuffer},     {L"TBTND0", &t.taskDown[0], &TaskbarBackBuffer},
        {L"TBTND1", &t.taskDown[1], &TaskbarBackBuffer},   {L"TBTND2", &t.taskDown[2], &TaskbarBackBuffer},
    };
    for (const ThemeImageLoad& load : loads)
        if (LoadThemeBitmap(load.reference->dc, load.name, load.surface) != 0) return 1;
    return 0;
}

// Runs a creation step with its log lines; a failure is fatal but creation goes on.
void RunCreationStep(LPCWSTR progressText, int (*step)(HINSTANCE), HINSTANCE instance)
{
    LogInfo(progressText);
    if (step(instance) != 0) {
        LogInfo(L"[NG]");
        FatalError(CREATION_FAILURE);
    } else {
        LogInfo(L"[OK]");
    }
}

void HandleCreate(HWND window, const CREATESTRUCTW* create)
{
    TaskbarWindow = window;
    RunCreationStep(L"Loading taskbar buffer...", LoadTaskbarBuffers, create->hInstance);
    RegisterButtonSurface(window, TaskbarBackBuffer.dc, TASKBAR_COMMAND_BASE, TASKBAR_BUTTON_COUNT);
    RunCreationStep(L"Loading taskbar objects...", LoadTaskbarObjects, create->hInstance);
    SetTimer(window, TICK_TIMER, TICK_INTERVAL_MS, NULL);
    // The first tick draws the clock and the task buttons as soon as the loop runs.
    PostMessageW(window, WM_TIMER, TICK_TIMER, 0);
}

void HandlePaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    PaintTaskbar(dc);
    EndPaint(window, &paint);
}

void HandleCommand(WPARAM wParam, LPARAM lParam)
{
    int id = LOWORD(wParam);
    if (lParam == 0) return;  // releases do nothing here
    if (id >= TASKBAR_COMMAND_BASE + FIRST_TASK_BUTTON && id < TASKBAR_COMMAND_BASE + FIRST_TASK_BUTTON + TASK_BUTTON_SLOTS)
        PressTaskButton(id - TASKBAR_COMMAND_BASE - FIRST_TASK_BUTTON);
}

void ShowButtonFace(int index, int pressed)
{
    DrawButtonItem(TaskbarWindow, index, pressed);
    ShowButtonItem(TaskbarWindow, index);
}

}  // namespace

int CreateTaskbar(HINSTANCE instance)
{
    WNDCLASSW windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = TaskbarWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = TASKBAR_CLASS;
    if (!RegisterClassW(&windowClass)) return 1;
    TaskbarWindow = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOPMOST, TASKBAR_CLASS, L"Zorv TaskBar",
                                    WS_POPUP | WS_TABSTOP, 0, ScreenSize.cy - Settings.taskbarHeight, ScreenSize.cx,
                                    Settings.taskbarHeight, NULL, NULL, instance, NULL);
    if (!TaskbarWindow) return 1;
    UpdateWindow(TaskbarWindow);
    return 0;
}

LRESULT CALLBACK TaskbarWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        HandleCreate(window, reinterpret_cast<const CREATESTRUCTW*>(lParam));
        return 0;
    case WM_DESTROY:
        ReleaseTaskbarSurfaces();
        PostQuitMessage(0);  // destroying the bar ends the shell
        return 0;
    case WM_PAINT:
        HandlePaint(window);
        return 0;
    case WM_TIMER:
        UpdateClock();
        RefreshTaskList();
        return 0;
    case WM_LBUTTONDOWN:
        ButtonPenDown(window, lParam);
        return 0;
    case WM_LBUTTONUP:
        ButtonPenUp(window, lParam);
        return 0;
    case WM_COMMAND:
        HandleCommand(wParam, lParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int LoadTaskbarBuffers(HINSTANCE)
{
    TaskbarBackBufferSize = SIZE{ScreenSize.cx, Settings.taskbarHeight};
    windowDc = GetDC(TaskbarWindow);
    if (!windowDc) {
        LogError(L"GetDC Error");
        return 1;
    }
    if (CreateMemorySurface(windowDc, TaskbarBackBufferSize.cx, TaskbarBackBufferSize.cy, &TaskbarBackBuffer) != 0 ||
        CreateMemorySurface(TaskbarBackBuffer.dc, Settings.taskbarClockCX, Settings.taskbarHeight, &clockSurface) != 0 ||
        LoadThemeImages() != 0)
        return 1;
    StretchBlt(TaskbarBackBuffer.dc, 0, 0, ScreenSize.cx, Settings.taskbarHeight, TaskbarTheme.background.dc, 0, 0, 1,
               Settings.taskbarHeight, SRCCOPY);
    return 0;
}

int LoadTaskbarObjects(HINSTANCE instance)
{
    const ShellSettings& s = Settings;
    ResetTaskLists();
    if (LoadStringW(instance, IDS_MORE, MoreText, MORE_TEXT_CHARS) == 0) LogError(L"LoadString Error");

    SetButtonItem(TaskbarWindow, START_BUTTON, 0, 0, s.taskbarStartButtonCX, s.taskbarHeight, TaskbarTheme.startUp.dc,
                  TaskbarTheme.startDown.dc, TRUE, BUTTON_UP);
    ShowButtonFace(START_BUTTON, 1);
    // Blank until the first tick draws the time.
    SetButtonItem(TaskbarWindow, CLOCK_BUTTON, ScreenSize.cx - s.taskbarClockCX, 0, s.taskbarClockCX, s.taskbarHeight,
                  clockSurface.dc, clockSurface.dc, TRUE, BUTTON_UP);
    ShowButtonFace(CLOCK_BUTTON, 1);

    for (int i = 0; i < TASK_BUTTON_SLOTS; ++i) {
        for (MemorySurface& face : TaskButtonImages[i])
            if (CreateMemorySurface(TaskbarBackBuffer.dc, s.taskbarButtonMaxCX, s.taskbarButtonHeight, &face) != 0)
                return 1;
        SetButtonItem(TaskbarWindow, FIRST_TASK_BUTTON + i, 0, 0, 0, 0, TaskButtonImages[i][0].dc,
                      TaskButtonImages[i][1].dc, FALSE, BUTTON_UP);
    }
    return 0;
}

void ReleaseTaskbarSurfaces()
{
    TaskbarThemeImages& t = TaskbarTheme;
    MemorySurface* surfaces[] = {&t.background, &t.startUp,     &t.startDown,   &t.clockBackground, &clockSurface,
                                 &t.taskUp[0],  &t.taskUp[1],   &t.taskUp[2],   &t.taskDown[0],     &t.taskDown[1],
                                 &t.taskDown[2]};
    for (MemorySurface* surface : surfaces) ReleaseMemorySurface(surface);
    for (MemorySurface(&faces)[2] : TaskButtonImages)
        for (MemorySurface& face : faces) ReleaseMemorySurface(&face);
    ReleaseMemorySurface(&TaskbarBackBuffer);
}

void PaintTaskbar(HDC dc)
{
    BitBlt(dc, 0, 0, TaskbarBackBufferSize.cx, TaskbarBackBufferSize.cy, TaskbarBackBuffer.dc, 0, 0, SRCCOPY);
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

void UpdateClock()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    WCHAR text[CLOCK_TEXT_CHARS];
    FormatClockText(now, Settings.taskbarAmPm, text);
    if (wcscmp(text, clockText) == 0) return;  // same minute: nothing to draw
    StringCchCopyW(clockText, CLOCK_TEXT_CHARS, text);

    const int width = Settings.taskbarClockCX, height = Settings.taskbarHeight;
    BitBlt(clockSurface.dc, 0, 0, width, height, TaskbarTheme.clockBackground.dc, 0, 0, SRCCOPY);
    SelectObject(clockSurface.dc, NormalFont);
    SetBkMode(clockSurface.dc, TRANSPARENT);
    SetTextColor(clockSurface.dc, CLOCK_TEXT_COLOR);
    DrawTextInRect(clockSurface.dc, clockText, 0, 0, width, height, TEXT_FORMAT_CENTERED);
    ShowButtonFace(CLOCK_BUTTON, 0);
}
