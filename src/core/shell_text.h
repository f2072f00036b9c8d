// The shell's texts: string resources in the language the settings choose. The device has
// no thread UI language to set, so the shell picks among its own texts: the Japanese text
// of a string stands JAPANESE_TEXT_OFFSET above the English one in the same string table.
#pragma once
#include <windows.h>

// "Japanese" (any case) chooses Japanese; anything else, empty, unknown or absent, English.
// A value that is neither is logged.
void ChooseShellLanguage(LPCWSTR languageName);

// Loads a text of the executable's string table in the chosen language, the English text
// where a translation is missing; 0 on success, 1 (and an empty text) when neither exists.
// A text longer than the buffer is cut.
int LoadShellText(HINSTANCE instance, UINT id, LPWSTR text, int capacity);

// A dialog control and the string whose text it shows; control 0 is the dialog's caption.
struct DialogText {
    int controlId;
    UINT stringId;
};
// Gives the dialog's caption and controls their texts in the chosen language; a text that
// cannot be loaded leaves the template's.
void SetDialogTexts(HWND dialog, HINSTANCE instance, const DialogText* texts, int count);

// Runs the modal dialog of the executable's template with that name, its WM_INITDIALOG given
// the parameter; -1 when the template is missing or the dialog cannot be made, otherwise what
// the dialog procedure gave EndDialog.
INT_PTR RunTemplateDialog(HINSTANCE instance, LPCWSTR name, HWND owner, DLGPROC procedure, LPARAM parameter = 0);

// Whether a dialog or message box of the calling thread is on the screen.
bool ThreadDialogShown();

// The system's text for an error code, without the line end it comes with; "Error N" when
// the system has none. Cut to the capacity.
void FormatSystemReason(DWORD error, LPWSTR reason, int capacity);
