#include <gtest/gtest.h>
#include <windows.h>

#include <tlhelp32.h>

#include "config/shell_settings.h"
#include "exit_dialog.h"
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

// Leaks over many openings are the soak's to find.
TEST(ExitScreen, OkEndsWhicheverChoiceAndCancelComesBackWithNothingLeftBehind)
{
    ReadScreenSize();
    LogCapture log;
    int checked = 0;
    ASSERT_EQ(0, OpenAnsweredExitScreen(0, IDCANCEL, &checked));  // the first opening registers what later ones use
    EXPECT_EQ(IDC_EXIT_SHELL, checked) << "\"Exit Lumaro?\" is checked at first";
    EXPECT_FALSE(TakeQuitMessage()) << "Cancel posts no quit request";
    EXPECT_EQ(nullptr, FindWindowW(L"ZORV_EXITDLG_CLASS", NULL)) << "the exit screen is gone";

    const int threads = CountThreads();
    ASSERT_EQ(0, OpenAnsweredExitScreen(0, 0));  // closing the dialog cancels too
    EXPECT_FALSE(TakeQuitMessage());
    EXPECT_EQ(threads, CountThreads()) << "the fade worker has ended";
    EXPECT_TRUE(log.Contains(L"RegClass Error"));

    for (int radio : {IDC_SOFT_RESET, IDC_HARD_RESET}) {
        ASSERT_EQ(0, OpenAnsweredExitScreen(radio, IDOK, &checked));
        EXPECT_EQ(radio, checked) << "one radio button checked, the one clicked";
        int exitCode = -1;
        EXPECT_TRUE(TakeQuitMessage(&exitCode));
        EXPECT_EQ(0, exitCode);
    }
}

}  // namespace
