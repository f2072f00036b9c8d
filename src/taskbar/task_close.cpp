#include "taskbar/task_close.h"

#include <strsafe.h>

#include <algorithm>
#include <iterator>

#include "core/log.h"
#include "core/shell_text.h"
#include "gfx/gdi_scope.h"
#include "platform/platform.h"
#include "resource.h"
#include "taskbar/task_list.h"

namespace {

enum { FITTED_TEXT_CHARS = 320, FORMAT_CHARS = 64 };
const WCHAR ELLIPSIS[] = L"...";

// A window asked to close, and when it was first asked.
struct CloseRequest {
    HWND window;  // NULL marks a free entry
    DWORD askedAt;
};
CloseRequest requests[MAX_TASKS];

// What the End task box names.
struct EndTaskQuestion {
    HINSTANCE instance;
    LPCWSTR program;  // the executable's file name
    LPCWSTR title;    // the window's title
};

const DialogText END_TASK_TEXTS[] = {
    {0, IDS_END_TASK_CAPTION},
    {IDC_END_TASK_PROMPT, IDS_END_TASK_PROMPT},
    {IDOK, IDS_END_TASK_BUTTON},
    {IDCANCEL, IDS_CANCEL},
};

CloseRequest* FindRequest(HWND window)
{
    CloseRequest* found = std::find_if(std::begin(requests), std::end(requests),
                                       [window](const CloseRequest& request) { return request.window == window; });
    return found == std::end(requests) ? NULL : found;
}

// Remembers the first request only: the grace runs from it. A window that has gone frees its
// entry; with every entry taken, the oldest request is forgotten.
void RememberRequest(HWND window, DWORD now)
{
    if (FindRequest(window)) return;
    CloseRequest* slot = &requests[0];
    for (CloseRequest& request : requests) {
        if (!request.window || !IsWindow(request.window)) {
            slot = &request;
            break;
        }
        if (now - request.askedAt > now - slot->askedAt) slot = &request;
    }
    *slot = CloseRequest{window, now};
}

// Asked before, and now hung or still there after the grace.
bool OffersEndTask(HWND window, DWORD now)
{
    const CloseRequest* request = FindRequest(window);
    if (!request) return false;
    if (now - request->askedAt >= CLOSE_GRACE_MS) return true;
    DWORD_PTR answer = 0;
    return AskWindowWithoutHanging(window, WM_NULL, 0, 0, WINDOW_ANSWER_TIMEOUT_MS, &answer) != 0;
}

int TextWidth(HDC dc, LPCWSTR text)
{
    RECT extent = {0, 0, 0, 0};
    DrawTextW(dc, text, -1, &extent, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return extent.right;
}

// Shows the formatted text in the control, cut with an ellipsis where it is wider.
void ShowFittedText(HWND dialog, HINSTANCE instance, int controlId, UINT formatId, LPCWSTR value)
{
    WCHAR format[FORMAT_CHARS], text[FITTED_TEXT_CHARS], fitted[FITTED_TEXT_CHARS];
    if (LoadShellText(instance, formatId, format, FORMAT_CHARS) != 0) LogError(L"LoadString Error");
    StringCchPrintfW(text, FITTED_TEXT_CHARS, format, value);
    StringCchCopyW(fitted, FITTED_TEXT_CHARS, text);
    HWND control = GetDlgItem(dialog, controlId);
    RECT box;
    GetClientRect(control, &box);
    {
        ScopedWindowDc dc(control);
        ScopedSelection font(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
        for (int keep = static_cast<int>(wcslen(text)) - 1; keep > 0 && TextWidth(dc, fitted) > box.right; --keep)
            StringCchPrintfW(fitted, FITTED_TEXT_CHARS, L"%.*ls%ls", keep, text, ELLIPSIS);
    }
    SetDlgItemTextW(dialog, controlId, fitted);
}

INT_PTR CALLBACK EndTaskDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        const EndTaskQuestion& question = *reinterpret_cast<const EndTaskQuestion*>(lParam);
        SetDialogTexts(dialog, question.instance, END_TASK_TEXTS, ARRAYSIZE(END_TASK_TEXTS));
        ShowFittedText(dialog, question.instance, IDC_END_TASK_PROGRAM, IDS_END_TASK_PROGRAM, question.program);
        ShowFittedText(dialog, question.instance, IDC_END_TASK_WINDOW, IDS_END_TASK_WINDOW, question.title);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL) return FALSE;
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

// Names the window's program in the End task box; IDOK when the user confirmed.
INT_PTR AskToEndTask(HWND owner, HINSTANCE instance, LPCWSTR path, LPCWSTR title)
{
    const WCHAR* name = wcsrchr(path, L'\\');
    const EndTaskQuestion question = {instance, name ? name + 1 : path, title};
    const INT_PTR answer =
        RunTemplateDialog(instance, L"ENDTASKDLG", owner, EndTaskDialogProc, reinterpret_cast<LPARAM>(&question));
    if (answer == -1) LogError(L"Cannot load the End task box");
    return answer;
}

void EndTask(HWND owner, HINSTANCE instance, HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    WCHAR path[MAX_PATH], title[TASK_TITLE_CHARS];
    GetWindowTextW(window, title, TASK_TITLE_CHARS);  // sends no message to the hung window
    if (GetProcessImagePath(processId, path, MAX_PATH) != 0) {
        LogErrorF(L"End task: no program found for window 0x%08x", LoggedHandle(window));
        return;
    }
    if (AskToEndTask(owner, instance, path, title) != IDOK) return;
    // The window may have closed, and its process ended, while the box was open.
    DWORD stillOwner = 0;
    if (IsWindow(window)) GetWindowThreadProcessId(window, &stillOwner);
    if (stillOwner != processId) return;
    if (EndProcessById(processId) != 0) {
        LogErrorF(L"End task failed: \"%ls\" (process %lu)", path, processId);
        return;
    }
    LogInfoF(L"End task: \"%ls\" (process %lu)", path, processId);
}

}  // namespace

void CloseTaskWindow(HWND owner, HINSTANCE instance, HWND window)
{
    const DWORD now = GetTickCount();
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != GetCurrentProcessId() && OffersEndTask(window, now)) {
        EndTask(owner, instance, window);
        return;
    }
    RememberRequest(window, now);
    PostMessageW(window, WM_CLOSE, 0, 0);  // the application may ask about unsaved work first
}
