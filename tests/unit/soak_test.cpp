#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "config/shell_settings.h"
#include "exitscreen/exit_screen.h"
#include "gdi_count.h"
#include "program.h"
#include "resource.h"
#include "dialogs/run_dialog.h"
#include "dialogs/settings_dialog.h"
#include "startmenu/start_menu.h"
#include "gfx/button_manager.h"
#include "taskbar/full_screen.h"
#include "taskbar/hot_keys.h"
#include "taskbar/notify_icons.h"
#include "taskbar/task_buttons.h"
#include "taskbar/task_list.h"
#include "taskbar/taskbar.h"
#include "taskbar/window_chooser.h"
#include "test_files.h"

namespace {

// What the process holds, and how far each figure may move from where start-up settled.
enum { GDI_OBJECTS, WINDOWS, THREADS, PRIVATE_KB, HOLDINGS };
const char* const HOLDING_NAMES[HOLDINGS] = {"GDI objects", "windows", "threads", "private KB"};
// Committed private memory came back to the page in every run measured: one 64 KB heap step
// is allowed. Screen-sized buffers are bitmaps, which the GDI count holds exactly.
const long long TOLERANCES[HOLDINGS] = {0, 0, 0, 64};

// Counts the window and, for a top-level one, all its descendants.
BOOL CALLBACK CountWindow(HWND window, LPARAM count)
{
    ++*reinterpret_cast<long long*>(count);
    if (!(GetWindowLongW(window, GWL_STYLE) & WS_CHILD)) EnumChildWindows(window, CountWindow, count);
    return TRUE;
}

int CountThreads()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 thread = {sizeof thread, 0, 0, 0, 0, 0, 0};
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &thread); more; more = Thread32Next(snapshot, &thread))
        count += thread.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return count;
}

// The windows are those of the one UI thread, children included. GetProcessMemoryInfo's
// PrivateUsage is 0 under Wine: private memory is summed from the address space instead.
std::array<long long, HOLDINGS> Measure()
{
    std::array<long long, HOLDINGS> held = {CountGdiObjects(), 0, CountThreads(), 0};
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&held[WINDOWS]));
    MEMORY_BASIC_INFORMATION region;
    for (const BYTE* at = nullptr; VirtualQuery(at, &region, sizeof region);
         at = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize)
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) held[PRIVATE_KB] += region.RegionSize / 1024;
    return held;
}

// Answers the modal loop open now from inside it: the task menu (no title), on the bar before
// and after a tick in its loop, is dismissed, or its last line, Close, chosen; a dialog is
// cancelled, the exit dialog closed instead on every other opening, and the Run dialog
// counted when it shows its history.
const wchar_t* modalTitle;
bool chooseClose;
int closes, runDialogsShown, barsHiddenUnderMenus;
void CALLBACK AnswerModal(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND window = FindWindowW(modalTitle ? L"#32770" : L"#32768", modalTitle);
    if (!IsWindowVisible(window)) return;
    KillTimer(NULL, timer);
    if (!modalTitle) {
        barsHiddenUnderMenus += !IsWindowVisible(TaskbarWindow);
        SendMessageW(TaskbarWindow, WM_TIMER, 1, 0);
        barsHiddenUnderMenus += !IsWindowVisible(TaskbarWindow);
        if (!chooseClose) EndMenu();
        for (UINT key : {VK_UP, VK_RETURN})
            if (chooseClose) PostMessageW(window, WM_KEYDOWN, key, 0);
        return;
    }
    runDialogsShown += SendDlgItemMessageW(window, IDC_RUN_COMMAND, CB_GETCOUNT, 0, 0) == 3;
    const bool close = wcscmp(modalTitle, L"Exit Lumaro") == 0 && ++closes % 2;
    SendMessageW(window, close ? WM_CLOSE : WM_COMMAND, IDCANCEL, 0);
}
void AnswerOnceShown(const wchar_t* title)
{
    modalTitle = title;
    SetTimer(NULL, 0, 10, AnswerModal);
}

// An application's window; every third answers WM_GETICON.
void OpenApplication(int tick, std::vector<HWND>* windows)
{
    windows->push_back(CreateWindowExW(0, L"STATIC", L"App", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20 * (tick % 9), 10,
                                       300, 200, NULL, NULL, NULL, NULL));
    const HICON icon = LoadIconW(NULL, IDI_APPLICATION);
    if (tick % 3 == 0) SendMessageW(windows->back(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

// Holds a task button, as the pen would, and answers its menu. A window closed from it has
// gone when this returns, and another application opens in its place, so that the run
// reaches as many windows as it would without.
void HoldAndAnswerTaskButton(int tick, bool close, std::vector<HWND>* windows)
{
    const int buttons = std::min(TaskCount(), static_cast<int>(TASK_BUTTON_SLOTS));
    if (buttons == 0) return;
    const int position = tick / 50 % buttons;
    const HWND window = CurrentTask(position).window;
    // "More" lists the windows; the buttons before it have their window's menu.
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    chooseClose = close && TaskButtonEntry(position, TaskCount()) != TASK_BUTTON_MORE &&
                  processId == GetCurrentProcessId();  // the flipper is no window to close here
    AnswerOnceShown(NULL);
    SendMessageW(TaskbarWindow, WM_COMMAND, 100 + FIRST_TASK_BUTTON + position, BUTTON_HELD);
    if (!chooseClose) return;
    for (MSG msg; PeekMessageW(&msg, window, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
    if (IsWindow(window)) ADD_FAILURE() << "Close left the window of position " << position;
    windows->erase(std::remove(windows->begin(), windows->end(), window), windows->end());
    OpenApplication(tick, windows);
}

std::wstring home, runHistoryFile;  // the bundled home the shell runs from

// The menu's key twice, opening and closing the menu; then Alt+Tab and Alt let go, through
// the chooser, which brings a window forward.
int switches;
void PressShellKeys(int tick)
{
    SendMessageW(TaskbarWindow, WM_HOTKEY, HOT_KEY_MENU, 0);
    SendMessageW(TaskbarWindow, WM_HOTKEY, HOT_KEY_MENU, 0);
    if (StartMenuVisible) ADD_FAILURE() << "the menu's key left the menu open at tick " << tick;
    SendMessageW(TaskbarWindow, WM_HOTKEY, tick % 40 == 5 ? HOT_KEY_SWITCH : HOT_KEY_SWITCH_BACK, 0);
    if (!WindowChooserShown()) return;
    SendMessageW(FindWindowW(L"ZORV_WINDOW_CHOOSER_CLASS", NULL), WM_SYSKEYUP, VK_MENU, 0);
    switches += !WindowChooserShown();
}

// A program's notification icon, through the desktop's shell library as any program calls it:
// added, changed and deleted in turn, on windows that close while their icons stand.
int iconsAdded;
void CallNotifyIcon(int tick, HWND owner)
{
    const DWORD operations[] = {NIM_ADD, NIM_MODIFY, NIM_DELETE};
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof data;
    data.hWnd = owner;
    data.uID = static_cast<UINT>(tick % 7);
    data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    data.uCallbackMessage = WM_APP;
    data.hIcon = LoadIconW(NULL, tick % 2 ? IDI_APPLICATION : IDI_WARNING);
    wcscpy(data.szTip, std::to_wstring(tick).c_str());
    iconsAdded += Shell_NotifyIconW(operations[tick / 5 % 3], &data) && operations[tick / 5 % 3] == NIM_ADD;
}

// A program of another process whose window flips between the whole screen and its own size
// every 100 ms, in front now and then: each tick that sees it change moves the bar, or not.
int barMoves;
void TickFollowingFlipper(int tick)
{
    static HWND flipper;
    if (!IsWindow(flipper)) flipper = FindWindowW(NULL, L"Flipper");
    if (tick % 100 == 20) SetForegroundWindow(flipper);  // in front at the next hold
    const bool behind = BarBehindFullScreen();
    SendMessageW(TaskbarWindow, WM_TIMER, 1, 0);
    barMoves += BarBehindFullScreen() != behind;
}

// Windows of this process stand in for applications: they open, are retitled, come to the
// front and close, up to more than the taskbar has buttons. Every third answers WM_GETICON;
// for the others the task list extracts the executable's icon. Meanwhile the taskbar ticks,
// an exit screen, the Run and the settings dialog are opened and cancelled at even intervals
// (the settings dialog's windows and GDI objects held to the exact count), and every 50
// ticks a task button is held and its menu dismissed, or every tenth time a window closed
// from it; every fifth tick a notification icon is added, changed or deleted; every hundredth
// the flipper comes to the front. At the end the applications are closed and their buttons
// and icons gone.
void RunTicks(int ticks, int exitScreens)
{
    std::vector<HWND> windows;
    for (int tick = 0; tick < ticks; ++tick) {
        const size_t some = windows.empty() ? 0 : tick % windows.size();
        if (tick % 40 == 0 && tick / 800 % 2 == 0 && windows.size() < 20) {
            OpenApplication(tick, &windows);
        } else if (tick % 40 == 0 && !windows.empty()) {
            DestroyWindow(windows[some]);
            windows.erase(windows.begin() + some);
        }
        if (tick % 20 == 10 && !windows.empty()) SetWindowTextW(windows[some], std::to_wstring(tick).c_str());
        if (tick % 100 == 50 && !windows.empty()) SetForegroundWindow(windows[some]);
        if (tick % 5 == 0 && !windows.empty()) CallNotifyIcon(tick, windows[some]);
        TickFollowingFlipper(tick);
        if (tick % 50 == 25) HoldAndAnswerTaskButton(tick, tick % 500 == 25, &windows);
        if (tick % 20 == 5) PressShellKeys(tick);
        if ((tick + 1) % (ticks / exitScreens) == 0) {
            const int threads = CountThreads();
            AnswerOnceShown(L"Exit Lumaro");
            if (OpenExitScreen(GetModuleHandleW(NULL)) != 0) FAIL() << "no exit screen at tick " << tick;
            if (CountThreads() != threads) FAIL() << "the fade worker outlives its exit screen at tick " << tick;
            AnswerOnceShown(L"Run");
            OpenRunDialog(GetModuleHandleW(NULL), runHistoryFile.c_str());
            AnswerOnceShown(L"Lumaro Settings");
            if (RunSettingsDialog(GetModuleHandleW(NULL), NULL, home.c_str()) != SETTINGS_UNCHANGED)
                FAIL() << "settings changed at tick " << tick;
        }
        if (tick % 10 == 0 && TakeQuitMessage()) FAIL() << "a quit request at tick " << tick;
    }
    for (HWND window : windows) DestroyWindow(window);
    SendMessageW(TaskbarWindow, WM_TIMER, 1, 0);
    ASSERT_FALSE(TakeQuitMessage());
}

// The shell's modules in this process, from the bundled home, as start-up makes them.
TEST(Soak, TenThousandTicksFiftyExitScreensRunAndSettingsDialogsTwoHundredTaskMenusTwoThousandIconCallsAndFiveHundredMenuKeysAndSwitchesLeaveTheShellWhereItSettled)
{
    TempDirectory folder;
    home = folder.path();
    InstallDefaultHome(home);
    runHistoryFile = folder / L"settings\\settings.cfg";
    WriteBytes(runHistoryFile, ReadBytes(runHistoryFile) +
                                   "[RunHistory]\nCommand0=notepad\nCommand1=\\Windows\\control.exe\nCommand2=\\NAND3\\\n");
    {
        LogCapture log;
        ASSERT_EQ(0, LoadShellSettings(home.c_str(), &Settings));
        ReadScreenSize();
        CreateShellFonts();
        ASSERT_EQ(0, CreateTaskbar(GetModuleHandleW(NULL), Settings, ToggleStartMenu));
        ShowWindow(TaskbarWindow, SW_SHOW);
        ASSERT_EQ(0, CreateStartMenu(GetModuleHandleW(NULL), Settings, OpenExitScreen));
        ASSERT_TRUE(log.fatalBoxes.empty());
    }
    Program flipper(L"\"" + BuildPath(L"tools\\sample-app\\zorv-sample-app.exe").wstring() +
                    L"\" --title=Flipper --full-screen --flip-every=100");
    RunTicks(1000, 5);  // everything made once and kept is made now
    const auto settled = Measure();
    RunTicks(10000, 50);
    const auto end = Measure();
    EXPECT_GT(barMoves, 50) << "the bar follows the window that flips";
    EXPECT_EQ(0, barsHiddenUnderMenus) << "the bar stays under its own menus";
    EXPECT_EQ(55, runDialogsShown) << "each Run dialog shown with its three commands";
    EXPECT_GT(switches, 500) << "the chooser opens on the switch key and closes when Alt is let go";
    EXPECT_EQ(0, NotifyIconCount()) << "every owner has gone";
    EXPECT_GT(iconsAdded, 500) << "the shell library's calls reach the shell";
    for (int i = 0; i < HOLDINGS; ++i)
        EXPECT_LE(std::abs(end[i] - settled[i]), TOLERANCES[i]) << HOLDING_NAMES[i] << ": " << settled[i] << " then " << end[i];
}

}  // namespace
