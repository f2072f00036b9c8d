// What a user of the desktop sees and does, for the end-to-end tests: windows found by
// class or title, pixels of the screen, taps with real input, sample applications started.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The top-level windows of a process (all of them when processId is 0), on the given
// desktop or this process's own.
std::vector<HWND> TopLevelWindows(DWORD processId = 0, LPCWSTR desktop = nullptr);
HWND FindWindowOfClass(DWORD processId, LPCWSTR className, LPCWSTR desktop = nullptr);
std::wstring WindowTitle(HWND window);

// Pumps this thread's messages while waiting until the condition holds; false on time-out.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = 10000)
{
    for (DWORD waited = 0;; waited += 20) {
        if (condition()) return true;
        if (waited >= timeoutMs) return false;
        MSG msg;
        while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(20);
    }
}

// A copy of the whole screen, taken when made.
class ScreenShot {
public:
    ScreenShot();
    ~ScreenShot();
    ScreenShot(const ScreenShot&) = delete;
    ScreenShot& operator=(const ScreenShot&) = delete;
    COLORREF Pixel(int x, int y) const;
    // The number of pixels of the colour inside the rectangle.
    int Count(const RECT& area, COLORREF color) const;

private:
    int width_, height_;
    HBITMAP bitmap_;
    const DWORD* pixels_;
};

// A tap of the pen at a screen point: down, then up.
void Tap(int x, int y);

// Sample applications started by a test, ended with it.
class SampleApps {
public:
    ~SampleApps();
    // Starts the sample application with the options; returns its process id, 0 on failure.
    DWORD Start(const std::wstring& options);
    // Waits for a visible top-level window with the title; NULL on time-out.
    static HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs = 10000);
    void EndAll();

private:
    std::vector<HANDLE> processes_;
};
