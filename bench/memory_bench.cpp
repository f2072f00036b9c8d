// Memory rows: the running shell's private memory (its anonymous resident pages) and GDI
// objects at rest after start-up and with the exit screen open, each beside a bare window's,
// measured at the same moment; and at rest with sixteen notification icons, beside its own
// just before they came.
#include <windows.h>

#include <winternl.h>

#include <stdio.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bench_support.h"
#include "icon_calls.h"
#include "taskbar/notify_icons.h"

namespace {

const int SETTLE_MS = 3000;        // start-up and the first ticks
const int FADE_DONE_MS = 1500;     // the exit screen's fade has ended
const double REST_GOAL_MB = 4;     // at most this much above the bare window at rest
const int ICONS_SETTLE_MS = 1000;  // the icons drawn and two ticks past
const double ICONS_GOAL_MB = 0.5;  // at most this much above the shell without them
// The start menu's exit button, as its release command (base 100 + button 1).
const WPARAM EXIT_BUTTON_RELEASE = 101;

struct Holdings {
    double privateMb;
    int gdiObjects;
};

// The process's own memory: its anonymous resident pages (RssAnon of its /proc status),
// which hold the bitmaps' bits wherever Wine allocates them; its address space as Wine
// reports it misses those of compatible bitmaps. -1 when it cannot be read.
double PrivateMb(const std::wstring& processFolder)
{
    FILE* file = _wfopen((processFolder + L"\\status").c_str(), L"rb");
    if (!file) return -1;
    char line[256];
    double kb = -1;
    while (kb < 0 && fgets(line, sizeof line, file)) sscanf(line, "RssAnon: %lf", &kb);
    fclose(file);
    return kb < 0 ? -1 : kb / 1024;
}

// Live GDI objects, read from the process's own GDI handle table (GetGuiResources answers 0
// under Wine): its address is at 0xF8 of the PEB on x64; 0x10000 entries of 24 bytes, live
// while the object and the type (byte 14) are nonzero. -1 when it cannot be read.
int GdiObjects(HANDLE process)
{
    PROCESS_BASIC_INFORMATION basic = {};
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, NULL) != 0) return -1;
    UINT64 table = 0;
    std::vector<BYTE> entries(24 * 0x10000);
    if (!ReadProcessMemory(process, reinterpret_cast<const BYTE*>(basic.PebBaseAddress) + 0xF8, &table, sizeof table,
                           NULL) ||
        !ReadProcessMemory(process, reinterpret_cast<LPCVOID>(table), entries.data(), entries.size(), NULL))
        return -1;
    int live = 0;
    for (size_t at = 0; at < entries.size(); at += 24)
        live += entries[at + 14] && *reinterpret_cast<const UINT64*>(&entries[at]);
    return live;
}

Holdings Measure(HANDLE process, const std::wstring& processFolder)
{
    return Holdings{PrivateMb(processFolder), GdiObjects(process)};
}

// The two rows of one moment.
void PrintHoldings(const std::string& moment, const Holdings& shell, const Holdings& floor, Goal memoryGoal,
                   const char* floorName = "bare window, same moment")
{
    PrintRow("private memory, " + moment, floorName,
             Figures{shell.privateMb, floor.privateMb, shell.privateMb / floor.privateMb, 1}, "MB", memoryGoal);
    PrintRow(
        "GDI objects, " + moment, floorName,
        Figures{double(shell.gdiObjects), double(floor.gdiObjects), double(shell.gdiObjects) / floor.gdiObjects, 1},
        "");
}

// The shell at rest with the icons beside itself just before; the icons are deleted after.
int MeasureIcons(HANDLE shell, const std::wstring& shellFolder, const Holdings& before,
                 const std::vector<IconCalls>& icons)
{
    const HWND tray = TrayWindowOf(GetProcessId(shell));
    if (!tray || SendIconCalls(tray, icons, &IconCalls::add) != static_cast<int>(icons.size())) {
        fprintf(stderr, "the shell did not take the %d icons\n", static_cast<int>(icons.size()));
        return 1;
    }
    Sleep(ICONS_SETTLE_MS);
    PrintHoldings("at rest, " + std::to_string(icons.size()) + " icons", Measure(shell, shellFolder), before,
                  AboveFloorAtMost(ICONS_GOAL_MB), "same shell before its icons");
    SendIconCalls(tray, icons, &IconCalls::remove);
    return 0;
}

// The exit screen's dialog, once it is up.
bool WaitForExitDialog()
{
    for (int i = 0; i < 500; ++i) {
        if (IsWindowVisible(FindWindowW(L"#32770", L"Exit Lumaro"))) return true;
        Sleep(20);
    }
    return false;
}

}  // namespace

int BenchMemory(const std::wstring& theme)
{
    // Markers of this run's two processes in their command lines, apart from any other run's.
    const std::string tag = std::to_string(static_cast<unsigned long long>(NowMs() * 1000));
    const std::string shellMarker = "zorv-bench-memory-" + tag, bareMarker = "--mark=" + tag;
    const std::wstring home = InstallShellHome(theme, std::wstring(shellMarker.begin(), shellMarker.end()));
    // The icons' calls are recorded while the shell library still reaches this process's tray
    // window; their owner is a window of this process, alive throughout.
    const HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
    const HICON icon = MakeSolidIcon(RGB(0, 128, 255));
    std::vector<IconCalls> icons;
    const bool recorded = RecordIcons({owner}, NOTIFY_ICON_SLOTS, icon, &icons);
    HANDLE bare = StartProgram(L"\"" + BuildDirectory() + L"\\bench\\zorv_bare_window.exe\" " +
                               std::wstring(bareMarker.begin(), bareMarker.end()));
    HANDLE shell = StartProgram(L"\"" + home + L"\\zorv.exe\"", home.c_str());
    Sleep(SETTLE_MS);
    int result = 0;
    const std::wstring shellFolder = UnixProcessFolder(shellMarker), bareFolder = UnixProcessFolder(bareMarker);
    const auto measureShell = [&] { return Measure(shell, shellFolder); };
    const auto measureBare = [&] { return Measure(bare, bareFolder); };
    const Holdings shellAtRest = measureShell(), bareAtRest = measureBare();
    if (shellAtRest.gdiObjects < 0 || bareAtRest.gdiObjects < 0 || shellAtRest.privateMb < 0 ||
        bareAtRest.privateMb < 0) {
        fprintf(stderr, "cannot read the memory or the GDI objects of the shell or the bare window\n");
        result = 1;
    } else {
        PrintHoldings("at rest", shellAtRest, bareAtRest, AboveFloorAtMost(REST_GOAL_MB));
        if (recorded) {
            result |= MeasureIcons(shell, shellFolder, shellAtRest, icons);
        } else {
            fprintf(stderr, "the shell library's icon calls cannot be recorded\n");
            result = 1;
        }
        PostMessageW(FindWindowW(L"ZORV_START_CLASS", NULL), WM_COMMAND, EXIT_BUTTON_RELEASE, 0);
        if (WaitForExitDialog()) {
            Sleep(FADE_DONE_MS);
            PrintHoldings("exit screen open", measureShell(), measureBare(), {});
        } else {
            fprintf(stderr, "the exit screen did not open\n");
            result = 1;
        }
    }
    EndProcess(shell);
    EndProcess(bare);
    DestroyWindow(owner);
    DestroyIcon(icon);
    Sleep(300);
    std::filesystem::remove_all(home);
    return result;
}
