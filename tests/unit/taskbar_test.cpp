#include <gtest/gtest.h>

#include <thread>
#include <tuple>
#include <vector>

#include "config/shell_settings.h"
#include "gdi_count.h"
#include "taskbar/full_screen.h"
#include "taskbar/task_buttons.h"
#include "taskbar/task_close.h"
#include "taskbar/task_list.h"
#include "taskbar/taskbar.h"

namespace {

TEST(TaskbarLayout, ClockInTwentyFourOrTwelveHoursButtonsFixedWhileTheyFitThenSharedOutAndMoreBeyondSixteen)
{
    const std::tuple<WORD, WORD, int, const wchar_t*> times[] = {  // hour, minute, AM/PM, text
        {0, 15, 1, L"0:15 AM"}, {9, 5, 1, L"9:05 AM"}, {12, 30, 1, L"12:30 PM"}, {23, 59, 1, L"11:59 PM"},
        {12, 30, 0, L"12:30"}, {23, 59, 0, L"23:59"}};
    for (const auto& [hour, minute, amPm, expected] : times) {
        WCHAR text[CLOCK_TEXT_CHARS];
        FormatClockText({0, 0, 0, 0, hour, minute, 0, 0}, amPm, text);
        EXPECT_STREQ(expected, text);
    }
    // The task buttons: area width, buttons shown, which one, and where it goes in the area and how wide.
    const std::tuple<int, int, int, int, int> places[] = {{500, 3, 2, 300, 150},  // 450 < 500: fixed
        {500, 4, 3, 375, 125}, {400, 3, 1, 133, 133}, {400, 3, 2, 266, 134}};        // shared out
    for (const auto& [areaWidth, shown, i, x, width] : places) {
        const TaskButtonPlace place = PlaceTaskButton(102, areaWidth, 150, shown, i);
        EXPECT_EQ(std::make_pair(102 + x, width), std::make_pair(place.x, place.width));
    }
    for (int position = 0; position < TASK_BUTTON_SLOTS; ++position) {
        EXPECT_EQ(position, TaskButtonEntry(position, TASK_BUTTON_SLOTS)) << "exactly as many windows as buttons";
        EXPECT_EQ(position == TASK_BUTTON_SLOTS - 1 ? TASK_BUTTON_MORE : position, TaskButtonEntry(position, 17));
    }
}

HWND FakeWindow(int n) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(n)); }

const std::vector<BYTE> andMask(32, 0xFF), xorMask(32, 0);
HICON NewIcon() { return CreateIcon(NULL, 16, 16, 1, 1, andMask.data(), xorMask.data()); }
// Made before any count; the first icon also makes what all icons share.
const HICON sharedIcon = NewIcon();

// Icons from a finder that counts its calls: for odd windows a fresh icon the list owns, for
// even ones the shared icon, which the list must leave alone.
int asked;
HICON FindIcon(HWND window, bool* owned)
{
    ++asked;
    *owned = reinterpret_cast<INT_PTR>(window) % 2;
    return *owned ? NewIcon() : sharedIcon;
}
// GetIconInfo hands out a copy of the mask, given back at once.
bool Alive(HICON icon) { ICONINFO info; return GetIconInfo(icon, &info) && DeleteObject(info.hbmMask); }
// One tick over windows given as small numbers, titled with the number, or "renamed" for the one given.
unsigned Tick(std::initializer_list<int> windows, int foreground = 0, int owner = 0, int renamed = 0)
{
    TaskEntry enumerated[MAX_TASKS] = {};
    int i = 0;
    for (int w : windows) {
        enumerated[i].window = FakeWindow(w);
        wsprintfW(enumerated[i++].title, w == renamed ? L"renamed" : L"%d", w);
    }
    return UpdateTaskList(enumerated, FakeWindow(foreground), FakeWindow(owner), FindIcon);
}

// One list through its ticks: icons, the merge of a changed desktop, the selection and churn.
TEST(TaskListModel, IconsComeOnlyForNewPairsWindowsKeepTheirPlacesAndTheForegroundOrItsOwnerIsSelected)
{
    asked = 0;
    ResetTaskLists();
    const int before = CountGdiObjects();
    EXPECT_EQ(TASK_LIST_CHANGED, Tick({3, 2, 1}));  // into the empty list as 1, 2, 3
    const HICON first = CurrentTask(0).icon;
    EXPECT_EQ(0u, Tick({3, 2, 1})) << "nothing changed";
    EXPECT_EQ(first, CurrentTask(0).icon) << "an unchanged tick keeps the icons";
    EXPECT_EQ(TASK_LIST_CHANGED, Tick({3, 2, 1}, 0, 0, 1));
    EXPECT_EQ(4, asked) << "only the retitled window is asked again";
    EXPECT_FALSE(Alive(first)) << "its old, owned icon is destroyed";
    EXPECT_TRUE(Alive(CurrentTask(2).icon)) << "an owned icon carried over stays";
    HoldTaskIcons(true);  // as an open menu does
    const HICON held = CurrentTask(0).icon;
    Tick({3, 2, 1});
    EXPECT_TRUE(Alive(held)) << "an icon given up lives while the menu draws it";
    HoldTaskIcons(false);
    EXPECT_FALSE(Alive(held));
    // The second closed, two new ones: the third moves up; the new ones come last, the one
    // enumerated later first.
    EXPECT_EQ(TASK_LIST_CHANGED | TASK_SELECTION_CHANGED, Tick({4, 3, 5, 1}, 3, 0, 1));
    std::vector<HWND> order;
    for (int i = 0; i < TaskCount(); ++i) order.push_back(CurrentTask(i).window);
    EXPECT_EQ(std::vector<HWND>({FakeWindow(1), FakeWindow(3), FakeWindow(5), FakeWindow(4)}), order);
    EXPECT_EQ(FakeWindow(3), CurrentTask(SelectedTask()).window);
    EXPECT_EQ(0u, Tick({4, 3, 5, 1}, 3, 0, 1));
    EXPECT_EQ(TASK_SELECTION_CHANGED, Tick({4, 3, 5, 1}, 99, 5, 1)) << "a dialog owned by the fifth";
    EXPECT_EQ(FakeWindow(5), CurrentTask(SelectedTask()).window);
    EXPECT_EQ(TASK_SELECTION_CHANGED, Tick({4, 3, 5, 1}, 99, 0, 1));
    EXPECT_EQ(-1, SelectedTask()) << "a window without an entry selects none";
    for (int round = 0; round < 40; ++round) Tick({1, 2 + round % 2 * 10, 3, 5 + round % 3 * 2}, 0, 0, round % 4);
    ResetTaskLists();
    EXPECT_EQ(before, CountGdiObjects()) << "no owned icon outlives its entry, and the shared one stays";
}

// The real desktop: windows of this process, polled as the taskbar's tick does (the soak
// churns them for ten thousand ticks), and closed as the taskbar closes them: to this
// process, the shell, End task is never offered.
TEST(TaskListDesktop, TracksVisibleApplicationWindowsUpToSixtyFourAndNeverOffersToEndItsOwn)
{
    auto open = [](DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, HWND parent = NULL) {
        return CreateWindowExW(0, L"STATIC", L"Task", style, 10, 10, 200, 100, parent, NULL, NULL, NULL);
    };
    ResetTaskLists();
    RefreshTaskList();
    const int others = TaskCount();  // windows of the desktop itself, if any
    std::vector<HWND> windows = {open(), open(), open(), open(WS_POPUP | WS_VISIBLE), open(WS_OVERLAPPEDWINDOW)};
    windows.push_back(open(WS_CHILD | WS_VISIBLE, windows[0]));
    RefreshTaskList();
    EXPECT_EQ(others + 3, TaskCount()) << "popups, hidden and child windows get no entry";
    // A dialog in front selects the window that owns it.
    windows.push_back(open(WS_POPUP | WS_CAPTION | WS_VISIBLE, windows[1]));
    SetForegroundWindow(windows.back());
    RefreshTaskList();
    EXPECT_EQ(windows[1], SelectedTask() < 0 ? NULL : CurrentTask(SelectedTask()).window);
    while (windows.size() < MAX_TASKS + 4) windows.push_back(open());
    RefreshTaskList();
    EXPECT_EQ(MAX_TASKS, TaskCount()) << "later windows are not tracked";
    for (HWND window : windows) DestroyWindow(window);
    ResetTaskLists();

    // Closed twice while its thread does not answer, as a hung application's would be.
    HANDLE made = CreateEventW(NULL, TRUE, FALSE, NULL), release = CreateEventW(NULL, TRUE, FALSE, NULL);
    HWND hung = NULL;
    std::thread owner([&] { hung = open(), SetEvent(made), WaitForSingleObject(release, INFINITE); });
    WaitForSingleObject(made, INFINITE);
    static bool offered;  // by an End task box, which is then cancelled
    const UINT_PTR timer = SetTimer(NULL, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        if (HWND box = FindWindowW(L"#32770", L"End task")) offered = true, PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    });
    for (int close = 0; close < 2; ++close) CloseTaskWindow(NULL, GetModuleHandleW(NULL), hung);
    KillTimer(NULL, timer);
    EXPECT_FALSE(offered);
    SetEvent(release);
    owner.join();
    CloseHandle(made), CloseHandle(release);
}

// A window of the shell's own over the whole screen, as the exit screen's, leaves the bar up.
TEST(FullScreen, TheShellsOwnWindowOverTheWholeScreenLeavesTheBarOnTop)
{
    ReadScreenSize();
    HWND bar = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    HWND cover = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, ScreenSize.cx, ScreenSize.cy, NULL,
                                 NULL, NULL, NULL);
    FollowFrontWindow(bar, cover);
    EXPECT_FALSE(BarBehindFullScreen());
    DestroyWindow(cover), DestroyWindow(bar);
}

}  // namespace
