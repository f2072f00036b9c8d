#include "shell/shell.h"

#include <strsafe.h>
#include <wchar.h>

#include "config/section_store.h"
#include "config/shell_settings.h"
#include "core/log.h"
#include "core/shell_text.h"
#include "exitscreen/exit_screen.h"
#include "gfx/button_manager.h"
#include "startmenu/program_launch.h"
#include "startmenu/settings_dialog.h"
#include "startmenu/start_menu.h"
#include "taskbar/taskbar.h"

namespace {

const WCHAR AFTER_OPTION[] = L"--after=";

HINSTANCE shellInstance;                  // for window classes and resources
WCHAR homeDirectory[SETTING_PATH_CHARS];  // the executable's folder, no trailing backslash

int LoadSettings()
{
    if (LoadShellSettings(homeDirectory, &Settings) != 0) return 1;
    ChooseShellLanguage(Settings.mainLanguage);
    return 0;
}

// Leaves the modules empty and makes the display resources; it cannot fail.
int InitializeShell()
{
    ClearButtonRegistry();
    ResetSectionStore();
    ReadScreenSize();
    CreateShellFonts();
    ReserveTaskbarStrip();
    return 0;
}

// The bar is on the screen while the start menu is still being composed.
int CreateShellTaskbar()
{
    if (CreateTaskbar(shellInstance, ToggleStartMenu) != 0) return 1;
    ShowWindow(TaskbarWindow, SW_SHOW);
    UpdateWindow(TaskbarWindow);
    return 0;
}
int CreateShellStartMenu() { return CreateStartMenu(shellInstance, OpenExitScreen); }

struct StartupStep {
    LPCWSTR progressText;
    int (*run)();
    LPCWSTR failureText;
};

const StartupStep startupSteps[] = {
    {L"Loading Settings...", LoadSettings, L"Failed to load Zorv settings."},
    {L"Initializing...", InitializeShell, L"Failed to initialize Zorv."},
    {L"Creating taskbar window...", CreateShellTaskbar, L"Failed to start Lumaro: unknown cause"},
    {L"Creating StartMenu window...", CreateShellStartMenu, L"Failed to start Lumaro: unknown cause"},
};

int RunMessageLoop()
{
    MSG msg = {};
    // GetMessageW returns -1 on failure; that ends the loop as well as WM_QUIT does. Read in
    // 16 bits on purpose, as the device's shell reads it: every result it has fits.
    while (static_cast<SHORT>(GetMessageW(&msg, NULL, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

// The new shell of a restart, started from this one's executable while the settings dialog
// asks: by the answer it has loaded, and it waits for this process to end before it claims
// the work area, so that one taskbar and one claim stand at any moment.
HANDLE StartSuccessor()
{
    WCHAR self[SETTING_PATH_CHARS], arguments[32];
    DWORD length = GetModuleFileNameW(NULL, self, SETTING_PATH_CHARS);
    if (length == 0 || length >= SETTING_PATH_CHARS) {
        LogError(L"Cannot restart: the shell's own path is unknown");
        return NULL;
    }
    StringCchPrintfW(arguments, ARRAYSIZE(arguments), L"%ls%lu", AFTER_OPTION, GetCurrentProcessId());
    HANDLE successor = NULL;
    LaunchProgram(self, arguments, NULL, &successor);
    return successor;
}

// The restart taken: this shell's windows go, and so does the process, with 0; the
// applications' windows are not touched, and the new shell's task list finds them.
int RestartShell()
{
    LogInfo(L"Restarting Zorv...");
    DestroyWindow(TaskbarWindow);  // with the start menu, which it owns
    return 0;
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

// A restarted shell lets the one before it end first, for as long as its user takes to
// answer the question; the one before ends it itself when the answer is No.
void WaitForPredecessor(LPCWSTR commandLine)
{
    LPCWSTR option = FindAfterOption(commandLine);
    if (!option) return;
    HANDLE predecessor = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(_wtol(option + ARRAYSIZE(AFTER_OPTION) - 1)));
    if (!predecessor) return;  // already gone
    WaitForSingleObject(predecessor, INFINITE);
    CloseHandle(predecessor);
}

}  // namespace

int RunShell(HINSTANCE instance)
{
    StartLog(GetTickCount());
    shellInstance = instance;
    SetCursor(LoadCursorW(NULL, IDC_WAIT));
    FindHomeDirectory(homeDirectory);

    LogInfoF(L"Current directory: \"%ls\"", homeDirectory);
    WaitForPredecessor(GetCommandLineW());

    // A failing step does not stop the sequence: FatalError has posted the quit request,
    // which ends the message loop once the messages already queued are handled.
    for (const StartupStep& step : startupSteps) RunLoggedStep(step.progressText, step.run, step.failureText);
    ShowWindow(TaskbarWindow, SW_SHOW);  // also after a failed step
    LogInfo(L"Zorv Startup Done!");
    SetSuccessorStarter(StartSuccessor);
    const int exitCode = RunMessageLoop();
    return exitCode == SHELL_RESTART_CODE ? RestartShell() : exitCode;
}
