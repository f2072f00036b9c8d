// Settings rows: the settings dialog from its opening to its first paint beside a bare dialog
// from the same template; a restart from the dialog's OK to the new taskbar's first paint
// beside a cold start of the shell, with the question answered as a person answers it (a
// moment after it shows, the new shell starting meanwhile) and at once.
#include <windows.h>

#include <stdio.h>

#include <functional>
#include <string>

#include "bench_support.h"
#include "resource.h"
#include "dialogs/settings_dialog.h"

namespace {

const int OPENINGS = 21;
const int RESTARTS = 7;
const DWORD PERSON_ANSWER_MS = 400;  // about the earliest a person reads the question and taps Yes
const UINT SETTINGS_COMMAND = 125;  // side item 5 of the start menu, released
const double WAIT_MS = 10000;

double dialogIdleAt;  // when the open dialog's loop first ran out of messages

// The owner of the dialogs: once a dialog's loop is idle, the dialog has been shown and
// painted, and it is cancelled.
LRESULT CALLBACK DialogOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX) {
        if (dialogIdleAt < 0) dialogIdleAt = NowMs();
        PostMessageW(reinterpret_cast<HWND>(lParam), WM_COMMAND, IDCANCEL, 0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

INT_PTR CALLBACK BareDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 0);
    return message == WM_INITDIALOG;
}

double MsToDialog(const std::function<void()>& open)
{
    dialogIdleAt = -1;
    const double start = NowMs();
    open();
    return dialogIdleAt < 0 ? -1 : dialogIdleAt - start;
}

// Waits for the condition; false after WAIT_MS.
bool Await(const std::function<bool()>& condition)
{
    for (const double start = NowMs(); !condition(); Sleep(1))
        if (NowMs() - start > WAIT_MS) return false;
    return true;
}

HWND ShownWindow(LPCWSTR className, LPCWSTR title)
{
    HWND window = FindWindowW(className, title);
    return IsWindowVisible(window) ? window : NULL;
}

// The box the dialog shows over itself: its caption, with a message.
HWND SettingsBox()
{
    for (HWND window = NULL; (window = FindWindowExW(NULL, window, L"#32770", L"Lumaro Settings")) != NULL;)
        if (IsWindowVisible(window) && GetDlgItem(window, 0xFFFF)) return window;
    return NULL;
}

DWORD WindowProcess(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

// Waits for a taskbar of another process than the one given, shown with nothing left to
// paint: its first WM_PAINT is done.
bool AwaitPaintedTaskbar(DWORD otherThan)
{
    return Await([&] {
        HWND bar = ShownWindow(L"ZORV_TASKBAR_CLASS", NULL);
        return bar && WindowProcess(bar) != otherThan && !GetUpdateRect(bar, NULL, FALSE);
    });
}

// One restart of a running shell with a changed user name, answered after the pause: the
// milliseconds of OK to the restart question and of the answer to the new taskbar's first
// paint, the question's wait for an answer left out; -1 when a step did not come. The new
// shell is left running.
double MsOfRestart(int turn, DWORD pauseMs)
{
    HWND bar = NULL, menu = NULL, dialog = NULL, box = NULL;
    // The start menu is made last at start-up; the bar has painted by then.
    if (!Await([&] {
            return (bar = ShownWindow(L"ZORV_TASKBAR_CLASS", NULL)) && (menu = FindWindowW(L"ZORV_START_CLASS", NULL));
        }))
        return -1;
    Sleep(200);
    PostMessageW(menu, WM_COMMAND, SETTINGS_COMMAND, 0);
    if (!Await([&] { return (dialog = ShownWindow(L"#32770", L"Lumaro Settings")) != NULL; })) return -1;
    SetDlgItemTextW(dialog, IDC_SETTINGS_USER_NAME, turn % 2 ? L"Bench Owner" : L"Bench User");
    const double ok = NowMs();
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    if (!Await([&] { return (box = SettingsBox()) != NULL; })) return -1;
    const double asked = NowMs();
    Sleep(pauseMs);
    PostMessageW(box, WM_COMMAND, IDYES, 0);
    const double answered = NowMs();
    if (!AwaitPaintedTaskbar(WindowProcess(bar))) return -1;
    return (asked - ok) + (NowMs() - answered);
}

// A cold start of the shell, timed the same way; the shell is left running.
double MsOfColdStart(const std::wstring& shell, const std::wstring& home)
{
    const double start = NowMs();
    HANDLE process = StartProgram(shell, home.c_str());
    if (!process) return -1;
    CloseHandle(process);
    return AwaitPaintedTaskbar(0) ? NowMs() - start : -1;
}

// Ends the running shell as the user would, so that it gives back its strip of the work area
// and the next shell starts as on a fresh desktop, as a restarted one does.
void CloseShownShell()
{
    HWND bar = ShownWindow(L"ZORV_TASKBAR_CLASS", NULL);
    if (!bar) return;
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, WindowProcess(bar));
    if (!process) return;
    PostMessageW(bar, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process, static_cast<DWORD>(WAIT_MS)) == WAIT_OBJECT_0)
        CloseHandle(process);
    else
        EndProcess(process);  // a shell that does not end is ended
}

}  // namespace

int BenchSettings(const std::wstring& theme)
{
    const std::wstring home = InstallShellHome(theme, L"zorv-bench-settings");
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DialogOwnerProc;
    windowClass.hInstance = GetModuleHandleW(NULL);
    windowClass.lpszClassName = L"ZorvBenchDialogOwner";
    RegisterClassW(&windowClass);
    HWND owner = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, NULL, NULL,
                                 windowClass.hInstance, NULL);
    const auto settings = [&] { RunSettingsDialog(windowClass.hInstance, owner, home.c_str()); };
    const auto bare = [&] { DialogBoxParamW(windowClass.hInstance, L"SETTINGSDLG", owner, BareDialogProc, 0); };
    Figures opening = MeasureInTurns(OPENINGS, [&] { return MsToDialog(settings); }, [&] { return MsToDialog(bare); });
    DestroyWindow(owner);
    if (opening.value < 0 || opening.floor < 0) {
        fprintf(stderr, "the settings dialog did not come up\n");
        return 1;
    }
    PrintRow("settings dialog, opening to painted", "same template, bare dialog", opening, "ms", RatioAtMost(1.5));

    // Each turn restarts the shell that the turn before left running. The first turn closes
    // this one, which shows its bar first: never do two shells run at once, where a restart
    // would be timed to the other one's bar.
    const std::wstring shell = L"\"" + home + L"\\zorv.exe\"";
    CloseHandle(StartProgram(shell, home.c_str()));
    AwaitPaintedTaskbar(0);
    int turn = 0;
    const auto restarts = [&](DWORD pauseMs) {
        return MeasureInTurns(RESTARTS, [&] { return MsOfRestart(turn++, pauseMs); }, [&] {
            CloseShownShell();
            return MsOfColdStart(shell, home);  // leaves the shell for the next restart
        });
    };
    const Figures answered = restarts(PERSON_ANSWER_MS), atOnce = restarts(0);
    CloseShownShell();
    if (answered.value < 0 || answered.floor < 0 || atOnce.value < 0 || atOnce.floor < 0) {
        fprintf(stderr, "a restart did not come through\n");
        return 1;
    }
    PrintRow("restart, OK to taskbar painted", "cold start to the taskbar's first paint", answered, "ms", RatioAtMost(1.2));
    PrintRow("restart, the question answered at once", "cold start to the taskbar's first paint", atOnce, "ms");
    return 0;
}
