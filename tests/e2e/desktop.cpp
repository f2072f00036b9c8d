#include "desktop.h"

#include "shell_harness.h"

namespace {

struct WindowCollection {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter)
{
    auto* collection = reinterpret_cast<WindowCollection*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (collection->processId == 0 || owner == collection->processId) collection->windows.push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD processId, LPCWSTR desktop)
{
    WindowCollection collection = {processId, {}};
    if (!desktop) {
        EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&collection));
        return collection.windows;
    }
    HDESK handle = OpenDesktopW(desktop, 0, FALSE, DESKTOP_READOBJECTS | DESKTOP_ENUMERATE);
    if (handle) {
        EnumDesktopWindows(handle, CollectWindow, reinterpret_cast<LPARAM>(&collection));
        CloseDesktop(handle);
    }
    return collection.windows;
}

HWND FindWindowOfClass(DWORD processId, LPCWSTR className, LPCWSTR desktop)
{
    for (HWND window : TopLevelWindows(processId, desktop)) {
        WCHAR name[64];
        if (GetClassNameW(window, name, 64) && wcscmp(name, className) == 0) return window;
    }
    return NULL;
}

std::wstring WindowTitle(HWND window)
{
    WCHAR title[256] = L"";
    GetWindowTextW(window, title, 256);
    return title;
}

ScreenShot::ScreenShot()
{
    width_ = GetSystemMetrics(SM_CXSCREEN);
    height_ = GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    pixels_ = static_cast<const DWORD*>(bits);
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap_);
    BitBlt(memory, 0, 0, width_, height_, screen, 0, 0, SRCCOPY);
    GdiFlush();
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
}

ScreenShot::~ScreenShot() { DeleteObject(bitmap_); }

COLORREF ScreenShot::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    DWORD bgr = pixels_[y * width_ + x];
    return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
}

int ScreenShot::Count(const RECT& area, COLORREF color) const
{
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) count += Pixel(x, y) == color;
    return count;
}

void Tap(int x, int y)
{
    INPUT inputs[3] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    }
    inputs[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    inputs[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));
    Sleep(50);
    SendInput(1, inputs + 2, sizeof(INPUT));
}

SampleApps::~SampleApps() { EndAll(); }

DWORD SampleApps::Start(const std::wstring& options)
{
    std::wstring commandLine = L"\"" + ShellHarness::BuildDirectory() + L"\\tools\\sample-app\\zorv-sample-app.exe\" " + options;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(NULL, &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) return 0;
    CloseHandle(process.hThread);
    processes_.push_back(process.hProcess);
    return process.dwProcessId;
}

HWND SampleApps::WaitForWindow(const std::wstring& title, DWORD timeoutMs)
{
    HWND found = NULL;
    WaitUntil(
        [&] {
            for (HWND window : TopLevelWindows())
                if (IsWindowVisible(window) && WindowTitle(window) == title) found = window;
            return found != NULL;
        },
        timeoutMs);
    return found;
}

void SampleApps::EndAll()
{
    for (HANDLE process : processes_) {
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
    processes_.clear();
}
