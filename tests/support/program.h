// Programs the tests start, with their output read back line by line, and waits that keep
// this thread's messages flowing.
#pragma once
#include <windows.h>

#include <filesystem>
#include <sstream>
#include <string>

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
