#include "dialogs/settings_dialog.h"

#include <strsafe.h>
#include <wchar.h>

#include "config/section_store.h"
#include "config/shell_settings.h"
#include "core/log.h"
#include "core/shell_text.h"
#include "platform/platform.h"
#include "resource.h"
#include "theme/theme_check.h"

namespace {

enum {
    FIELD_TEXT_CHARS = SECTION_VALUE_CHARS,
    MESSAGE_CHARS = 4096,
    REFUSAL_LINES = 6,  // the theme checker's reasons shown in the box; the log has them all
    SHORTCUT_ITEM_CHARS = 160,
};

// A key of settings.cfg that the dialog edits: as loaded, and as the dialog has it now.
struct SettingField {
    LPCWSTR section;
    WCHAR key[32];
    bool present;  // the section held the key
    WCHAR loaded[FIELD_TEXT_CHARS];
    WCHAR edited[FIELD_TEXT_CHARS];
};

enum FieldIndex { USER_NAME, USER_ICON, THEME, AM_PM, FIRST_SHORTCUT_FIELD, FIELD_COUNT = FIRST_SHORTCUT_FIELD + 2 * MENU_SHORTCUT_COUNT };
const LPCWSTR SECTIONS[] = {L"Main", L"Taskbar", L"Start"};
const WCHAR WORKING_COPY_SUFFIX[] = L".saving";  // settings.cfg is written whole from this copy

const DialogText DIALOG_TEXTS[] = {
    {0, IDS_SIDE_ITEM_FIRST + 5},
    {IDC_SETTINGS_USER_NAME_LABEL, IDS_SETTINGS_USER_NAME},
    {IDC_SETTINGS_PICTURE_LABEL, IDS_SETTINGS_PICTURE},
    {IDC_SETTINGS_THEME_LABEL, IDS_SETTINGS_THEME},
    {IDC_SETTINGS_CLOCK_LABEL, IDS_SETTINGS_CLOCK},
    {IDC_SETTINGS_CLOCK_12, IDS_SETTINGS_CLOCK_12},
    {IDC_SETTINGS_CLOCK_24, IDS_SETTINGS_CLOCK_24},
    {IDC_SETTINGS_SHORTCUTS, IDS_SETTINGS_SHORTCUTS},
    {IDC_SETTINGS_SHORTCUT_LABEL, IDS_SETTINGS_SHORTCUT},
    {IDC_SETTINGS_NAME_LABEL, IDS_SETTINGS_SHORTCUT_NAME},
    {IDC_SETTINGS_PATH_LABEL, IDS_SETTINGS_SHORTCUT_PATH},
    {IDOK, IDS_OK},
    {IDCANCEL, IDS_CANCEL},
};

HINSTANCE dialogInstance;
LPCWSTR home;                            // the HomeDirectory whose settings are edited
WCHAR settingsPath[SETTING_PATH_CHARS];  // <home>\settings\settings.cfg
SettingField fields[FIELD_COUNT];
int shownShortcut;                       // whose name and program the two fields show
const ShellRestart* shellRestart;        // NULL: the restart is left to the caller

SettingField& ShortcutField(int shortcut, bool path) { return fields[FIRST_SHORTCUT_FIELD + 2 * shortcut + path]; }

void DefineFields()
{
    const struct {
        FieldIndex index;
        LPCWSTR section, key;
    } named[] = {{USER_NAME, L"Start", L"UserName"}, {USER_ICON, L"Start", L"UserIcon"},
                 {THEME, L"Main", L"Theme"}, {AM_PM, L"Taskbar", L"AMPM"}};
    for (const auto& field : named) {
        fields[field.index].section = field.section;
        StringCchCopyW(fields[field.index].key, ARRAYSIZE(fields[field.index].key), field.key);
    }
    for (int i = 0; i < MENU_SHORTCUT_COUNT; ++i)
        for (int path = 0; path < 2; ++path) {
            SettingField& field = ShortcutField(i, path);
            field.section = L"Start";
            StringCchPrintfW(field.key, ARRAYSIZE(field.key), path ? L"Menu%d.Path" : L"Menu%d.Name", i);
        }
}

// Reads the fields as the store gives them: cut to its lengths, invalid UTF-8 as it
// decodes it; a missing section or key leaves the field empty.
void LoadFields()
{
    for (SettingField& field : fields) field.present = false, field.loaded[0] = L'\0';
    for (LPCWSTR section : SECTIONS) {
        if (LoadSection(settingsPath, section) != 0) continue;
        for (SettingField& field : fields)
            if (wcscmp(field.section, section) == 0)
                field.present = GetSectionString(field.loaded, FIELD_TEXT_CHARS, field.key) == 0;
    }
    ClearSectionStore();
    for (SettingField& field : fields) StringCchCopyW(field.edited, FIELD_TEXT_CHARS, field.loaded);
}

bool Changed(const SettingField& field) { return wcscmp(field.edited, field.loaded) != 0; }

// The theme files beside settings.cfg, and the one it names even when it is not there.
void FillThemeList(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_SETTINGS_THEME);
    WCHAR pattern[SETTING_PATH_CHARS];
    if (FormatSettingsPath(home, L"*.theme", pattern) == 0) {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW(pattern, &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(found.cFileName));
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
    }
    LPARAM current = reinterpret_cast<LPARAM>(fields[THEME].loaded);
    if (fields[THEME].loaded[0] && SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), current) == CB_ERR)
        SendMessageW(list, CB_ADDSTRING, 0, current);
    SendMessageW(list, CB_SELECTSTRING, static_cast<WPARAM>(-1), current);
}

// An item of the shortcut list: its number and the name it has now.
void FormatShortcutItem(int shortcut, WCHAR (&item)[SHORTCUT_ITEM_CHARS])
{
    StringCchPrintfW(item, SHORTCUT_ITEM_CHARS, L"%d  %ls", shortcut + 1, ShortcutField(shortcut, false).edited);
}

void FillShortcutList(HWND dialog)
{
    for (int i = 0; i < MENU_SHORTCUT_COUNT; ++i) {
        WCHAR item[SHORTCUT_ITEM_CHARS];
        FormatShortcutItem(i, item);
        SendDlgItemMessageW(dialog, IDC_SETTINGS_SHORTCUT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
}

void ShowShortcut(HWND dialog, int shortcut)
{
    shownShortcut = shortcut;
    SendDlgItemMessageW(dialog, IDC_SETTINGS_SHORTCUT, CB_SETCURSEL, shortcut, 0);
    SetDlgItemTextW(dialog, IDC_SETTINGS_NAME, ShortcutField(shortcut, false).edited);
    SetDlgItemTextW(dialog, IDC_SETTINGS_PATH, ShortcutField(shortcut, true).edited);
}

void ReadEdit(HWND dialog, int control, SettingField& field)
{
    SendDlgItemMessageW(dialog, control, WM_GETTEXT, FIELD_TEXT_CHARS, reinterpret_cast<LPARAM>(field.edited));
}

// Takes the shown shortcut's fields back, and renames its item in the list.
void KeepShownShortcut(HWND dialog)
{
    ReadEdit(dialog, IDC_SETTINGS_NAME, ShortcutField(shownShortcut, false));
    ReadEdit(dialog, IDC_SETTINGS_PATH, ShortcutField(shownShortcut, true));
    WCHAR item[SHORTCUT_ITEM_CHARS];
    FormatShortcutItem(shownShortcut, item);
    HWND list = GetDlgItem(dialog, IDC_SETTINGS_SHORTCUT);
    const int selected = static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
    SendMessageW(list, CB_DELETESTRING, shownShortcut, 0);
    SendMessageW(list, CB_INSERTSTRING, shownShortcut, reinterpret_cast<LPARAM>(item));
    SendMessageW(list, CB_SETCURSEL, selected, 0);
}

void InitializeDialog(HWND dialog)
{
    SetDialogTexts(dialog, dialogInstance, DIALOG_TEXTS, ARRAYSIZE(DIALOG_TEXTS));
    for (int control : {IDC_SETTINGS_USER_NAME, IDC_SETTINGS_PICTURE, IDC_SETTINGS_NAME, IDC_SETTINGS_PATH})
        SendDlgItemMessageW(dialog, control, EM_LIMITTEXT, FIELD_TEXT_CHARS - 1, 0);
    SetDlgItemTextW(dialog, IDC_SETTINGS_USER_NAME, fields[USER_NAME].loaded);
    SetDlgItemTextW(dialog, IDC_SETTINGS_PICTURE, fields[USER_ICON].loaded);
    FillThemeList(dialog);
    // Without the key neither choice is made, and none is written.
    if (fields[AM_PM].present)
        SendDlgItemMessageW(dialog, _wtol(fields[AM_PM].loaded) ? IDC_SETTINGS_CLOCK_12 : IDC_SETTINGS_CLOCK_24,
                            BM_SETCHECK, BST_CHECKED, 0);
    FillShortcutList(dialog);
    ShowShortcut(dialog, 0);
}

bool Checked(HWND dialog, int control)
{
    return SendDlgItemMessageW(dialog, control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// The dialog's state as the values to write; a value that means what the file says stays
// as the file says it.
void CollectFields(HWND dialog)
{
    KeepShownShortcut(dialog);
    ReadEdit(dialog, IDC_SETTINGS_USER_NAME, fields[USER_NAME]);
    ReadEdit(dialog, IDC_SETTINGS_PICTURE, fields[USER_ICON]);
    ReadEdit(dialog, IDC_SETTINGS_THEME, fields[THEME]);
    const bool twelveHour = Checked(dialog, IDC_SETTINGS_CLOCK_12), twentyFourHour = Checked(dialog, IDC_SETTINGS_CLOCK_24);
    const bool wasTwelveHour = fields[AM_PM].present && _wtol(fields[AM_PM].loaded) != 0;
    if ((twelveHour && !wasTwelveHour) || (twentyFourHour && (wasTwelveHour || !fields[AM_PM].present)))
        StringCchCopyW(fields[AM_PM].edited, FIELD_TEXT_CHARS, twelveHour ? L"1" : L"0");
}

void ShowBox(HWND dialog, LPCWSTR text, UINT type, int* answer = NULL)
{
    WCHAR caption[SETTING_NAME_CHARS];
    LoadShellText(dialogInstance, IDS_SIDE_ITEM_FIRST + 5, caption, SETTING_NAME_CHARS);
    const int given = MessageBoxW(dialog, text, caption, type | MB_SETFOREGROUND);
    if (answer) *answer = given;
}

// Formats a text of the string table with two strings.
void FormatShellText(UINT id, LPCWSTR first, LPCWSTR second, WCHAR (&text)[MESSAGE_CHARS])
{
    WCHAR format[MESSAGE_CHARS];
    LoadShellText(dialogInstance, id, format, MESSAGE_CHARS);
    StringCchPrintfW(text, MESSAGE_CHARS, format, first, second);
}

// The theme checker on a newly chosen theme file; false, after a box with its reasons, when
// the shell could not start with it. A theme left as it was is not checked again: the file
// already names it, so the write cannot make the next start worse, and reading every bitmap
// would be most of a restart's wait.
bool AcceptTheme(HWND dialog)
{
    if (!Changed(fields[THEME])) return true;
    ThemeReport report;
    if (CheckTheme(home, &report, fields[THEME].edited) == 0) return true;
    WCHAR reasons[MESSAGE_CHARS] = L"";
    int shown = 0;
    for (const ThemeFinding& finding : report.findings) {
        if (finding.kind == ThemeProblem::Warning) continue;
        LogErrorF(L"Settings: theme refused: %ls", finding.line.c_str());
        if (shown++ < REFUSAL_LINES) StringCchCatW(reasons, MESSAGE_CHARS, (finding.line + L"\n").c_str());
    }
    StringCchCatW(reasons, MESSAGE_CHARS, SummarizeThemeReport(report).c_str());
    WCHAR text[MESSAGE_CHARS];
    FormatShellText(IDS_SETTINGS_THEME_REFUSED, fields[THEME].edited, reasons, text);
    ShowBox(dialog, text, MB_ICONHAND);
    return false;
}

// Writes the changed keys of one section into the file; 0 on success.
int WriteChangedKeys(LPCWSTR path, LPCWSTR section)
{
    bool any = false;
    for (const SettingField& field : fields) any = any || (wcscmp(field.section, section) == 0 && Changed(field));
    if (!any) return 0;
    LoadSection(path, section);  // a missing section is written anew
    for (const SettingField& field : fields)
        if (wcscmp(field.section, section) == 0 && Changed(field) && SetSectionString(field.key, field.edited) != 0) {
            ClearSectionStore();
            return 1;
        }
    const int written = WriteSection(path, section);
    ClearSectionStore();
    return written;
}

// Writes every changed section into a copy of settings.cfg, which then replaces it in one
// step: a failure on the way leaves settings.cfg as it was. 0 on success; otherwise the
// system's reason is in the text.
int WriteSettings(WCHAR (&reason)[MESSAGE_CHARS])
{
    WCHAR workingCopy[SETTING_PATH_CHARS];
    int failed = FAILED(StringCchPrintfW(workingCopy, SETTING_PATH_CHARS, L"%ls%ls", settingsPath, WORKING_COPY_SUFFIX));
    if (!failed) failed = CopyFileW(settingsPath, workingCopy, FALSE) ? 0 : 1;
    // The copy is ours to write even when settings.cfg is read-only; the replace then refuses.
    if (!failed) failed = SetFileAttributesW(workingCopy, FILE_ATTRIBUTE_NORMAL) ? 0 : 1;
    for (LPCWSTR section : SECTIONS)
        if (!failed) failed = WriteChangedKeys(workingCopy, section);
    if (!failed) failed = ReplaceFileWith(workingCopy, settingsPath);
    if (!failed) return 0;
    const DWORD error = GetLastError();
    LogErrorF(L"Settings: cannot write \"%ls\" (error %lu)", settingsPath, error);  // before the clean-up's own errors
    DeleteFileW(workingCopy);
    FormatSystemReason(error, reason, MESSAGE_CHARS);
    return 1;
}

// OK: checks, writes and offers the restart; false when the dialog stays open.
bool Save(HWND dialog, SettingsOutcome* outcome)
{
    CollectFields(dialog);
    bool any = false;
    for (const SettingField& field : fields) any = any || Changed(field);
    *outcome = SETTINGS_UNCHANGED;
    if (!any) return true;
    if (!AcceptTheme(dialog)) return false;
    WCHAR reason[MESSAGE_CHARS], text[MESSAGE_CHARS];
    if (WriteSettings(reason) != 0) {
        FormatShellText(IDS_SETTINGS_WRITE_FAILED, settingsPath, reason, text);
        ShowBox(dialog, text, MB_ICONHAND);
        return false;
    }
    LogInfo(L"Settings saved");
    LoadFields();  // what is on disk now
    *outcome = SETTINGS_SAVED;
    HANDLE successor = shellRestart ? shellRestart->startSuccessor() : NULL;
    if (shellRestart && !successor) return true;
    int answer = IDNO;
    LoadShellText(dialogInstance, IDS_SETTINGS_RESTART, text, MESSAGE_CHARS);
    ShowBox(dialog, text, MB_ICONQUESTION | MB_YESNO, &answer);
    if (answer == IDYES)
        *outcome = SETTINGS_RESTART;
    else if (successor)
        TerminateProcess(successor, 0);  // still waiting for this shell: it has done nothing yet
    if (successor) CloseHandle(successor);
    return true;
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        InitializeDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: {
            SettingsOutcome outcome;
            if (Save(dialog, &outcome)) EndDialog(dialog, outcome);
            return TRUE;
        }
        case IDCANCEL:
            EndDialog(dialog, SETTINGS_UNCHANGED);
            return TRUE;
        case IDC_SETTINGS_SHORTCUT:
            if (HIWORD(wParam) == CBN_SELCHANGE) {
                const int chosen = static_cast<int>(SendDlgItemMessageW(dialog, IDC_SETTINGS_SHORTCUT, CB_GETCURSEL, 0, 0));
                KeepShownShortcut(dialog);
                if (chosen >= 0 && chosen < MENU_SHORTCUT_COUNT) ShowShortcut(dialog, chosen);
            }
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

}  // namespace

void SetShellRestart(const ShellRestart* restart) { shellRestart = restart; }

SettingsOutcome RunSettingsDialog(HINSTANCE instance, HWND owner, LPCWSTR homeDirectory)
{
    dialogInstance = instance;
    home = homeDirectory;
    if (FormatSettingsPath(homeDirectory, SHELL_SETTINGS_FILE, settingsPath) != 0) {
        LogError(L"Settings: home directory path too long");
        return SETTINGS_UNCHANGED;
    }
    DefineFields();
    LoadFields();
    LogInfo(L"Settings dialog");
    const INT_PTR outcome = RunTemplateDialog(instance, L"SETTINGSDLG", owner, SettingsDialogProc);
    if (outcome == -1) LogError(L"Settings: cannot show the dialog");
    if (outcome == SETTINGS_RESTART && shellRestart) shellRestart->handOver();
    return outcome == SETTINGS_SAVED || outcome == SETTINGS_RESTART ? static_cast<SettingsOutcome>(outcome)
                                                                     : SETTINGS_UNCHANGED;
}
