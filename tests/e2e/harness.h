// What the end-to-end tests see and do: the shell under zorv-log, pixels and taps.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "program.h"
#include "test_files.h"

// zorv.exe copied into the home directory and run there under zorv-log.
class Shell : public Program {
public:
    explicit Shell(const fs::path& home) : Program(Install(home), home) {}

private:
    static std::wstring Install(const fs::path& home)
    {
        fs::copy_file(BuildPath(L"zorv.exe"), home / L"zorv.exe", fs::copy_options::overwrite_existing);
        return L"\"" + BuildPath(L"tools\\zorv-log.exe").wstring() + L"\" \"" + (home / L"zorv.exe").wstring() + L"\"";
    }
};

// The debug-output lines of the processes that no debugger reads (a shell started by another),
// taken as the system's debug-output monitors take them: one at a time through a shared
// buffer, in the ANSI code page.
class DebugOutputMonitor {
public:
    ~DebugOutputMonitor()
    {
        reading_ = false;
        reader_.join();
        UnmapViewOfFile(buffer_);
        for (HANDLE handle : {mapping_, bufferReady_, dataReady_}) CloseHandle(handle);
    }
    // The lines of a process so far, as Program::Output gives them.
    std::wstring Output(DWORD processId)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_[processId];
    }

private:
    void Read()  // each line: the writer's process id, then the text
    {
        for (SetEvent(bufferReady_); reading_;) {
            if (WaitForSingleObject(dataReady_, 50) != WAIT_OBJECT_0) continue;
            std::lock_guard<std::mutex> lock(mutex_);
            const std::string text(buffer_ + sizeof(DWORD), strnlen(buffer_ + sizeof(DWORD), 4096 - sizeof(DWORD)));
            lines_[*reinterpret_cast<const DWORD*>(buffer_)] += Unstamped(text);
            SetEvent(bufferReady_);
        }
    }
    HANDLE mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 4096, L"DBWIN_BUFFER");
    const char* buffer_ = static_cast<const char*>(MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0));
    HANDLE bufferReady_ = CreateEventW(NULL, FALSE, FALSE, L"DBWIN_BUFFER_READY");
    HANDLE dataReady_ = CreateEventW(NULL, FALSE, FALSE, L"DBWIN_DATA_READY");
    std::mutex mutex_;
    std::map<DWORD, std::wstring> lines_;
    std::atomic<bool> reading_{true};
    std::thread reader_{[this] { Read(); }};  // last: the rest is made before it reads
};

// The pixels of the screen, or of a bitmap file, when made.
class ScreenShot {
public:
    explicit ScreenShot(const fs::path& bitmapFile = {})
    {
        const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
        HDC screen = GetDC(NULL);
        image_ = bitmapFile.empty() ? CreateCompatibleBitmap(screen, w, h)
                                    : LoadImageW(NULL, bitmapFile.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
        old_ = SelectObject(memory_, image_);
        if (bitmapFile.empty()) BitBlt(memory_, 0, 0, w, h, screen, 0, 0, SRCCOPY);
        ReleaseDC(NULL, screen);
    }
    ~ScreenShot()
    {
        SelectObject(memory_, old_);
        DeleteObject(image_);
        DeleteDC(memory_);
    }
    COLORREF Pixel(int x, int y) const { return GetPixel(memory_, x, y); }
    std::vector<COLORREF> Pixels(const RECT& area) const  // row by row
    {
        std::vector<COLORREF> pixels;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) pixels.push_back(Pixel(x, y));
        return pixels;
    }

private:
    HDC memory_ = CreateCompatibleDC(NULL);
    HGDIOBJ image_, old_;
};

// The pen put down at a screen point and lifted there, a moment later or once whileDown returns.
inline void Tap(int x, int y, const std::function<void()>& whileDown = [] { Sleep(50); })
{
    const int absoluteX = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1),
              absoluteY = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    for (DWORD event : {0, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
        mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | event, absoluteX, absoluteY, 0, 0);
        if (event == MOUSEEVENTF_LEFTDOWN) whileDown();
    }
}

// The window made the foreground window, as soon as the system allows it; false after 10 s.
inline bool ToFront(HWND window)
{
    return window && WaitUntil([&] { return SetForegroundWindow(window) && GetForegroundWindow() == window; });
}

// A window as a failure names it: its class and title, or "no window".
inline std::string WindowName(HWND window)
{
    WCHAR className[64] = L"", title[64] = L"";
    if (!window || !GetClassNameW(window, className, 64)) return "no window";
    GetWindowTextW(window, title, 64);
    return ToUtf8(className) + " \"" + ToUtf8(title) + "\"";
}

// Expects the fragments in this order; one that spans a '\n' must be on consecutive lines.
inline void ExpectInOrder(const std::wstring& log, const std::vector<std::wstring>& fragments)
{
    size_t at = 0;
    for (const std::wstring& fragment : fragments) {
        at = log.find(fragment, at);
        ASSERT_NE(std::wstring::npos, at) << "not in order: " << ToUtf8(fragment) << "\nin:\n" << ToUtf8(log);
        at += fragment.size();
    }
}


inline void SendKey(WORD key, WCHAR character, DWORD flags)
{
    INPUT input = {INPUT_KEYBOARD, {.ki = {key, character, flags, 0, 0}}};
    SendInput(1, &input, sizeof input);
}
// A key pressed and released, with Ctrl held or not; text typed as characters.
inline void PressKey(WORD key, bool control = false)
{
    if (control) SendKey(VK_CONTROL, 0, 0);
    SendKey(key, 0, 0), SendKey(key, 0, KEYEVENTF_KEYUP);
    if (control) SendKey(VK_CONTROL, 0, KEYEVENTF_KEYUP);
}
inline void TypeText(const std::wstring& text)
{
    for (WCHAR c : text) SendKey(0, c, KEYEVENTF_UNICODE), SendKey(0, c, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP);
}

// The simulated device's power source set with zorv-power-source's arguments ("9",
// "64 charging", "100 full", "none", "default"), every top-level window told of the change;
// false when there is none to set.
inline bool SetPowerSource(const std::wstring& arguments)
{
    return Program(L"\"" + BuildPath(L"tools\\power-source\\zorv-power-source.exe").wstring() + L"\" " + arguments)
               .ExitCode() == 0;
}
