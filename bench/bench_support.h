// What the benchmarks share: the clock, a figure measured in turns with its floor, the one
// table they print, the build's folders, a shell home, a pixel of the screen, the thread's
// waiting messages, the bare pass over the windows and the taskbar's tick.
#pragma once
#include <windows.h>

#include <stdio.h>
#include <wctype.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "taskbar/task_list.h"
#include "taskbar/taskbar.h"

inline double NowMs()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart * 1000.0 / frequency.QuadPart;
}

inline double MsOf(const std::function<void()>& step)
{
    const double start = NowMs();
    step();
    return NowMs() - start;
}

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A figure beside its floor, in the unit of their row, and the ratio of the two.
struct Figures {
    double value, floor, ratio;
    int repetitions;
};

// Medians of the figure, of its floor and of their ratio in each turn. Each turn measures
// both, one right after the other and in alternating order, so that the load of the machine
// at that moment falls on both alike. Each function measures itself and returns its result.
inline Figures MeasureInTurns(int repetitions, const std::function<double()>& figure,
                              const std::function<double()>& floor)
{
    std::vector<double> values, floors, ratios;
    for (int i = 0; i < repetitions; ++i) {
        double value, base;
        if (i % 2 == 0) {
            base = floor();
            value = figure();
        } else {
            value = figure();
            base = floor();
        }
        values.push_back(value);
        floors.push_back(base);
        ratios.push_back(value / base);
    }
    return Figures{Median(values), Median(floors), Median(ratios), repetitions};
}

// The same for steps timed whole, in milliseconds.
inline Figures TimeInTurns(int repetitions, const std::function<void()>& figure, const std::function<void()>& floor)
{
    return MeasureInTurns(repetitions, [&] { return MsOf(figure); }, [&] { return MsOf(floor); });
}

// What a figure is held to: at most this ratio to its floor, under this value, or at most
// this much above its floor; 0 for none.
struct Goal {
    double maxRatio, maxValue, maxAbove;
};
inline Goal RatioAtMost(double ratio) { return Goal{ratio, 0, 0}; }
inline Goal Under(double value) { return Goal{0, value, 0}; }
inline Goal AboveFloorAtMost(double difference) { return Goal{0, 0, difference}; }
inline Goal UnderAndRatioAtMost(double value, double ratio) { return Goal{ratio, value, 0}; }

// Three decimals below 1, one fewer at each power of ten up to 100; never an exponent.
inline std::string FormatNumber(double value, const char* unit = "")
{
    const int decimals = value < 1 ? 3 : value < 10 ? 2 : value < 100 ? 1 : 0;
    char text[32];
    snprintf(text, sizeof text, "%.*f%s%s", decimals, value, *unit ? " " : "", unit);
    return text;
}

const char ROW_FORMAT[] = "| %-40s | %3s | %10s | %-40s | %11s | %7s | %-20s |\n";

inline void PrintTableHeader()
{
    printf("Every figure beside its floor, both measured in this run. Times are medians of n turns, each\n"
           "turn measuring figure and floor one after the other; ratio is the median of the turns' ratios.\n"
           "Idle CPU is the share of one core over one interval, the shell and its floor running side by\n"
           "side (Wine's server not counted). Private memory is the process's anonymous resident memory\n"
           "(RssAnon), GDI objects the live entries of its handle table. Nothing is asserted.\n\n");
    printf(ROW_FORMAT, "figure", "n", "value", "floor", "floor value", "ratio", "goal");
    const std::string line = std::string(42, '-');
    printf("|%s|-----|------------|%s|-------------|---------|----------------------|\n", line.c_str(), line.c_str());
}

// One row of the table: the figure and its floor in the given unit, their ratio and the goal.
inline void PrintRow(const std::string& figure, const char* floor, const Figures& figures, const char* unit,
                     Goal goal = {})
{
    std::string goalText;
    bool missed = false;
    if (goal.maxValue > 0) {
        goalText = "< " + FormatNumber(goal.maxValue, unit);
        missed = figures.value >= goal.maxValue;
    }
    if (goal.maxRatio > 0) {
        goalText += (goalText.empty() ? "ratio <= " : ", <= ") + FormatNumber(goal.maxRatio);
        missed |= figures.ratio > goal.maxRatio;
    }
    if (goal.maxAbove > 0) {
        goalText = "floor + " + FormatNumber(goal.maxAbove, unit) + " (+" + FormatNumber(figures.value - figures.floor) + ")";
        missed = figures.value - figures.floor > goal.maxAbove;
    }
    if (missed) goalText += " MISSED";
    printf(ROW_FORMAT, figure.c_str(), std::to_string(figures.repetitions).c_str(),
           FormatNumber(figures.value, unit).c_str(), floor, FormatNumber(figures.floor, unit).c_str(),
           figures.floor > 0 ? FormatNumber(figures.ratio).c_str() : "-", goalText.c_str());
}

// The build folder: the benchmarks live in its bench\ folder.
inline std::wstring BuildDirectory()
{
    WCHAR path[MAX_PATH];
    GetModuleFileNameW(NULL, path, MAX_PATH);
    std::wstring directory = path;
    directory = directory.substr(0, directory.rfind(L'\\'));
    return directory.substr(0, directory.rfind(L'\\'));
}

inline void EndProcess(HANDLE process)
{
    if (!process) return;
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
}

// A home directory under the temporary folder: the theme's settings and bitmaps and zorv.exe.
inline std::wstring InstallShellHome(const std::wstring& theme, const std::wstring& name)
{
    WCHAR temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring home = std::wstring(temp) + name;
    std::wstring copy = L"xcopy /e /i /q /y \"" + theme + L"\" \"" + home + L"\" >nul";
    _wsystem(copy.c_str());
    CopyFileW((BuildDirectory() + L"\\zorv.exe").c_str(), (home + L"\\zorv.exe").c_str(), FALSE);
    return home;
}

// Starts a program with the given current directory; the process handle, NULL on failure.
inline HANDLE StartProgram(std::wstring commandLine, LPCWSTR directory = NULL)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(NULL, &commandLine[0], NULL, NULL, FALSE, 0, NULL, directory, &startup, &process)) return NULL;
    CloseHandle(process.hThread);
    return process.hProcess;
}

// For a menu's owner: when the open menu's loop first runs out of messages, the menu is on
// the screen; the moment is noted and the menu closed. True when the message was that one.
inline bool EndMenuWhenIdle(UINT message, WPARAM wParam, double* idleAt)
{
    if (message != WM_ENTERIDLE || wParam != MSGF_MENU) return false;
    *idleAt = NowMs();
    EndMenu();
    return true;
}

// The folders named by a number (processes, threads) in a folder of /proc, as Wine sees it.
inline std::vector<std::wstring> NumberedFolders(const std::wstring& folder)
{
    std::vector<std::wstring> folders;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return folders;
    do {
        if (iswdigit(found.cFileName[0])) folders.push_back(folder + L"\\" + found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return folders;
}

// The /proc folder of the Unix process whose command line holds the marker; empty when
// there is none. Wine answers GetProcessTimes for other processes with zeros, and counts
// no memory that its own Unix side holds for a process, so such figures are read there.
inline std::wstring UnixProcessFolder(const std::string& marker)
{
    for (const std::wstring& folder : NumberedFolders(L"Z:\\proc")) {
        FILE* file = _wfopen((folder + L"\\cmdline").c_str(), L"rb");
        if (!file) continue;  // the process has ended
        char commandLine[1024];
        const size_t length = fread(commandLine, 1, sizeof commandLine, file);
        fclose(file);
        if (std::string(commandLine, length).find(marker) != std::string::npos) return folder;
    }
    return L"";
}

// The colour of a screen pixel.
inline COLORREF ScreenPixel(int x, int y)
{
    HDC screen = GetDC(NULL);
    COLORREF color = GetPixel(screen, x, y);
    ReleaseDC(NULL, screen);
    return color;
}

// Dispatches the messages that wait for this thread.
inline void DispatchPendingMessages()
{
    for (MSG msg; PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
}

// One tick of the taskbar in this process, as its timer (id 1) gives it: the taskbar ignores
// WM_TIMER of any other id.
inline void TickTaskbar() { SendMessageW(TaskbarWindow, WM_TIMER, 1, 0); }

// The floor of a task list tick: the queries it cannot do without, over the same windows
// (each window's style, the title of each task window, up to as many as the list holds; the
// foreground window's owner).
inline void BarePass()
{
    int tasks = 0;
    EnumWindows([](HWND window, LPARAM counter) -> BOOL {
        int& count = *reinterpret_cast<int*>(counter);
        if (count >= MAX_TASKS) return FALSE;
        if (!IsTaskWindow(GetWindowLongW(window, GWL_STYLE))) return TRUE;
        ++count;
        WCHAR title[TASK_TITLE_CHARS];
        GetWindowTextW(window, title, TASK_TITLE_CHARS);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&tasks));
    GetParent(GetForegroundWindow());
}

// The groups of rows, in the order the run takes them; those that can fail return 1 when
// they could not measure, having said why.
void BenchFade();
int BenchShapesAndTheme();
int BenchStartup(const std::wstring& theme);
int BenchAllPrograms();
int BenchRunDialog();
int BenchMenuKey(const std::wstring& theme);  // before any taskbar of this process holds the keys
int BenchFullScreen(const std::wstring& theme);
int BenchTicks();       // leaves a hidden taskbar in the process
int BenchNotifyArea();  // in the taskbar of the ticks, with icons of the task list's windows
int BenchIdleShell(const std::wstring& theme);
int BenchMemory(const std::wstring& theme);
int BenchSettings(const std::wstring& theme);
