#include "dialogs/run_dialog.h"

#include <strsafe.h>
#include <wchar.h>

#include "config/section_store.h"
#include "core/log.h"
#include "core/shell_text.h"
#include "resource.h"
#include "launch/program_launch.h"

namespace {

const WCHAR HISTORY_SECTION[] = L"RunHistory";
enum { REASON_CHARS = 512, BOX_TEXT_CHARS = RUN_COMMAND_CHARS + REASON_CHARS + 64, KEY_CHARS = 16 };

const DialogText RUN_TEXTS[] = {
    {0, IDS_RUN_CAPTION},     {IDC_RUN_PROMPT, IDS_RUN_PROMPT}, {IDC_RUN_OPEN, IDS_RUN_OPEN},
    {IDOK, IDS_OK},       {IDCANCEL, IDS_CANCEL},
};

HWND runDialog;           // while the dialog is open
HINSTANCE runInstance;
LPCWSTR historyFile;      // the settings file, while the dialog is open
RunHistory dialogHistory; // as read when the dialog opened

void FormatHistoryKey(WCHAR (&key)[KEY_CHARS], int index) { StringCchPrintfW(key, KEY_CHARS, L"Command%d", index); }

// The command field's text: the combo box's edit control.
int GetCommandText(HWND dialog, LPWSTR command)
{
    return static_cast<int>(
        SendDlgItemMessageW(dialog, IDC_RUN_COMMAND, WM_GETTEXT, RUN_COMMAND_CHARS, reinterpret_cast<LPARAM>(command)));
}

void EnableOk(HWND dialog, bool enable) { EnableWindow(GetDlgItem(dialog, IDOK), enable ? TRUE : FALSE); }

void UpdateOkButton(HWND dialog)
{
    EnableOk(dialog, SendDlgItemMessageW(dialog, IDC_RUN_COMMAND, WM_GETTEXTLENGTH, 0, 0) > 0);
}

void InitializeRunDialog(HWND dialog)
{
    runDialog = dialog;
    SetDialogTexts(dialog, runInstance, RUN_TEXTS, ARRAYSIZE(RUN_TEXTS));
    SendDlgItemMessageW(dialog, IDC_RUN_COMMAND, CB_LIMITTEXT, RUN_COMMAND_CHARS - 1, 0);
    LoadRunHistory(historyFile, &dialogHistory);
    for (int i = 0; i < dialogHistory.count; ++i)
        SendDlgItemMessageW(dialog, IDC_RUN_COMMAND, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(dialogHistory.command[i]));
    // The last command stands ready, selected, so typing replaces it.
    if (dialogHistory.count > 0) SendDlgItemMessageW(dialog, IDC_RUN_COMMAND, CB_SETCURSEL, 0, 0);
    UpdateOkButton(dialog);
}

void ShowStartFailure(HWND dialog, LPCWSTR command, DWORD error)
{
    WCHAR format[REASON_CHARS], reason[REASON_CHARS], text[BOX_TEXT_CHARS], caption[64];
    FormatSystemReason(error, reason, REASON_CHARS);
    LoadShellText(runInstance, IDS_RUN_FAILED, format, REASON_CHARS);
    LoadShellText(runInstance, IDS_SHELL_CAPTION, caption, ARRAYSIZE(caption));
    StringCchPrintfW(text, BOX_TEXT_CHARS, format, command, reason);
    MessageBoxW(dialog, text, caption, MB_ICONHAND | MB_OK);
}

// Starts the typed command; the dialog closes only when it started.
void RunCommand(HWND dialog)
{
    WCHAR command[RUN_COMMAND_CHARS], program[MAX_PATH], arguments[RUN_COMMAND_CHARS];
    if (GetCommandText(dialog, command) == 0) return;  // Enter in an empty field
    DWORD error = ERROR_INVALID_NAME;                  // a command of only spaces names nothing
    if (SplitCommand(command, program, MAX_PATH, arguments, RUN_COMMAND_CHARS) != 0 ||
        LaunchProgram(program, arguments, &error) != 0) {
        ShowStartFailure(dialog, command, error);
        SetFocus(GetDlgItem(dialog, IDC_RUN_COMMAND));
        return;
    }
    AddToRunHistory(&dialogHistory, command);
    if (SaveRunHistory(historyFile, dialogHistory) != 0)
        LogErrorF(L"Cannot write the run history - Path:\"%ls\"", historyFile);
    EndDialog(dialog, IDOK);
}

void HandleRunCommand(HWND dialog, WORD id, WORD notification)
{
    if (id == IDOK) {
        RunCommand(dialog);
    } else if (id == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
    } else if (id == IDC_RUN_COMMAND && notification == CBN_EDITCHANGE) {
        UpdateOkButton(dialog);
    } else if (id == IDC_RUN_COMMAND && notification == CBN_SELCHANGE) {
        EnableOk(dialog, true);  // a history entry is never empty; the field takes it only after this
    }
}

INT_PTR CALLBACK RunDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        InitializeRunDialog(dialog);
        return TRUE;  // the focus goes to the command field
    case WM_COMMAND:
        HandleRunCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

void LoadRunHistory(LPCWSTR settingsFile, RunHistory* history)
{
    history->count = 0;
    LoadSection(settingsFile, HISTORY_SECTION);
    for (int i = 0; i < RUN_HISTORY_SIZE; ++i) {
        WCHAR key[KEY_CHARS];
        FormatHistoryKey(key, i);
        LPWSTR command = history->command[history->count];
        command[0] = L'\0';  // a missing key leaves it as it was
        if (GetSectionString(command, RUN_COMMAND_CHARS, key) == 0 && command[0]) ++history->count;
    }
    ClearSectionStore();
}

void AddToRunHistory(RunHistory* history, LPCWSTR command)
{
    int freed = history->count;  // the entry the others move down over: the same command, or none
    for (int i = 0; i < history->count; ++i)
        if (wcscmp(history->command[i], command) == 0) {
            freed = i;
            break;
        }
    if (freed == RUN_HISTORY_SIZE) freed = RUN_HISTORY_SIZE - 1;  // the oldest drops out
    else if (freed == history->count) ++history->count;
    memmove(history->command[1], history->command[0], freed * sizeof history->command[0]);
    StringCchCopyW(history->command[0], RUN_COMMAND_CHARS, command);
}

int SaveRunHistory(LPCWSTR settingsFile, const RunHistory& history)
{
    LoadSection(settingsFile, HISTORY_SECTION);  // the section's other keys are written back with it
    int failed = 0;
    for (int i = 0; i < RUN_HISTORY_SIZE; ++i) {
        WCHAR key[KEY_CHARS];
        FormatHistoryKey(key, i);
        if (i < history.count)
            failed |= SetSectionString(key, history.command[i]);
        else
            DeleteSectionKey(key);
    }
    if (!failed) failed = WriteSection(settingsFile, HISTORY_SECTION);
    ClearSectionStore();
    return failed;
}

void OpenRunDialog(HINSTANCE instance, LPCWSTR settingsFile)
{
    if (runDialog) {  // a second tap while it is open
        SetForegroundWindow(runDialog);
        return;
    }
    runInstance = instance;
    historyFile = settingsFile;
    // Unowned, so that the taskbar and the start menu stay usable beside it; the shell's
    // quit request ends its loop with the shell.
    RunTemplateDialog(instance, L"RUNDLG", NULL, RunDialogProc);
    runDialog = NULL;
}
