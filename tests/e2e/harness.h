// What the end-to-end tests see and do: programs started with their output read line by
// line (the shell under zorv-log among them), pixels and taps.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "test_files.h"

namespace fs = std::filesystem;

// Pumps this thread's messages until the condition holds; false on time-out.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = 10000)
{
    for (DWORD waited = 0; !condition(); waited += 20) {
        if (waited >= timeoutMs) return false;
        for (MSG msg; PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
        Sleep(20);
    }
    return true;
}

// A file of the build: the test executable lives in its tests folder.
inline fs::path BuildPath(const fs::path& relative)
{
    WCHAR self[MAX_PATH];
    GetModuleFileNameW(NULL, self, MAX_PATH);
    return fs::path(self).parent_path().parent_path() / relative;
}

// A log line without the shell's time stamp, "[ms] " with the milliseconds in eight digits,
// and ended by '\n'.
inline std::wstring Unstamped(const std::string& line)
{
    std::wstring text = FromUtf8(line);
    const bool stamped = text.size() > 11 && text[0] == L'[' && text.find_first_not_of(L"0123456789", 1) == 9;
    return (stamped && text[9] == L']' ? text.substr(11) : text) + L'\n';
}

// A program started with its output going to a file, which is read back as it grows; the
// object ends the program if it still runs (a debugger's end takes its program with it).
class Program {
public:
    explicit Program(std::wstring commandLine, const fs::path& directory = {})
    {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
        HANDLE output = CreateFileW(output_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    &inherit, CREATE_ALWAYS, 0, NULL);
        STARTUPINFOW startup = {sizeof startup, NULL, NULL, NULL, 0, 0, 0, 0, 0, 0, 0,
                                STARTF_USESTDHANDLES, 0, 0, NULL, NULL, output, output};
        PROCESS_INFORMATION started = {};
        if (CreateProcessW(NULL, &commandLine[0], NULL, NULL, TRUE, CREATE_NO_WINDOW, NULL,
                           directory.empty() ? NULL : directory.c_str(), &startup, &started))
            CloseHandle(started.hThread);
        process_ = started.hProcess;
        CloseHandle(output);
    }
    // A program this test did not start, ended with the object all the same.
    explicit Program(DWORD processId) : process_(OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId)) {}
    ~Program()
    {
        if (process_) TerminateProcess(process_, 255), WaitForSingleObject(process_, 5000), CloseHandle(process_);
        DeleteFileW(output_.c_str());
    }

    // The whole lines so far, each ended by '\n', without the shell's time stamps.
    std::wstring Output() const
    {
        std::wstring lines;
        std::istringstream output(ReadBytes(output_));
        for (std::string line; std::getline(output, line) && !output.eof();)
            lines += Unstamped(line.substr(0, line.size() - (!line.empty() && line.back() == '\r')));
        return lines;
    }
    bool WaitForOutput(const std::wstring& fragment, DWORD timeoutMs = 20000)
    {
        return WaitUntil([&] { return Output().find(fragment) != std::wstring::npos; }, timeoutMs);
    }
    HANDLE Handle() const { return process_; }
    // The exit code, or STILL_ACTIVE while the program runs past the time-out.
    DWORD ExitCode(DWORD timeoutMs = 20000)
    {
        DWORD code = STILL_ACTIVE;
        if (process_ && WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(process_, &code);
        return code;
    }

private:
    const std::wstring output_ = TempDirectory::Unique(L"output");
    HANDLE process_;
};

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
