#include "shell/shell.h"


#include "config/section_store.h"
#include "config/shell_settings.h"
#include "core/log.h"
#include "core/shell_text.h"
#include "exitscreen/exit_screen.h"
#include "gfx/button_manager.h"
#include "shell/crash_restart.h"
#include "shell/restart.h"
#include "startmenu/start_menu.h"
#include "taskbar/notify_area.h"
#include "taskbar/taskbar.h"

namespace {

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
    ReserveTaskbarStrip(Settings);
    return 0;
}

// The bar is on the screen while the start menu is still being composed.
int CreateShellTaskbar()
{
    if (CreateTaskbar(shellInstance, Settings, ToggleStartMenu) != 0) return 1;
    ShowWindow(TaskbarWindow, SW_SHOW);
    UpdateWindow(TaskbarWindow);
    return 0;
}
int CreateShellStartMenu() { return CreateStartMenu(shellInstance, Settings, OpenExitScreen); }

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

}  // namespace

int RunShell(HINSTANCE instance)
{
    StartLog(GetTickCount());
    RestartAfterCrashes(GetCommandLineW());  // also a crash at start-up
    shellInstance = instance;
    SetCursor(LoadCursorW(NULL, IDC_WAIT));
    FindHomeDirectory(homeDirectory);

    LogInfoF(L"Current directory: \"%ls\"", homeDirectory);
    const DWORD predecessor = WaitForPredecessor(GetCommandLineW());

    // A failing step does not stop the sequence: FatalError has posted the quit request,
    // which ends the message loop once the messages already queued are handled.
    for (const StartupStep& step : startupSteps) RunLoggedStep(step.progressText, step.run, step.failureText);
    ShowWindow(TaskbarWindow, SW_SHOW);  // also after a failed step
    LogInfo(L"Zorv Startup Done!");
    if (predecessor) TakeNotifyIconsOver(predecessor);
    AnnounceNotifyArea();
    SetShellRestart(&SHELL_RESTART);
    return RunMessageLoop();
}
