#include <gtest/gtest.h>
#include <windows.h>

#include <tlhelp32.h>

#include "config/shell_settings.h"
#include "exitscreen/exit_screen.h"
#include "gdi_count.h"
#include "resource.h"
#include "test_files.h"

namespace {

int CountThreads()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 thread = {};
    thread.dwSize = sizeof thread;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &thread); more; more = Thread32Next(snapshot, &thread))
        count += thread.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return count;
}

// What the dialog is answered with, from inside its own modal loop.
struct Answer {
    int radio;    // clicked first, 0 for none
    int button;   // IDOK, IDCANCEL, or 0 to close the dialog
    int checked;  // what the dialog then showed: the id of the checked radio button
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

int Open(int radio, int button)
{
    answer = Answer{radio, button, 0};
    SetTimer(NULL, 0, 10, AnswerDialog);
    return OpenExitScreen(GetModuleHandleW(NULL));
}

TEST(ExitScreen, OkEndsWhicheverChoiceAndCancelComesBackWithNothingLeftBehind)
{
    ReadScreenSize();
    LogCapture log;
    ASSERT_EQ(0, Open(0, IDCANCEL));  // the first opening registers what every later one uses
    EXPECT_EQ(IDC_EXIT_SHELL, answer.checked) << "\"Exit Lumaro?\" is checked at first";
    EXPECT_FALSE(TakeQuitMessage()) << "Cancel posts no quit request";
    EXPECT_EQ(nullptr, FindWindowW(L"ZORV_EXITDLG_CLASS", NULL)) << "the exit screen is gone";

    const int objects = CountGdiObjects(), threads = CountThreads();
    for (int i = 0; i < 20; ++i) ASSERT_EQ(0, Open(0, i % 2 ? IDCANCEL : 0));
    EXPECT_EQ(objects, CountGdiObjects());
    EXPECT_EQ(threads, CountThreads()) << "every fade worker has ended";
    EXPECT_TRUE(log.Contains(L"RegClass Error"));

    for (int radio : {IDC_SOFT_RESET, IDC_HARD_RESET}) {
        ASSERT_EQ(0, Open(radio, IDOK));
        EXPECT_EQ(radio, answer.checked) << "one radio button checked, the one clicked";
        int exitCode = -1;
        EXPECT_TRUE(TakeQuitMessage(&exitCode));
        EXPECT_EQ(0, exitCode);
    }
}

}  // namespace
