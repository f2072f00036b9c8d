// zorv-log: runs a program under the debugger, prints each of its debug-output lines as
// it arrives (UTF-8, one per line) and exits with the program's exit code.
//
//   zorv-log <program> [arguments...]
#include <windows.h>

#include <string>

#include "console_output.h"
#include "debug_session.h"

namespace {

enum { EXIT_CANNOT_START = 127 };

// Quotes an argument the way CommandLineToArgvW reads it back.
std::wstring QuoteArgument(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (WCHAR c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (argc < 2) {
        WriteUtf8(GetStdHandle(STD_ERROR_HANDLE), L"usage: zorv-log <program> [arguments...]\n");
        return EXIT_CANNOT_START;
    }
    std::wstring commandLine;
    for (int i = 1; i < argc; ++i) commandLine += (i > 1 ? L" " : L"") + QuoteArgument(argv[i]);

    DebugSessionEvents events;
    events.line = [output](const std::wstring& line) { WriteUtf8(output, line + L"\n"); };
    // The program runs on the desktop zorv-log was started on: Wine would otherwise put it on
    // the default one.
    STARTUPINFOW self = {};
    GetStartupInfoW(&self);
    LPCWSTR desktop = self.lpDesktop && *self.lpDesktop ? self.lpDesktop : NULL;
    DWORD exitCode = 0;
    if (!RunDebugSession(commandLine, NULL, desktop, events, &exitCode)) {
        WriteUtf8(GetStdHandle(STD_ERROR_HANDLE), L"zorv-log: cannot start " + commandLine + L"\n");
        return EXIT_CANNOT_START;
    }
    return static_cast<int>(exitCode);
}
