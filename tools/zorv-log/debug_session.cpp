#include "debug_session.h"

#include <vector>

#include "platform/platform.h"

namespace {

std::wstring ReadRemoteWide(HANDLE process, const void* address, SIZE_T characters)
{
    std::vector<WCHAR> buffer(characters + 1, L'\0');
    SIZE_T read = 0;
    ReadProcessMemory(process, address, buffer.data(), characters * sizeof(WCHAR), &read);
    buffer[read / sizeof(WCHAR)] = L'\0';
    return buffer.data();
}

std::wstring ReadRemoteAnsi(HANDLE process, const void* address, SIZE_T bytes)
{
    std::vector<char> buffer(bytes + 1, '\0');
    SIZE_T read = 0;
    ReadProcessMemory(process, address, buffer.data(), bytes, &read);
    buffer[read] = '\0';
    int length = MultiByteToWideChar(CP_ACP, 0, buffer.data(), -1, NULL, 0);
    std::wstring text(length > 0 ? length - 1 : 0, L'\0');
    if (length > 1) MultiByteToWideChar(CP_ACP, 0, buffer.data(), -1, text.data(), length);
    return text;
}

// A string of the old ANSI event ends in its terminator; so does a UTF-16 one.
void TrimTerminator(std::wstring& text)
{
    while (!text.empty() && text.back() == L'\0') text.pop_back();
}

void ReportLine(std::wstring text, const DebugSessionEvents& events)
{
    TrimTerminator(text);
    if (events.line) events.line(text);
}

// Handles an event before the program's end; returns how the program goes on.
DWORD HandleDebugEvent(const DEBUG_EVENT& event, HANDLE process, const DebugSessionEvents& events)
{
    switch (event.dwDebugEventCode) {
    case OUTPUT_DEBUG_STRING_EVENT: {
        const OUTPUT_DEBUG_STRING_INFO& info = event.u.DebugString;
        ReportLine(info.fUnicode ? ReadRemoteWide(process, info.lpDebugStringData, info.nDebugStringLength)
                                 : ReadRemoteAnsi(process, info.lpDebugStringData, info.nDebugStringLength),
                   events);
        break;
    }
    case EXCEPTION_DEBUG_EVENT: {
        const EXCEPTION_RECORD& record = event.u.Exception.ExceptionRecord;
        if (record.ExceptionCode == DEBUG_PRINT_WIDE_EXCEPTION && record.NumberParameters >= 2)
            ReportLine(ReadRemoteWide(process, reinterpret_cast<const void*>(record.ExceptionInformation[1]),
                                      record.ExceptionInformation[0]),
                       events);
        else if (record.ExceptionCode != EXCEPTION_BREAKPOINT)
            return DBG_EXCEPTION_NOT_HANDLED;  // the program's own handlers decide
        break;
    }
    case CREATE_PROCESS_DEBUG_EVENT:
        if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
        break;
    case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
        break;
    }
    return DBG_CONTINUE;
}

}  // namespace

bool RunDebugSession(const std::wstring& commandLine, LPCWSTR currentDirectory, LPCWSTR desktop,
                     const DebugSessionEvents& events, DWORD* exitCode)
{
    std::vector<WCHAR> mutableCommandLine(commandLine.begin(), commandLine.end());
    mutableCommandLine.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring desktopName = desktop ? desktop : L"";
    startup.lpDesktop = desktop ? desktopName.data() : NULL;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(NULL, mutableCommandLine.data(), NULL, NULL, FALSE, DEBUG_ONLY_THIS_PROCESS, NULL,
                        currentDirectory, &startup, &process))
        return false;
    if (events.started) events.started(process);

    for (;;) {
        DEBUG_EVENT event;
        if (!WaitForDebugEvent(&event, INFINITE)) break;
        if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) {
            *exitCode = event.u.ExitProcess.dwExitCode;
            ContinueDebugEvent(event.dwProcessId, event.dwThreadId, DBG_CONTINUE);
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
            return true;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, HandleDebugEvent(event, process.hProcess, events));
    }
    GetExitCodeProcess(process.hProcess, exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
