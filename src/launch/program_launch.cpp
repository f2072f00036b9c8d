#include "launch/program_launch.h"

#include <shellapi.h>
#include <strsafe.h>

#include "core/log.h"
#include "platform/platform.h"

namespace {

// The length of the longest part of the command, ending before a space or at its end, that
// names an existing file or folder; the first word's when none does.
size_t NamedPartLength(LPCWSTR command)
{
    size_t length = 0;
    for (LPCWSTR at = command;; ++at) {
        if (*at != L' ' && *at != L'\0') continue;
        if (length == 0) length = at - command;
        WCHAR part[MAX_PATH];
        if (at[-1] != L' ' && SUCCEEDED(StringCchCopyNW(part, MAX_PATH, command, at - command)) &&
            GetFileAttributesW(part) != INVALID_FILE_ATTRIBUTES)
            length = at - command;
        if (*at == L'\0') return length;
    }
}

}  // namespace

int LaunchProgram(LPCWSTR path, LPCWSTR arguments, DWORD* failure, HANDLE* process)
{
    SetCursor(LoadCursorW(NULL, IDC_WAIT));
    WCHAR file[MAX_PATH];
    DWORD error = ERROR_SUCCESS;
    if (ResolveRootedPath(path, file, MAX_PATH) != 0) error = ERROR_FILENAME_EXCED_RANGE;
    SHELLEXECUTEINFOW execute = {};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_FLAG_NO_UI | (process ? SEE_MASK_NOCLOSEPROCESS : 0);  // a failure is logged, never shown
    execute.lpFile = file;
    execute.lpParameters = arguments;
    execute.nShow = SW_SHOWNORMAL;  // programs that honour it would otherwise start hidden
    if (error == ERROR_SUCCESS && !ShellExecuteExW(&execute)) error = GetLastError();
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        LogErrorF(L"Cannot Execute - Path:\"%ls\" Arg:\"%ls\"", path, arguments);
        if (failure) *failure = error;
    }
    if (process) *process = error == ERROR_SUCCESS ? execute.hProcess : NULL;
    SetCursor(LoadCursorW(NULL, IDC_ARROW));
    return error == ERROR_SUCCESS ? 0 : 1;
}

int SplitCommand(LPCWSTR command, LPWSTR program, int programChars, LPWSTR arguments, int argumentChars)
{
    while (*command == L' ') ++command;
    if (!*command) return 1;
    size_t programLength;
    LPCWSTR rest;
    if (*command == L'"') {
        ++command;
        LPCWSTR quote = wcschr(command, L'"');
        programLength = quote ? quote - command : wcslen(command);
        rest = quote ? quote + 1 : command + programLength;
    } else {
        programLength = NamedPartLength(command);
        rest = command + programLength;
    }
    while (*rest == L' ') ++rest;
    if (programLength == 0 || FAILED(StringCchCopyNW(program, programChars, command, programLength))) return 1;
    return FAILED(StringCchCopyW(arguments, argumentChars, rest)) ? 1 : 0;
}
