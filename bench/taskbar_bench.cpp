// Task list figures: the cost of a tick in which nothing changed, beside one bare pass of
// the same queries over the same windows (EnumWindows, style, title, foreground), with
// windows of another process; and the shell's own CPU time while it idles.
//
// Usage: zorv_bench_taskbar [<folder of the default theme, as Wine sees it>] [idle seconds]
#include <windows.h>

#include <stdio.h>
#include <string.h>
#include <strsafe.h>
#include <wchar.h>

#include <string>
#include <vector>

#include "bench_support.h"
#include "config/shell_settings.h"
#include "gfx/button_manager.h"
#include "taskbar/task_list.h"
#include "taskbar/taskbar.h"

namespace {

const int TICKS = 300;

BOOL CALLBACK BarePassWindow(HWND window, LPARAM)
{
    WCHAR title[TASK_TITLE_CHARS];
    if (IsTaskWindow(GetWindowLongW(window, GWL_STYLE))) GetWindowTextW(window, title, TASK_TITLE_CHARS);
    return TRUE;
}

void BarePass()
{
    EnumWindows(BarePassWindow, 0);
    GetParent(GetForegroundWindow());
}

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

double MicrosecondsPer(void (*step)())
{
    double start = NowMs();
    for (int i = 0; i < TICKS; ++i) step();
    return (NowMs() - start) * 1000.0 / TICKS;
}

void MeasureTicks(int windows)
{
    HANDLE process = windows ? StartWindows(windows) : NULL;
    for (int i = 0; i < 3; ++i) RefreshTaskList();  // icons, layout and selection settle
    MSG msg;
    while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    double bare = MicrosecondsPer(BarePass);
    double tick = MicrosecondsPer([] { RefreshTaskList(); });
    double bareAgain = MicrosecondsPer(BarePass);
    double reference = (bare + bareAgain) / 2;
    printf("  %2d windows: no-change tick %8.1f us   bare pass %8.1f us   ratio %.2f  (goal at most 1.20)%s\n",
           TaskCount(), tick, reference, tick / reference, tick / reference <= 1.2 ? "" : "  MISSED");
    EndProcess(process);
}

// CPU time in milliseconds of the Unix process whose command line holds the marker. Wine
// answers GetProcessTimes for other processes with zeros, so /proc is read instead.
double UnixCpuMs(const std::string& marker)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE) return -1;
    double result = -1;
    do {
        if (found.cFileName[0] < L'0' || found.cFileName[0] > L'9') continue;
        std::wstring directory = std::wstring(L"Z:\\proc\\") + found.cFileName;
        FILE* file = _wfopen((directory + L"\\cmdline").c_str(), L"rb");
        if (!file) continue;
        char commandLine[1024] = {};
        size_t length = fread(commandLine, 1, sizeof commandLine - 1, file);
        fclose(file);
        if (std::string(commandLine, length).find(marker) == std::string::npos) continue;
        file = _wfopen((directory + L"\\stat").c_str(), L"rb");
        if (!file) continue;
        char stat[1024] = {};
        fread(stat, 1, sizeof stat - 1, file);
        fclose(file);
        unsigned long long user = 0, system = 0;
        const char* afterName = strrchr(stat, ')');
        // Fields after the name: state, then eleven more before utime and stime.
        if (afterName && sscanf(afterName + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &user, &system) == 2)
            result = (user + system) * 10.0;  // clock ticks of 10 ms
        break;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return result;
}

// Starts zorv.exe in a home of its own and reports the share of one core it uses while idle.
void MeasureIdleShell(const std::wstring& theme, int windows, int seconds)
{
    std::wstring home = InstallShellHome(theme, L"zorv-bench-home");
    HANDLE apps = StartWindows(windows);
    HANDLE shell = StartProgram(L"\"" + home + L"\\zorv.exe\"", home.c_str());
    if (!shell) {
        printf("  cannot start the shell in %ls\n", home.c_str());
        EndProcess(apps);
        return;
    }
    Sleep(3000);  // start-up and the first ticks
    const std::string marker = "zorv-bench-home";
    double startCpu = UnixCpuMs(marker), start = NowMs();
    Sleep(seconds * 1000);
    double used = UnixCpuMs(marker) - startCpu, elapsed = NowMs() - start;
    if (startCpu < 0) printf("  the shell's process is not found in /proc\n");
    double share = 100.0 * used / elapsed;
    double goal = windows <= 10 ? 0.3 : 1.0;
    printf("  %2d windows: shell CPU %.0f ms over %.0f s = %.2f %% of a core  (goal under %.1f %%)%s\n", windows, used,
           elapsed / 1000, share, goal, share < goal ? "" : "  MISSED");
    EndProcess(shell);
    EndProcess(apps);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring theme = argc > 1 ? argv[1] : L"themes\\default";
    int idleSeconds = argc > 2 ? _wtoi(argv[2]) : 60;
    ClearButtonRegistry();
    ReadScreenSize();
    bool ready = LoadShellSettings(theme.c_str(), &Settings) == 0;
    if (ready) {
        CreateShellFonts();
        ready = CreateTaskbar(GetModuleHandleW(NULL), NULL) == 0;
    }
    if (!ready) {
        printf("cannot create the taskbar from %ls\n", theme.c_str());
        return 1;
    }
    printf("Task list tick, %d ticks each (in process, windows of another process)\n", TICKS);
    for (int windows : {0, 10, 30, 64}) MeasureTicks(windows);
    printf("Idle shell, %d s each (the shell's own CPU time; Wine's server is not counted)\n", idleSeconds);
    for (int windows : {10, 64}) MeasureIdleShell(theme, windows, idleSeconds);
    return 0;
}
