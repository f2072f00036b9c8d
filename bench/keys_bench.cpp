// The start menu opened by its key beside the same menu opened by a tap on the start button,
// in a shell of its own process: from the input to the menu's first pixel on the screen. And
// a program that takes the whole screen: from its window's activation to the bar gone.
#include <windows.h>

#include <stdio.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>

#include "bench_support.h"

namespace {

const int OPENINGS = 21;
const double CHANGE_TIMEOUT_MS = 2000;

void SendKeys(std::initializer_list<std::pair<WORD, bool>> keys)
{
    for (const auto& [key, up] : keys) {
        INPUT input = {INPUT_KEYBOARD, {.ki = {key, 0, up ? KEYEVENTF_KEYUP : 0u, 0, 0}}};
        SendInput(1, &input, sizeof input);
    }
}

void TapScreen(POINT point)
{
    const LONG x = point.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    const LONG y = point.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    for (DWORD event : {0ul, 0ul + MOUSEEVENTF_LEFTDOWN, 0ul + MOUSEEVENTF_LEFTUP}) {
        INPUT input = {INPUT_MOUSE, {.mi = {x, y, 0, event | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 0, 0}}};
        SendInput(1, &input, sizeof input);
    }
}

// Milliseconds from the input until the pixel is another colour than before (or, leaving,
// the colour again); -1 when it did not come in time.
double MsToChange(const std::function<void()>& input, POINT pixel, COLORREF before, bool leaving = false)
{
    const double start = NowMs();
    input();
    while ((ScreenPixel(pixel.x, pixel.y) == before) != leaving) {
        if (NowMs() - start > CHANGE_TIMEOUT_MS) return -1;
    }
    return NowMs() - start;
}

}  // namespace

int BenchMenuKey(const std::wstring& theme)
{
    const std::wstring home = InstallShellHome(theme, L"zorv-bench-keys");
    HANDLE shell = StartProgram(L"\"" + home + L"\\zorv.exe\"", home.c_str());
    const int barTop = GetSystemMetrics(SM_CYSCREEN) - Settings.taskbarHeight;
    const POINT startButton = {Settings.taskbarStartButtonCX / 2, barTop + Settings.taskbarHeight / 2};
    const POINT inMenu = {Settings.startWidth / 2, barTop - Settings.startHeight / 4};  // away from any focus
    Sleep(3000);  // start-up and the first ticks
    const COLORREF desktop = ScreenPixel(inMenu.x, inMenu.y);
    const auto close = [&] { MsToChange([] { SendKeys({{VK_ESCAPE, false}, {VK_ESCAPE, true}}); }, inMenu, desktop, true); };
    const auto byKey = [&] {
        const double ms = MsToChange(
            [] { SendKeys({{VK_CONTROL, false}, {VK_ESCAPE, false}, {VK_ESCAPE, true}, {VK_CONTROL, true}}); }, inMenu,
            desktop);
        close();
        return ms;
    };
    const auto byTap = [&] {
        const double ms = MsToChange([&] { TapScreen(startButton); }, inMenu, desktop);
        close();
        return ms;
    };
    const Figures figures = MeasureInTurns(OPENINGS, byKey, byTap);
    EndProcess(shell);
    if (figures.value < 0 || figures.floor < 0) {
        fprintf(stderr, "the start menu did not show on the screen\n");
        return 1;
    }
    PrintRow("start menu, its key to painted", "the same menu, a tap on its button", figures, "ms", RatioAtMost(1.2));
    return 0;
}

int BenchFullScreen(const std::wstring& theme)
{
    const std::wstring home = InstallShellHome(theme, L"zorv-bench-full-screen");
    HANDLE shell = StartProgram(L"\"" + home + L"\\zorv.exe\"", home.c_str());
    const std::wstring app = L"\"" + BuildDirectory() + L"\\tools\\sample-app\\zorv-sample-app.exe\" ";
    HANDLE full = StartProgram(app + L"--title=BenchFull --full-screen --icon=1");
    HANDLE other = StartProgram(app + L"--title=BenchOther --icon=0 --x=0 --y=0");
    Sleep(3000);  // start-up, both windows shown, the first ticks
    const HWND fullWindow = FindWindowW(NULL, L"BenchFull"), otherWindow = FindWindowW(NULL, L"BenchOther");
    const int barTop = GetSystemMetrics(SM_CYSCREEN) - Settings.taskbarHeight;
    const POINT onBar = {GetSystemMetrics(SM_CXSCREEN) - Settings.taskbarClockCX - 1, barTop + Settings.taskbarHeight / 2};
    const POINT onOther = {200, 40};  // the other window's band, where the full one has its own colour
    const auto toFront = [](HWND window) {
        for (int i = 0; i < 1000 && GetForegroundWindow() != window; ++i) SetForegroundWindow(window);
    };
    // Each turn starts with the other window in front and the bar shown, once the activation
    // of the turn before has run its course: another process's activation completes late.
    // A turn whose bar is not back on the screen two ticks later is counted.
    const COLORREF barShown = ScreenPixel(onBar.x, onBar.y);
    int barsMissing = 0;
    const auto activation = [&](POINT pixel) {
        Sleep(300);
        toFront(otherWindow);
        const double start = NowMs();
        while (ScreenPixel(onBar.x, onBar.y) != barShown && NowMs() - start < 2500) Sleep(10);
        if (pixel.y == onBar.y && ScreenPixel(onBar.x, onBar.y) != barShown) ++barsMissing;
        Sleep(300);  // the other window painted
        const COLORREF before = ScreenPixel(pixel.x, pixel.y);
        return MsToChange([&] { toFront(fullWindow); }, pixel, before);
    };
    const Figures figures = MeasureInTurns(
        11, [&] { return activation(onBar); }, [&] { return activation(onOther); });
    for (HANDLE process : {other, full, shell}) EndProcess(process);
    if (!fullWindow || !otherWindow || figures.value < 0 || figures.floor < 0) {
        fprintf(stderr, "the full-screen window did not take the screen (%p %p, %.0f %.0f ms)\n",
                static_cast<void*>(fullWindow), static_cast<void*>(otherWindow), figures.value, figures.floor);
        return 1;
    }
    if (barsMissing) fprintf(stderr, "the bar was not back on the screen in %d of 11 turns\n", barsMissing);
    PrintRow("full-screen window's activation to the bar gone", "the same activation to its window painted", figures,
             "ms", Under(500));
    return 0;
}
