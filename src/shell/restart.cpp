#include "shell/restart.h"

#include <strsafe.h>
#include <wchar.h>

#include "config/shell_settings.h"
#include "core/log.h"
#include "launch/program_launch.h"
#include "taskbar/notify_area.h"
#include "taskbar/taskbar.h"

namespace {

const WCHAR AFTER_OPTION[] = L"--after=";
// The shell that hands over ends as any shell does: its windows go, the applications' stay.
const int RESTART_EXIT_CODE = 0;

// Started while the settings dialog asks: by the answer it has loaded. It hands on no
// crashes: the shell before was sound enough to be restarted on purpose.
HANDLE StartSettingsSuccessor() { return StartSuccessor(L""); }

// The restart taken: this shell's windows go while its loop still runs, and so does the
// process; the new shell's task list finds the applications' windows.
void HandOver()
{
    LogInfo(L"Restarting Zorv...");
    HandNotifyIconsOver();
    DestroyWindow(TaskbarWindow);  // with the start menu, which it owns
    PostQuitMessage(RESTART_EXIT_CODE);
}

}  // namespace

const ShellRestart SHELL_RESTART = {StartSettingsSuccessor, HandOver};

HANDLE StartSuccessor(LPCWSTR moreArguments)
{
    WCHAR self[SETTING_PATH_CHARS], arguments[64];
    if (FindShellExecutable(self) != 0) {
        LogError(L"Cannot restart: the shell's own path is unknown");
        return NULL;
    }
    StringCchPrintfW(arguments, ARRAYSIZE(arguments), L"%ls%lu %ls", AFTER_OPTION, GetCurrentProcessId(),
                     moreArguments);
    HANDLE successor = NULL;
    LaunchProgram(self, arguments, NULL, &successor);
    return successor;
}

// Where an argument starts, outside quotes: a program path that holds the option's text
// stands in quotes, and the device's command line may start with the arguments.
LPCWSTR FindShellOption(LPCWSTR commandLine, LPCWSTR option)
{
    bool quoted = false;
    const size_t length = wcslen(option);
    for (LPCWSTR at = commandLine; *at; ++at) {
        if (*at == L'"') quoted = !quoted;
        if (!quoted && (at == commandLine || at[-1] == L' ') && wcsncmp(at, option, length) == 0) return at + length;
    }
    return NULL;
}

DWORD WaitForPredecessor(LPCWSTR commandLine)
{
    LPCWSTR value = FindShellOption(commandLine, AFTER_OPTION);
    if (!value) return 0;
    const DWORD processId = static_cast<DWORD>(_wtol(value));
    HANDLE predecessor = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (predecessor) {  // else already gone
        WaitForSingleObject(predecessor, INFINITE);
        CloseHandle(predecessor);
    }
    return processId;
}
