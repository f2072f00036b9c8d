#include <gtest/gtest.h>

#include <strsafe.h>

#include "config/shell_settings.h"
#include "core/shell.h"
#include "gdi_count.h"
#include "taskbar/task_list.h"
#include "taskbar/taskbar.h"
#include "test_files.h"

namespace {

// The taskbar runs inside the test process, on the bundled theme, and its ticks are
// driven by hand over windows that the test makes.
class TaskListTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static TempDirectory home;
        static LogCapture capture;
        CopyTree(SourcePath(L"themes\\default"), home.path());
        StringCchCopyW(HomeDirectory, HOME_DIRECTORY_CHARS, home.path().c_str());
        ASSERT_EQ(0, LoadShellSettings());
        InitializeShell();
        ASSERT_EQ(0, CreateTaskbar(GetModuleHandleW(NULL)));
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(NULL);
        windowClass.lpszClassName = L"ZorvTestTask";
        RegisterClassW(&windowClass);
    }

    void TearDown() override
    {
        for (HWND window : windows) DestroyWindow(window);
        RefreshTaskList();
    }

    HWND OpenWindow(const std::wstring& title)
    {
        HWND window = CreateWindowExW(0, L"ZorvTestTask", title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200,
                                      100, NULL, NULL, GetModuleHandleW(NULL), NULL);
        windows.push_back(window);
        return window;
    }

    void CloseWindow(size_t i)
    {
        DestroyWindow(windows[i]);
        windows.erase(windows.begin() + i);
    }

    int CountYellow(HDC face)
    {
        int count = 0;
        for (int y = 0; y < Settings.taskbarButtonHeight; ++y)
            for (int x = 0; x < Settings.taskbarButtonMaxCX; ++x) count += GetPixel(face, x, y) == RGB(255, 255, 0);
        return count;
    }

    std::vector<HWND> windows;
};

TEST_F(TaskListTest, TracksSixtyFourWindowsAndShowsMoreOnTheLastButton)
{
    for (int i = 0; i < 16; ++i) OpenWindow(L"Window " + std::to_wstring(i));
    RefreshTaskList();
    EXPECT_EQ(16, TaskCount());
    EXPECT_EQ(0, CountYellow(TaskButtonImages[15][0].dc)) << "exactly 16 windows: no More button";

    for (int i = 16; i < 65; ++i) OpenWindow(L"Window " + std::to_wstring(i));
    RefreshTaskList();
    EXPECT_EQ(MAX_TASKS, TaskCount()) << "the 65th window is not tracked";
    EXPECT_GT(CountYellow(TaskButtonImages[15][0].dc), 5) << "the last button reads More in yellow";
    EXPECT_EQ(0, CountYellow(TaskButtonImages[14][0].dc));
}

TEST_F(TaskListTest, ATitleChangeRedrawsAndTheForegroundWindowIsSelected)
{
    HWND first = OpenWindow(L"First");
    HWND second = OpenWindow(L"Second");
    SetForegroundWindow(first);
    RefreshTaskList();
    ASSERT_EQ(2, TaskCount());
    EXPECT_EQ(first, CurrentTask(SelectedTask()).window);

    SetWindowTextW(second, L"Second, renamed");
    RefreshTaskList();
    int position = CurrentTask(0).window == second ? 0 : 1;
    EXPECT_STREQ(L"Second, renamed", CurrentTask(position).title);

    HWND dialog = CreateWindowExW(0, L"ZorvTestTask", L"Dialog", WS_POPUP | WS_CAPTION | WS_VISIBLE, 20, 20, 100, 60,
                                  second, NULL, GetModuleHandleW(NULL), NULL);
    SetForegroundWindow(dialog);
    RefreshTaskList();
    EXPECT_EQ(2, TaskCount()) << "a popup gets no button";
    EXPECT_EQ(second, CurrentTask(SelectedTask()).window) << "an owned dialog in front selects its owner";
    DestroyWindow(dialog);
}

// Windows come and go and change their titles over thousands of ticks: the icons that the
// task list extracts are given back, and no GDI object is left behind.
TEST_F(TaskListTest, GdiObjectsStayFlatWhileWindowsComeAndGo)
{
    for (int i = 0; i < 10; ++i) OpenWindow(L"Steady " + std::to_wstring(i));
    RefreshTaskList();
    const int before = CountGdiObjects();
    for (int tick = 0; tick < 2000; ++tick) {
        if (tick % 20 == 0) {
            CloseWindow(tick % windows.size());
            OpenWindow(L"Fresh " + std::to_wstring(tick));
        }
        if (tick % 30 == 0) SetWindowTextW(windows[tick % windows.size()], (L"Retitled " + std::to_wstring(tick)).c_str());
        RefreshTaskList();
    }
    EXPECT_EQ(10, TaskCount());
    EXPECT_EQ(before, CountGdiObjects());
}

}  // namespace
