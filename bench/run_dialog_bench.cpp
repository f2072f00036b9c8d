// The Run... row: from the command to the dialog painted, with ten commands of history read
// from a settings file and listed, beside a bare dialog of the same template painted.
#include <windows.h>

#include <stdio.h>

#include <string>

#include "bench_support.h"
#include "dialogs/run_dialog.h"

namespace {

const int OPENINGS = 21;

HHOOK paintHook;
double paintedAt;  // when the dialog and its controls were first painted, -1 before

bool IsDialogWindow(HWND window)
{
    WCHAR className[16] = L"";
    GetClassNameW(window, className, ARRAYSIZE(className));
    return wcscmp(className, L"#32770") == 0;
}

// When a dialog's first WM_PAINT is taken from the queue, the dialog and its controls are
// painted at once and the dialog is closed as Cancel closes it. (A dispatched WM_PAINT
// passes no hook after its handling.)
LRESULT CALLBACK AtPaint(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message->message == WM_PAINT && paintedAt < 0 &&
        IsDialogWindow(message->hwnd)) {
        RedrawWindow(message->hwnd, NULL, NULL, RDW_UPDATENOW | RDW_ALLCHILDREN);
        paintedAt = NowMs();
        PostMessageW(message->hwnd, WM_COMMAND, IDCANCEL, 0);
    }
    return CallNextHookEx(paintHook, code, wParam, lParam);
}

// A dialog that never paints is closed after a while, and its figure is missing.
void CALLBACK CloseUnpainted(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(NULL, timer);
    if (paintedAt < 0) PostMessageW(GetActiveWindow(), WM_COMMAND, IDCANCEL, 0);
}

INT_PTR CALLBACK BareDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
    return message == WM_COMMAND;
}

// Milliseconds from the call to the dialog painted, -1 when it was not.
double MsToPainted(const std::function<void()>& open)
{
    paintedAt = -1;
    const UINT_PTR timer = SetTimer(NULL, 0, 5000, CloseUnpainted);
    const double start = NowMs();
    open();
    KillTimer(NULL, timer);
    return paintedAt < 0 ? -1 : paintedAt - start;
}

}  // namespace

int BenchRunDialog()
{
    WCHAR temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring settingsFile = std::wstring(temp) + L"zorv-bench-run.cfg";
    std::string history = "[Main]\nTheme=Lagoon.theme\n\n[RunHistory]\n";
    for (int i = 0; i < RUN_HISTORY_SIZE; ++i)
        history += "Command" + std::to_string(i) + "=\\Storage Card\\Maps " + std::to_string(i) + "\\AppMain.exe --x\n";
    FILE* file = _wfopen(settingsFile.c_str(), L"w");
    if (!file) {
        fprintf(stderr, "cannot write %ls\n", settingsFile.c_str());
        return 1;
    }
    fputs(history.c_str(), file);
    fclose(file);

    HINSTANCE instance = GetModuleHandleW(NULL);
    HRSRC found = FindResourceW(instance, L"RUNDLG", RT_DIALOG);
    const DLGTEMPLATE* bare = found ? static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(instance, found))) : NULL;
    paintHook = SetWindowsHookExW(WH_GETMESSAGE, AtPaint, NULL, GetCurrentThreadId());
    Figures figures = MeasureInTurns(
        OPENINGS, [&] { return MsToPainted([&] { OpenRunDialog(instance, settingsFile.c_str()); }); },
        [&] { return MsToPainted([&] { DialogBoxIndirectParamW(instance, bare, NULL, BareDialogProc, 0); }); });
    UnhookWindowsHookEx(paintHook);
    DeleteFileW(settingsFile.c_str());
    if (!bare || figures.value < 0 || figures.floor < 0) {
        fprintf(stderr, "the Run dialog or its bare template was not painted\n");
        return 1;
    }
    PrintRow("Run... opened, 10 commands, to painted", "bare dialog, same template, painted", figures, "ms",
             RatioAtMost(1.5));
    return 0;
}
