// Start menu and exit screen figures, each beside its floor measured in the same run:
// start-up to the first painted taskbar beside a bare window's first paint; the All
// Programs popup from the press to the screen with 0, 20 and 128 application folders; the
// fade of one 800 x 480 frame beside a plain copy of it.
//
// Usage: zorv_bench_shell [<folder of the default theme, as Wine sees it>]
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bench_support.h"
#include "exitscreen/fade.h"
#include "exitscreen/fade_x86.h"
#include "startmenu/program_launch.h"

namespace {

const int STARTS = 7;

// The colour of a screen pixel.
COLORREF ScreenPixel(int x, int y)
{
    HDC screen = GetDC(NULL);
    COLORREF color = GetPixel(screen, x, y);
    ReleaseDC(NULL, screen);
    return color;
}

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

void BenchStartup(const std::wstring& theme)
{
    const std::wstring home = InstallShellHome(theme, L"zorv-bench-startup");
    const std::wstring bare = L"\"" + BuildDirectory() + L"\\bench\\zorv_bare_window.exe\"";
    std::vector<double> shell, floor;
    for (int i = 0; i < STARTS; ++i) {
        floor.push_back(MsToFirstPaint(bare, NULL));
        shell.push_back(MsToFirstPaint(L"\"" + home + L"\\zorv.exe\"", home.c_str()));
    }
    std::sort(shell.begin(), shell.end());
    std::sort(floor.begin(), floor.end());
    const double s = shell[STARTS / 2], f = floor[STARTS / 2];
    printf("Start-up, launch to first paint (median of %d):\n", STARTS);
    printf("  shell, full default theme %8.1f ms\n  bare window (floor)       %8.1f ms\n  ratio %.2f  (goal at most 1.30)%s\n\n",
           s, f, s / f, s / f <= 1.3 ? "" : "  MISSED");
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

// Closes the popup as soon as it is on the screen and notes when that was.
void ClosePopupWhenShown(double* shownAt)
{
    for (double start = NowMs(); NowMs() - start < 5000; Sleep(0)) {
        HWND popup = FindWindowW(L"#32768", NULL);
        if (popup && IsWindowVisible(popup)) {
            *shownAt = NowMs();
            PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
            return;
        }
    }
}

// Milliseconds from the call to the popup on the screen.
double MsToPopup(HWND owner)
{
    double shownAt = 0;
    const double start = NowMs();
    std::thread closer(ClosePopupWhenShown, &shownAt);
    ShowAllProgramsMenu(owner, POINT{200, 400});
    closer.join();
    return shownAt - start;
}

void BenchAllPrograms()
{
    SetCurrentDirectoryW(L"C:\\");  // the volumes are found on the current drive
    HWND owner = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    SetForegroundWindow(owner);
    printf("All Programs, press to popup on the screen (median of %d):\n", STARTS);
    for (int folders : {0, 20, 128}) {
        MakeApplicationFolders(folders);
        std::vector<double> times;
        for (int i = 0; i < STARTS; ++i) times.push_back(MsToPopup(owner));
        std::sort(times.begin(), times.end());
        const double ms = times[STARTS / 2];
        printf("  %3d folders %8.2f ms  (goal under 50 ms at 128)%s\n", folders, ms,
               folders < 128 || ms < 50 ? "" : "  MISSED");
    }
    MakeApplicationFolders(0);
    DestroyWindow(owner);
    printf("\n");
}

// The formula as written, with divisions: the reference the fast paths must equal.
void FadeWithDivisions(uint32_t* pixels, size_t count, int level)
{
    for (size_t i = 0; i < count; ++i) {
        const uint32_t p = pixels[i], b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
        const uint32_t grey = (b + g + r) / 3;
        pixels[i] = (p & 0xFF000000) | ((10 - level) * r + level * grey) / 10 << 16 |
                    ((10 - level) * g + level * grey) / 10 << 8 | ((10 - level) * b + level * grey) / 10;
    }
}

void BenchFade()
{
    const size_t count = 800 * 480;
    std::vector<uint32_t> source(count), frame(count);
    std::mt19937 random(7);
    for (uint32_t& pixel : source) pixel = random();
    const double copy = MedianMs([&] { memcpy(frame.data(), source.data(), count * sizeof(uint32_t)); });
    auto nsPerPixel = [&](void (*fade)(uint32_t*, size_t, int)) {
        return MedianMs([&] {
                   memcpy(frame.data(), source.data(), count * sizeof(uint32_t));
                   fade(frame.data(), count, 4);
               }) * 1e6 / count;
    };
    const double copyNs = copy * 1e6 / count;
    printf("Fade of an 800 x 480 frame at level 4, copy included (median):\n");
#if ZORV_HAS_X86_FADE
    printf("  FadePixels takes the %s path here\n", X86HasAvx2() ? "AVX2" : "SSE2");
#endif
    printf("  plain copy (floor)   %6.2f ns/pixel\n", copyNs);
    const struct {
        const char* name;
        void (*fade)(uint32_t*, size_t, int);
    } fades[] = {{"FadePixels", FadePixels},
                 {"portable", FadePixelsPortable},
#if ZORV_HAS_X86_FADE
                 {"SSE2", FadePixelsSse2},
#endif
                 {"with divisions", FadeWithDivisions}};
    for (const auto& fade : fades) {
        double ns = nsPerPixel(fade.fade);
        printf("  %-20s %6.2f ns/pixel  %5.1f x the copy%s\n", fade.name, ns, ns / copyNs,
               fade.fade == FadePixels ? (ns / copyNs <= 4 ? "  (goal at most 4)" : "  (goal at most 4)  MISSED") : "");
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    setvbuf(stdout, NULL, _IONBF, 0);
    std::wstring theme = argc > 1 ? argv[1] : L"themes\\default";
    BenchFade();
    printf("\n");
    BenchAllPrograms();
    BenchStartup(theme);
    return 0;
}
