#include "core/shell.h"

#include <strsafe.h>
#include <wchar.h>

#include "config/shell_settings.h"
#include "core/log.h"
#include "taskbar/taskbar.h"

HINSTANCE ShellInstance;
WCHAR HomeDirectory[HOME_DIRECTORY_CHARS];

void FindHomeDirectory()
{
    HomeDirectory[0] = L'\0';
    // A path longer than the buffer comes back cut and unterminated on some platforms.
    DWORD length = GetModuleFileNameW(NULL, HomeDirectory, HOME_DIRECTORY_CHARS);
    HomeDirectory[length < HOME_DIRECTORY_CHARS ? length : HOME_DIRECTORY_CHARS - 1] = L'\0';
    WCHAR* lastBackslash = wcsrchr(HomeDirectory, L'\\');
    if (lastBackslash)
        *lastBackslash = L'\0';
}

namespace {

struct StartupStep {
    LPCWSTR progressText;
    int (*run)();
    LPCWSTR failureText;
};

const StartupStep startupSteps[] = {
    {L"Loading Settings...", LoadShellSettings, L"Failed to load Zorv settings."},
    {L"Initializing...", InitializeShell, L"Failed to initialize Zorv."},
    {L"Creating taskbar window...", [] { return CreateTaskbar(ShellInstance); }, L"Failed to start Lumaro: unknown cause"},
};

// A failing step does not stop the sequence: FatalError has posted the quit request,
// which ends the message loop once the messages already queued are handled.
void RunStartupSteps()
{
    for (const StartupStep& step : startupSteps) {
        LogInfo(step.progressText);
        if (step.run() != 0) {
            LogInfo(L"[NG]");
            FatalError(step.failureText);
        } else {
            LogInfo(L"[OK]");
        }
    }
}

int RunMessageLoop()
{
    MSG msg = {};
    // GetMessageW returns -1 on failure; that ends the loop as well as WM_QUIT does.
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
    ShellInstance = instance;
    SetCursor(LoadCursorW(NULL, IDC_WAIT));
    FindHomeDirectory();

    WCHAR line[LOG_LINE_CHARS];
    StringCchPrintfW(line, LOG_LINE_CHARS, L"Current directory: \"%ls\"", HomeDirectory);
    LogInfo(line);

    RunStartupSteps();
    ShowWindow(TaskbarWindow, SW_SHOW);
    LogInfo(L"Zorv Startup Done!");
    return RunMessageLoop();
}
