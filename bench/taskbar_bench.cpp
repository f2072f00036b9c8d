// Taskbar rows, over windows of another process: the tick in which nothing changed beside a
// bare pass of the queries it needs; a held "More" to its list of windows on the screen
// beside TrackPopupMenuEx of the same menu built beforehand; the CPU time of the running shell while it idles beside
// a bare window that makes that pass on the same 500 ms beat.
#include <windows.h>

#include <stdio.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench_support.h"
#include "config/shell_settings.h"
#include "gfx/button_manager.h"
#include "taskbar/task_buttons.h"
#include "taskbar/task_menu.h"
#include "taskbar/taskbar.h"

namespace {

const int TICKS = 51;
const int IDLE_SECONDS = 15;
const int SETTLE_MS = 3000;  // start-up and the first ticks, before the idle time is counted
const int WINDOW_COUNTS[] = {10, 64};

int CountTaskWindows()
{
    int count = 0;
    EnumWindows([](HWND window, LPARAM counter) -> BOOL {
        if (IsTaskWindow(GetWindowLongW(window, GWL_STYLE))) ++*reinterpret_cast<int*>(counter);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Starts the sample application with the windows and waits until they are all shown.
HANDLE StartWindows(int count)
{
    HANDLE process = StartProgram(L"\"" + BuildDirectory() + L"\\tools\\sample-app\\zorv-sample-app.exe\" --title=Bench --windows=" +
                                  std::to_wstring(count));
    for (int i = 0; process && i < 500 && CountTaskWindows() < count; ++i) Sleep(20);
    Sleep(300);
    return process;
}

const int MENUS = 21;
WNDPROC taskbarProc;  // the taskbar's own window procedure
double menuIdleAt;    // when the open menu's loop first ran out of messages

// Put in front of the taskbar's procedure: as soon as a menu's loop is idle, the menu is on
// the screen, and it is closed.
LRESULT CALLBACK WatchMenus(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (EndMenuWhenIdle(message, wParam, &menuIdleAt)) return 0;
    return CallWindowProcW(taskbarProc, window, message, wParam, lParam);
}

// Milliseconds from the call to the menu on the screen, -1 when none came.
double MsToMenu(const std::function<void()>& popUp)
{
    menuIdleAt = -1;
    const double start = NowMs();
    popUp();
    return menuIdleAt < 0 ? -1 : menuIdleAt - start;
}

// The held "More" button's command as the button manager posts it, beside the same list
// built before and only tracked.
int BenchMoreMenu()
{
    const int more = FIRST_TASK_BUTTON + TASK_BUTTON_SLOTS - 1;
    taskbarProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(TaskbarWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchMenus)));
    HMENU menu = BuildTaskListMenu(TASK_BUTTON_SLOTS - 1);
    const int lines = menu ? GetMenuItemCount(menu) : 0;
    RECT button = {};
    GetButtonRect(TaskbarWindow, more, &button);
    POINT anchor = {button.left, 0};  // where the held button puts it
    ClientToScreen(TaskbarWindow, &anchor);
    const auto held = [] { SendMessageW(TaskbarWindow, WM_COMMAND, 100 + more, BUTTON_HELD); };
    const auto plain = [&] {
        TrackPopupMenuEx(menu, TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_RETURNCMD, anchor.x, anchor.y, TaskbarWindow, NULL);
    };
    Figures figures = MeasureInTurns(MENUS, [&] { return MsToMenu(held); }, [&] { return MsToMenu(plain); });
    DestroyMenu(menu);
    SetWindowLongPtrW(TaskbarWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(taskbarProc));
    if (figures.value < 0 || figures.floor < 0) {
        fprintf(stderr, "the list of More did not come up\n");
        return 1;
    }
    PrintRow("held More, list of " + std::to_string(lines) + " of " + std::to_string(TaskCount()) + " windows",
             "same menu built before, TrackPopupMenuEx", figures, "ms", UnderAndRatioAtMost(50, 1.3));
    return 0;
}

// Milliseconds of CPU the process's threads have run, to the nanosecond the scheduler counts
// (the first field of each thread's schedstat).
double UnixCpuMs(const std::wstring& processFolder)
{
    double total = 0;
    for (const std::wstring& thread : NumberedFolders(processFolder + L"\\task")) {
        FILE* file = _wfopen((thread + L"\\schedstat").c_str(), L"rb");
        if (!file) continue;  // the thread has ended
        unsigned long long ns = 0;
        if (fscanf(file, "%llu", &ns) == 1) total += ns / 1e6;
        fclose(file);
    }
    return total;
}

}  // namespace

int BenchTicks()
{
    ClearButtonRegistry();
    ReadScreenSize();
    CreateShellFonts();
    if (CreateTaskbar(GetModuleHandleW(NULL), Settings, NULL) != 0) {
        fprintf(stderr, "cannot create the taskbar\n");
        return 1;
    }
    int failed = 0;
    for (int windows : WINDOW_COUNTS) {
        HANDLE apps = StartWindows(windows);
        for (int i = 0; i < 3; ++i) TickTaskbar();  // icons, layout and selection settle
        DispatchPendingMessages();
        Figures figures = TimeInTurns(TICKS, TickTaskbar, BarePass);
        PrintRow("taskbar tick, no change, " + std::to_string(TaskCount()) + " windows",
                 "bare EnumWindows pass, same queries", figures, "ms", RatioAtMost(1.2));
        if (windows == WINDOW_COUNTS[0]) failed |= BenchNotifyArea();
        if (TaskCount() == MAX_TASKS) failed |= BenchMoreMenu();
        EndProcess(apps);
    }
    return failed;
}

int BenchIdleShell(const std::wstring& theme)
{
    // Markers of this run's two processes in their command lines, apart from any other run's.
    const std::string tag = std::to_string(static_cast<unsigned long long>(NowMs() * 1000));
    const std::string shellMarker = "zorv-bench-idle-" + tag, pollerMarker = "--poll=" + tag;
    const std::wstring home = InstallShellHome(theme, std::wstring(shellMarker.begin(), shellMarker.end()));
    const std::wstring poller = L"\"" + BuildDirectory() + L"\\bench\\zorv_bare_window.exe\" " +
                                std::wstring(pollerMarker.begin(), pollerMarker.end());
    int result = 0;
    for (int windows : WINDOW_COUNTS) {
        HANDLE apps = StartWindows(windows);
        HANDLE floor = StartProgram(poller);
        HANDLE shell = StartProgram(L"\"" + home + L"\\zorv.exe\"", home.c_str());
        Sleep(SETTLE_MS);
        const std::wstring shellFolder = UnixProcessFolder(shellMarker), floorFolder = UnixProcessFolder(pollerMarker);
        if (shellFolder.empty() || floorFolder.empty()) {
            fprintf(stderr, "the shell or the bare window is not found in /proc\n");
            result = 1;
        } else {
            // Both idle side by side over the same seconds.
            const double shellStart = UnixCpuMs(shellFolder), floorStart = UnixCpuMs(floorFolder), start = NowMs();
            Sleep(IDLE_SECONDS * 1000);
            const double shellUsed = UnixCpuMs(shellFolder) - shellStart, floorUsed = UnixCpuMs(floorFolder) - floorStart;
            const double percentPerMs = 100 / (NowMs() - start);
            const Figures shares{shellUsed * percentPerMs, floorUsed * percentPerMs, shellUsed / floorUsed, 1};
            const std::string figure = "idle CPU of the shell, " + std::to_string(windows) + " windows, " +
                                       std::to_string(IDLE_SECONDS) + " s";
            PrintRow(figure, "bare window, same pass every 500 ms", shares, "%", Under(windows <= 10 ? 0.3 : 1.0));
        }
        EndProcess(shell);
        EndProcess(floor);
        EndProcess(apps);
    }
    std::filesystem::remove_all(home);  // its name is new in every run
    return result;
}
