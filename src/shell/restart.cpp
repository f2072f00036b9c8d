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

// Started while the settings dialog asks: by the answer it has loaded.
HANDLE StartSuccessor()
{
    WCHAR self[SETTING_PATH_CHARS], arguments[32];
    if (FindShellExecutable(self) != 0) {
        LogError(L"Cannot restart: the shell's own path is unknown");
        return NULL;
    }
    StringCchPrintfW(arguments, ARRAYSIZE(arguments), L"%ls%lu", AFTER_OPTION, GetCurrentProcessId());
    HANDLE successor = NULL;
    LaunchProgram(self, arguments, NULL, &successor);
    return successor;
}

// The restart taken: this shell's windows go while its loop still runs, and so does the
// process; the new shell's task list finds the applications' windows.
void HandOver()
{
    LogInfo(L"Restarting Zorv...");
    HandNotifyIconsOver();
    DestroyWindow(TaskbarWindow);  // with the start menu, which it owns
    PostQuitMessage(RESTART_EXIT_CODE);
}

// The option where an argument starts, outside quotes: a program path that holds its text
// stands in quotes, and the device's command line may start with the arguments.
LPCWSTR FindAfterOption(LPCWSTR commandLine)
{
    bool quoted = false;
    for (LPCWSTR at = commandLine; *at; ++at) {
        if (*at == L'"') quoted = !quoted;
        if (!quoted && (at == commandLine || at[-1] == L' ') && wcsncmp(at, AFTER_OPTION, ARRAYSIZE(AFTER_OPTION) - 1) == 0)
            return at;
    }
    return NULL;
}

}  // namespace

const ShellRestart SHELL_RESTART = {StartSuccessor, HandOver};

DWORD WaitForPredecessor(LPCWSTR commandLine)
{
    LPCWSTR option = FindAfterOption(commandLine);
    if (!option) return 0;
    const DWORD processId = static_cast<DWORD>(_wtol(option + ARRAYSIZE(AFTER_OPTION) - 1));
    HANDLE predecessor = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (predecessor) {  // else already gone
        WaitForSingleObject(predecessor, INFINITE);
        CloseHandle(predecessor);
    }
    return processId;
}
