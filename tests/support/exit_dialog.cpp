#include "exit_dialog.h"

#include <windows.h>

#include "exitscreen/exit_screen.h"
#include "resource.h"

namespace {

struct Answer {
    int radio, button, checked;
};
Answer answer;

void CALLBACK AnswerDialog(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = FindWindowW(L"#32770", L"Exit Lumaro");
    if (!dialog || !IsWindowVisible(dialog)) return;
    KillTimer(NULL, timer);
    if (answer.radio) SendMessageW(dialog, WM_COMMAND, answer.radio, 0);
    for (int id = IDC_EXIT_SHELL; id <= IDC_HARD_RESET; ++id)
        if (IsDlgButtonChecked(dialog, id) == BST_CHECKED) answer.checked = answer.checked ? -1 : id;
    if (answer.button)
        SendMessageW(dialog, WM_COMMAND, answer.button, 0);
    else
        SendMessageW(dialog, WM_CLOSE, 0, 0);
}

}  // namespace

int OpenAnsweredExitScreen(int radio, int button, int* checked)
{
    answer = Answer{radio, button, 0};
    SetTimer(NULL, 0, 10, AnswerDialog);
    const int result = OpenExitScreen(GetModuleHandleW(NULL));
    if (checked) *checked = answer.checked;
    return result;
}
