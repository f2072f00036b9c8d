#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gdi_count.h"
#include "taskbar/task_buttons.h"
#include "taskbar/task_list.h"
#include "taskbar/taskbar.h"

namespace {

TEST(TaskbarClock, FormatsTwentyFourAndTwelveHourTimes)
{
    const struct {
        WORD hour, minute;
        const wchar_t *twelve, *twentyFour;
    } times[] = {{0, 15, L"0:15 AM", L"0:15"}, {9, 5, L"9:05 AM", L"9:05"}, {12, 30, L"12:30 PM", L"12:30"},
                 {23, 59, L"11:59 PM", L"23:59"}};
    for (const auto& t : times) {
        SYSTEMTIME time = {0, 0, 0, 0, t.hour, t.minute, 0, 0};
        WCHAR text[CLOCK_TEXT_CHARS];
        FormatClockText(time, 1, text);
        EXPECT_STREQ(t.twelve, text);
        FormatClockText(time, 0, text);
        EXPECT_STREQ(t.twentyFour, text);
    }
}

TEST(TaskButtonLayout, FixedWidthsWhileTheyFitThenTheAreaSharedOutAndMoreOnlyBeyondSixteen)
{
    const struct {
        int areaWidth, shown, i, x, width;
    } places[] = {
        {500, 3, 2, 300, 150},                                                  // 450 < 500: fixed
        {500, 4, 3, 375, 125}, {400, 3, 1, 133, 133}, {400, 3, 2, 266, 134},  // shared out
    };
    for (const auto& p : places) {
        TaskButtonPlace place = PlaceTaskButton(102, p.areaWidth, 150, p.shown, p.i);
        EXPECT_EQ(102 + p.x, place.x) << p.areaWidth << " " << p.shown << " " << p.i;
        EXPECT_EQ(p.width, place.width) << p.areaWidth << " " << p.shown << " " << p.i;
    }
    for (int position = 0; position < TASK_BUTTON_SLOTS; ++position) {
        EXPECT_EQ(position, TaskButtonEntry(position, TASK_BUTTON_SLOTS)) << "exactly as many windows as buttons";
        EXPECT_EQ(position == TASK_BUTTON_SLOTS - 1 ? TASK_BUTTON_MORE : position, TaskButtonEntry(position, 17));
    }
}

HWND FakeWindow(int n) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(n)); }

// Windows given as small numbers, titled with the number, or "renamed" for the one given.
void Fill(TaskEntry (&list)[MAX_TASKS], std::initializer_list<int> windows, int renamed = 0)
{
    ZeroMemory(list, sizeof list);
    int i = 0;
    for (int w : windows) {
        list[i].window = FakeWindow(w);
        wsprintfW(list[i++].title, w == renamed ? L"renamed" : L"%d", w);
    }
}

TEST(TaskMerge, WindowsKeepTheirPlacesAndNewOnesComeLastInReverseOrder)
{
    const struct {
        std::initializer_list<int> previous, enumerated;
        std::vector<int> merged;
    } cases[] = {
        {{1, 2, 3}, {3, 1}, {1, 3}},           // the second closed: the third moves up
        {{1, 2}, {4, 2, 5, 1}, {1, 2, 5, 4}},  // two new ones: the one enumerated later first
    };
    for (const auto& c : cases) {
        TaskEntry previous[MAX_TASKS], enumerated[MAX_TASKS], current[MAX_TASKS] = {};
        Fill(previous, c.previous);
        Fill(enumerated, c.enumerated);
        std::vector<int> order;
        for (int i = 0, n = MergeTaskLists(previous, enumerated, current); i < n; ++i)
            order.push_back(static_cast<int>(reinterpret_cast<INT_PTR>(current[i].window)));
        EXPECT_EQ(c.merged, order);
    }
}

// Icons from a finder that hands out real icons, owned for odd windows, and remembers them.
std::vector<std::pair<HICON, bool>> given;
HICON FindIcon(HWND window, bool* owned)
{
    static const std::vector<BYTE> andMask(32, 0xFF), xorMask(32, 0);
    given.push_back({CreateIcon(NULL, 16, 16, 1, 1, andMask.data(), xorMask.data()), reinterpret_cast<INT_PTR>(window) % 2});
    *owned = given.back().second;
    return given.back().first;
}
bool Alive(HICON icon)
{
    ICONINFO info;
    if (!GetIconInfo(icon, &info)) return false;
    DeleteObject(info.hbmMask);
    return true;
}
unsigned Tick(std::initializer_list<int> windows, int foreground = 0, int owner = 0, int renamed = 0)
{
    TaskEntry enumerated[MAX_TASKS];
    Fill(enumerated, windows, renamed);
    return UpdateTaskList(enumerated, FakeWindow(foreground), FakeWindow(owner), FindIcon);
}
HICON IconOf(int window)
{
    for (int i = 0; i < TaskCount(); ++i)
        if (CurrentTask(i).window == FakeWindow(window)) return CurrentTask(i).icon;
    return NULL;
}

TEST(TaskListModel, IconsAreFetchedOnlyForNewPairsAndOwnedOnesGoWithTheirEntries)
{
    bool owned;
    DestroyIcon(FindIcon(FakeWindow(2), &owned));  // the first icon also makes what all icons share
    given.clear();
    ResetTaskLists();
    const int before = CountGdiObjects();
    EXPECT_EQ(TASK_LIST_CHANGED, Tick({1, 2, 3}));
    const HICON first = IconOf(1), second = IconOf(2);
    EXPECT_EQ(0u, Tick({1, 2, 3})) << "nothing changed";
    EXPECT_EQ(second, IconOf(2)) << "an unchanged tick keeps the icons";
    EXPECT_EQ(TASK_LIST_CHANGED, Tick({1, 2, 3}, 0, 0, 1));
    EXPECT_EQ(4u, given.size()) << "only the retitled window is asked again";
    EXPECT_FALSE(Alive(first)) << "its old, owned icon is destroyed";
    EXPECT_TRUE(Alive(IconOf(3))) << "an owned icon carried over stays";
    for (int round = 0; round < 40; ++round) Tick({1, 2 + round % 2 * 10, 3, 5 + round % 3 * 2}, 0, 0, round % 4);
    ResetTaskLists();
    for (const auto& [icon, isOwned] : given)
        if (!isOwned) DestroyIcon(icon);
    EXPECT_EQ(before, CountGdiObjects()) << "no owned icon outlives its entry";
}

TEST(TaskListModel, TheForegroundWindowOrItsOwnerIsSelected)
{
    ResetTaskLists();
    EXPECT_EQ(TASK_LIST_CHANGED | TASK_SELECTION_CHANGED, Tick({1, 2, 3}, 2));
    EXPECT_EQ(FakeWindow(2), CurrentTask(SelectedTask()).window);
    EXPECT_EQ(0u, Tick({1, 2, 3}, 2));
    EXPECT_EQ(TASK_SELECTION_CHANGED, Tick({1, 2, 3}, 99, 3)) << "a dialog owned by the third";
    EXPECT_EQ(FakeWindow(3), CurrentTask(SelectedTask()).window);
    EXPECT_EQ(TASK_SELECTION_CHANGED, Tick({1, 2, 3}, 99));
    EXPECT_EQ(-1, SelectedTask()) << "a window without an entry selects none";
    ResetTaskLists();
}

// The real desktop: windows of this process, polled as the taskbar's tick does (the soak
// churns them for ten thousand ticks).
TEST(TaskListDesktop, TracksVisibleApplicationWindowsUpToSixtyFour)
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
    while (windows.size() < MAX_TASKS + 4) windows.push_back(open());
    RefreshTaskList();
    EXPECT_EQ(MAX_TASKS, TaskCount()) << "later windows are not tracked";
    for (HWND window : windows) DestroyWindow(window);
    ResetTaskLists();
}

}  // namespace
