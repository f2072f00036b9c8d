// Runs a program under the Win32 debug API and hands out its debug-output lines as they
// come: the core of zorv-log.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

struct DebugSessionEvents {
    // Called once the process exists, before it runs its first instruction.
    std::function<void(const PROCESS_INFORMATION&)> started;
    // Called for every debug-output line, without a line terminator added.
    std::function<void(const std::wstring&)> line;
};

// Starts the command line (in the given current directory and desktop, or the caller's when
// null) and serves its debug events on the calling thread until it ends. Returns false when
// the process cannot be started; otherwise stores its exit code.
bool RunDebugSession(const std::wstring& commandLine, LPCWSTR currentDirectory, LPCWSTR desktop,
                     const DebugSessionEvents& events, DWORD* exitCode);
