#include "core/shell_text.h"

#include <strsafe.h>

#include "core/log.h"
#include "resource.h"

namespace {

enum ShellLanguage { SHELL_LANGUAGE_ENGLISH, SHELL_LANGUAGE_JAPANESE };

ShellLanguage language = SHELL_LANGUAGE_ENGLISH;

enum { DIALOG_TEXT_CHARS = 256 };

BOOL CALLBACK FindThreadDialog(HWND window, LPARAM found)
{
    WCHAR className[16];
    if (GetWindowThreadProcessId(window, NULL) != GetCurrentThreadId() || !IsWindowVisible(window) ||
        !GetClassNameW(window, className, ARRAYSIZE(className)) || wcscmp(className, L"#32770") != 0)
        return TRUE;
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

}  // namespace

void ChooseShellLanguage(LPCWSTR languageName)
{
    const bool named = languageName && languageName[0] != L'\0';
    language = named && _wcsicmp(languageName, L"Japanese") == 0 ? SHELL_LANGUAGE_JAPANESE : SHELL_LANGUAGE_ENGLISH;
    if (named && language == SHELL_LANGUAGE_ENGLISH && _wcsicmp(languageName, L"English") != 0) {
        LogInfoF(L"Unknown Language \"%ls\": English texts", languageName);
    }
}

int LoadShellText(HINSTANCE instance, UINT id, LPWSTR text, int capacity)
{
    if (capacity <= 0) return 1;  // a capacity of 0 would make LoadStringW hand out a pointer instead
    if (language == SHELL_LANGUAGE_JAPANESE && LoadStringW(instance, id + JAPANESE_TEXT_OFFSET, text, capacity) > 0)
        return 0;
    if (LoadStringW(instance, id, text, capacity) > 0) return 0;
    text[0] = L'\0';
    return 1;
}

void SetDialogTexts(HWND dialog, HINSTANCE instance, const DialogText* texts, int count)
{
    for (int i = 0; i < count; ++i) {
        WCHAR text[DIALOG_TEXT_CHARS];
        if (LoadShellText(instance, texts[i].stringId, text, DIALOG_TEXT_CHARS) != 0) continue;
        if (texts[i].controlId == 0)
            SetWindowTextW(dialog, text);
        else
            SetDlgItemTextW(dialog, texts[i].controlId, text);
    }
}

INT_PTR RunTemplateDialog(HINSTANCE instance, LPCWSTR name, HWND owner, DLGPROC procedure, LPARAM parameter)
{
    HRSRC found = FindResourceW(instance, name, RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(instance, found) : NULL;
    if (!loaded) return -1;
    return DialogBoxIndirectParamW(instance, static_cast<LPCDLGTEMPLATEW>(LockResource(loaded)), owner, procedure,
                                   parameter);
}

void FormatSystemReason(DWORD error, LPWSTR reason, int capacity)
{
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0, reason,
                                  static_cast<DWORD>(capacity), NULL);
    while (length > 0 && (reason[length - 1] == L'\r' || reason[length - 1] == L'\n' || reason[length - 1] == L' '))
        --length;
    if (length == 0)
        StringCchPrintfW(reason, capacity, L"Error %lu", error);
    else
        reason[length] = L'\0';
}

bool ThreadDialogShown()
{
    bool found = false;
    EnumWindows(FindThreadDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}
