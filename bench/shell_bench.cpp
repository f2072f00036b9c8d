// Start-up, start menu and exit screen rows: start-up to the first painted taskbar beside a
// bare window's first paint; the All Programs popup over 128 application folders beside a
// plain TrackPopupMenuEx of the same menu built beforehand; the fade of one 800 x 480 frame
// beside a plain copy of it.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench_support.h"
#include "exitscreen/fade.h"
#include "startmenu/all_programs.h"

namespace {

const int STARTS = 11;
const int POPUPS = 21;
const int FADES = 51;

// As the start menu pops All Programs up: the same volumes, flags and anchor.
const ApplicationVolume DEVICE_VOLUMES[] = {
    {L"\\NAND3", L"NAND3:"},
    {L"\\Storage Card", L"SD Card:"},
};
const UINT POPUP_FLAGS = TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_RETURNCMD;
const POINT POPUP_ANCHOR = {200, 400};

// Milliseconds from the launch until the bottom-left pixel of the screen changes, which is
// where both the taskbar and the bare window paint first.
double MsToFirstPaint(const std::wstring& commandLine, LPCWSTR directory)
{
    const int x = 5, y = GetSystemMetrics(SM_CYSCREEN) - 5;
    const COLORREF before = ScreenPixel(x, y);
    const double start = NowMs();
    HANDLE process = StartProgram(commandLine, directory);
    if (!process) return -1;
    double painted = -1;
    while (NowMs() - start < 10000) {
        if (ScreenPixel(x, y) != before) {
            painted = NowMs() - start;
            break;
        }
        Sleep(1);
    }
    EndProcess(process);
    Sleep(300);  // the desktop repaints where the window was
    return painted;
}

// Makes n application folders, half on each volume, below the drive's root.
void MakeApplicationFolders(int n)
{
    namespace fs = std::filesystem;
    for (const wchar_t* volume : {L"C:\\NAND3", L"C:\\Storage Card"}) fs::remove_all(volume);
    for (int i = 0; i < n; ++i) {
        fs::path folder = fs::path(i % 2 ? L"C:\\Storage Card" : L"C:\\NAND3") / L"\u30A2\u30D7\u30EA" /
                          (L"Application " + std::to_wstring(i));
        fs::create_directories(folder);
    }
}

double popupIdleAt;  // when the open popup's loop first ran out of messages

// The owner of the popups: as soon as a popup's loop is idle, the popup is on the screen,
// and it is closed.
LRESULT CALLBACK PopupOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (EndMenuWhenIdle(message, wParam, &popupIdleAt)) return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreatePopupOwner()
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = PopupOwnerProc;
    windowClass.hInstance = GetModuleHandleW(NULL);
    windowClass.lpszClassName = L"ZorvBenchPopupOwner";
    RegisterClassW(&windowClass);
    HWND owner = CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10,
                                 NULL, NULL, windowClass.hInstance, NULL);
    SetForegroundWindow(owner);
    return owner;
}

// Milliseconds from the call to the popup on the screen, -1 when it was not shown.
double MsToPopup(const std::function<void()>& popUp)
{
    popupIdleAt = -1;
    const double start = NowMs();
    popUp();
    return popupIdleAt < 0 ? -1 : popupIdleAt - start;
}

}  // namespace

int BenchStartup(const std::wstring& theme)
{
    const std::wstring home = InstallShellHome(theme, L"zorv-bench-startup");
    const std::wstring shell = L"\"" + home + L"\\zorv.exe\"";
    const std::wstring bare = L"\"" + BuildDirectory() + L"\\bench\\zorv_bare_window.exe\"";
    Figures figures = MeasureInTurns(STARTS, [&] { return MsToFirstPaint(shell, home.c_str()); },
                                     [&] { return MsToFirstPaint(bare, NULL); });
    if (figures.value < 0 || figures.floor < 0) {
        fprintf(stderr, "cannot start %ls or %ls\n", shell.c_str(), bare.c_str());
        return 1;
    }
    PrintRow("start-up to the taskbar's first paint", "bare window, start to its first paint", figures, "ms",
             RatioAtMost(1.3));
    return 0;
}

int BenchAllPrograms()
{
    SetCurrentDirectoryW(L"C:\\");  // the volumes are found on the current drive
    MakeApplicationFolders(MAX_APPLICATIONS);
    HWND owner = CreatePopupOwner();
    HMENU menu = CreatePopupMenu();
    static ApplicationPaths paths;
    AppendApplicationItems(menu, DEVICE_VOLUMES, ARRAYSIZE(DEVICE_VOLUMES), &paths);
    const auto shell = [&] { ShowAllProgramsMenu(owner, GetModuleHandleW(NULL), POPUP_ANCHOR); };
    const auto plain = [&] { TrackPopupMenuEx(menu, POPUP_FLAGS, POPUP_ANCHOR.x, POPUP_ANCHOR.y, owner, NULL); };
    Figures figures = MeasureInTurns(POPUPS, [&] { return MsToPopup(shell); }, [&] { return MsToPopup(plain); });
    DestroyMenu(menu);
    DestroyWindow(owner);
    MakeApplicationFolders(0);
    if (paths.count != MAX_APPLICATIONS) {
        fprintf(stderr, "All Programs lists %d folders of the %d made\n", paths.count, MAX_APPLICATIONS);
        return 1;
    }
    if (figures.value < 0 || figures.floor < 0) {
        fprintf(stderr, "the popup did not come up\n");
        return 1;
    }
    PrintRow("All Programs popup, " + std::to_string(paths.count) + " folders",
             "same menu built before, TrackPopupMenuEx", figures, "ms", Under(50));
    return 0;
}

void BenchFade()
{
    const size_t count = 800 * 480;
    std::vector<uint32_t> source(count), frame(count);
    std::mt19937 random(7);
    for (uint32_t& pixel : source) pixel = random();
    const auto copy = [&] { memcpy(frame.data(), source.data(), count * sizeof(uint32_t)); };
    const char* const pathNames[] = {"portable", "SSE2", "AVX2"};
    const char* fastPath = pathNames[FastestFadePath()];
    const struct {
        std::string figure;
        void (*fade)(uint32_t*, size_t, int);
        Goal goal;
    } paths[] = {
        {std::string("fade of a frame, ") + fastPath + " path, with copy", FadePixels, RatioAtMost(4)},
        {"fade of a frame, portable path (device)", FadePixelsPortable, RatioAtMost(8)},
    };
    for (const auto& path : paths) {
        Figures figures = TimeInTurns(FADES, [&] {
            copy();
            path.fade(frame.data(), count, 4);
        }, copy);
        PrintRow(path.figure, "memcpy of the same 800 x 480 frame", figures, "ms", path.goal);
    }
}
