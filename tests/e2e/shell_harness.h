// Runs zorv.exe as a user would meet it: a home directory made by the test, the shell
// started under the debugger, its log lines collected, its message boxes read and
// answered, its exit code taken.
#pragma once
#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct MessageBoxSeen {
    std::wstring caption;
    std::wstring text;
};

class ShellHarness {
public:
    // The home directory must exist; Start copies zorv.exe into it.
    explicit ShellHarness(std::wstring home);
    ~ShellHarness();  // ends a shell that still runs

    // Fills a home directory with the bundled default configuration and theme.
    static void InstallDefaultHome(const std::wstring& home);
    // The folder of the build's executables (zorv.exe, zorv_probe.exe).
    static std::wstring BuildDirectory();

    // Starts the shell on this process's desktop, or on a named one (a virtual desktop whose
    // size comes from HKCU\Software\Wine\Explorer\Desktops).
    bool Start(LPCWSTR desktop = nullptr);
    DWORD processId() const { return processId_; }

    // Waits until a line containing the fragment has been logged.
    bool WaitForLine(const std::wstring& fragment, DWORD timeoutMs = 20000);
    std::vector<std::wstring> Lines();
    // The position of the first line at or after `from` that contains the fragment, or -1.
    int FindLine(const std::wstring& fragment, int from = 0);

    // Waits for a message box of the shell, reads it and presses its OK button.
    bool AnswerMessageBox(MessageBoxSeen* seen, DWORD timeoutMs = 20000);
    bool WaitForExit(DWORD* exitCode, DWORD timeoutMs = 20000);
    void Terminate();

private:
    std::wstring home_;
    std::wstring desktop_;
    std::thread debugger_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::wstring> lines_;
    DWORD processId_ = 0;
    HANDLE process_ = NULL;
    bool started_ = false, ended_ = false;
    DWORD exitCode_ = 0;
};

// Runs a program of the build to its end and returns what it printed.
std::string RunAndCapture(const std::wstring& commandLine, DWORD timeoutMs = 20000);
