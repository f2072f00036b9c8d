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
    } times[] = {
        {0, 15, L"0:15 AM", L"0:15"},   {9, 5, L"9:05 AM", L"9:05"},     {12, 30, L"12:30 PM", L"12:30"},
        {13, 0, L"1:00 PM", L"13:00"}, {23, 59, L"11:59 PM", L"23:59"},
    };
    for (const auto& t : times) {
        SYSTEMTIME time = {};
        time.wHour = t.hour;
        time.wMinute = t.minute;
        WCHAR text[CLOCK_TEXT_CHARS];
        FormatClockText(time, 1, text);
        EXPECT_STREQ(t.twelve, text);
        FormatClockText(time, 0, text);
        EXPECT_STREQ(t.twentyFour, text);
    }
}

TEST(TaskButtonLayout, FixedWidthsWhileTheyFitThenTheAreaIsSharedOut)
{
    const struct {
        int areaWidth, shown, i, x, width;
    } places[] = {
        {500, 3, 0, 0, 150},   {500, 3, 2, 300, 150},  // 450 < 500: fixed
        {500, 4, 1, 125, 125}, {500, 4, 3, 375, 125},  // 600 >= 500: shared out
        {400, 3, 0, 0, 133},   {400, 3, 1, 133, 133}, {400, 3, 2, 266, 134},
    };
    for (const auto& p : places) {
        TaskButtonPlace place = PlaceTaskButton(102, p.areaWidth, 150, p.shown, p.i);
        EXPECT_EQ(102 + p.x, place.x) << p.areaWidth << " " << p.shown << " " << p.i;
        EXPECT_EQ(p.width, place.width) << p.areaWidth << " " << p.shown << " " << p.i;
    }
}

TEST(TaskButtonLayout, TheLastButtonReadsMoreOnlyWithMoreWindowsThanButtons)
{
    for (int position = 0; position < TASK_BUTTON_SLOTS; ++position) {
        EXPECT_EQ(position, TaskButtonEntry(position, TASK_BUTTON_SLOTS)) << "exactly as many windows as buttons";
        EXPECT_EQ(position == TASK_BUTTON_SLOTS - 1 ? TASK_BUTTON_MORE : position, TaskButtonEntry(position, 17));
    }
}

HWND FakeWindow(int n) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(n)); }

// Windows given as small numbers, titled with the number.
void Fill(TaskEntry (&list)[MAX_TASKS], std::initializer_list<int> windows)
{
    ZeroMemory(list, sizeof list);
    int i = 0;
    for (int w : windows) {
        list[i].window = FakeWindow(w);
        wsprintfW(list[i++].title, L"%d", w);
    }
}

std::vector<int> Order(const TaskEntry* list, int count)
{
    std::vector<int> order;
    for (int i = 0; i < count; ++i) order.push_back(static_cast<int>(reinterpret_cast<INT_PTR>(list[i].window)));
    return order;
}

TEST(TaskMerge, WindowsKeepTheirPlacesAndNewOnesComeLastInReverseOrder)
{
    const struct {
        std::initializer_list<int> previous, enumerated;
        std::vector<int> merged;
    } cases[] = {
        {{1, 2, 3}, {3, 1}, {1, 3}},              // the second closed: the third moves up
        {{1, 2}, {4, 2, 5, 1}, {1, 2, 5, 4}},     // two new ones: the one enumerated later first
        {{}, {7, 8, 9}, {9, 8, 7}},
    };
    for (const auto& c : cases) {
        TaskEntry previous[MAX_TASKS], enumerated[MAX_TASKS], current[MAX_TASKS] = {};
        Fill(previous, c.previous);
        Fill(enumerated, c.enumerated);
        EXPECT_EQ(c.merged, Order(current, MergeTaskLists(previous, enumerated, current)));
    }
}

// Icons come from a finder that hands out real icons, owned for odd windows, and keeps them.
struct IconLedger {
    struct Given {
        HWND window;
        HICON icon;
        bool owned;
    };
    static std::vector<Given> given;
    static HICON Find(HWND window, bool* owned)
    {
        static const std::vector<BYTE> andMask(32, 0xFF), xorMask(32, 0);
        *owned = reinterpret_cast<INT_PTR>(window) % 2 == 1;
        HICON icon = CreateIcon(NULL, 16, 16, 1, 1, andMask.data(), xorMask.data());
        given.push_back({window, icon, *owned});
        return icon;
    }
    static bool Alive(HICON icon)
    {
        ICONINFO info;
        if (!GetIconInfo(icon, &info)) return false;
        DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        return true;
    }
};
std::vector<IconLedger::Given> IconLedger::given;

class TaskListModel : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetTaskLists();
        IconLedger::given.clear();
    }
    void TearDown() override { ResetTaskLists(); }
    static HICON IconOf(int window)
    {
        for (int i = 0; i < TaskCount(); ++i)
            if (CurrentTask(i).window == FakeWindow(window)) return CurrentTask(i).icon;
        return NULL;
    }
    unsigned Tick(std::initializer_list<int> windows, int foreground = 0, int owner = 0, int retitled = 0)
    {
        TaskEntry enumerated[MAX_TASKS];
        Fill(enumerated, windows);
        for (TaskEntry& entry : enumerated)
            if (retitled && entry.window == FakeWindow(retitled)) wsprintfW(entry.title, L"renamed");
        return UpdateTaskList(enumerated, FakeWindow(foreground), FakeWindow(owner), IconLedger::Find);
    }
};

TEST_F(TaskListModel, IconsAreFetchedOnlyForNewPairsAndOwnedOnesAreGivenBack)
{
    bool owned;
    DestroyIcon(IconLedger::Find(FakeWindow(2), &owned));  // the first icon also makes what all icons share
    IconLedger::given.clear();
    const int before = CountGdiObjects();
    EXPECT_EQ(TASK_LIST_CHANGED, Tick({1, 2, 3}));
    ASSERT_EQ(3u, IconLedger::given.size());
    const HICON first = IconOf(1), second = IconOf(2);

    EXPECT_EQ(0u, Tick({1, 2, 3})) << "nothing changed";
    EXPECT_EQ(3u, IconLedger::given.size()) << "no icon asked for";
    EXPECT_EQ(second, IconOf(2)) << "an unchanged tick still has the icons";

    EXPECT_EQ(TASK_LIST_CHANGED, Tick({1, 2, 3}, 0, 0, 1));
    ASSERT_EQ(4u, IconLedger::given.size()) << "only the retitled window is asked again";
    EXPECT_EQ(FakeWindow(1), IconLedger::given[3].window);
    EXPECT_FALSE(IconLedger::Alive(first)) << "its old, owned icon is destroyed";
    EXPECT_TRUE(IconLedger::Alive(IconOf(1)));
    EXPECT_EQ(second, IconOf(2));

    for (int round = 0; round < 40; ++round) Tick({1, 2 + round % 2 * 10, 3, 5 + round % 3 * 2}, 0, 0, round % 4);
    ResetTaskLists();
    for (const IconLedger::Given& g : IconLedger::given) {
        EXPECT_EQ(!g.owned, IconLedger::Alive(g.icon)) << "owned icons go with their entries, others stay";
        if (!g.owned) DestroyIcon(g.icon);
    }
    EXPECT_EQ(before, CountGdiObjects());
}

TEST_F(TaskListModel, TheForegroundWindowOrItsOwnerIsSelected)
{
    EXPECT_EQ(TASK_LIST_CHANGED | TASK_SELECTION_CHANGED, Tick({1, 2, 3}, 2));
    EXPECT_EQ(FakeWindow(2), CurrentTask(SelectedTask()).window);
    EXPECT_EQ(0u, Tick({1, 2, 3}, 2));
    EXPECT_EQ(TASK_SELECTION_CHANGED, Tick({1, 2, 3}, 99, 3)) << "a dialog owned by the third";
    EXPECT_EQ(FakeWindow(3), CurrentTask(SelectedTask()).window);
    EXPECT_EQ(TASK_SELECTION_CHANGED, Tick({1, 2, 3}, 99));
    EXPECT_EQ(-1, SelectedTask()) << "a window without an entry selects none";
    Tick({1, 2, 3}, 0);
    EXPECT_EQ(-1, SelectedTask());
}

// The real desktop: windows of this process, polled as the taskbar's tick does.
TEST(TaskListDesktop, TracksVisibleApplicationWindowsUpToSixtyFourAndGivesIconsBack)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(NULL);
    windowClass.lpszClassName = L"ZorvTestTask";
    RegisterClassW(&windowClass);
    auto open = [](const std::wstring& title, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, HWND parent = NULL) {
        return CreateWindowExW(0, L"ZorvTestTask", title.c_str(), style, 10, 10, 200, 100, parent, NULL,
                               GetModuleHandleW(NULL), NULL);
    };
    ResetTaskLists();
    RefreshTaskList();
    const int others = TaskCount();  // windows of the desktop itself, if any
    std::vector<HWND> windows;
    for (int i = 0; i < 3; ++i) windows.push_back(open(L"Window " + std::to_wstring(i)));
    HWND extras[] = {open(L"Popup", WS_POPUP | WS_VISIBLE), open(L"Hidden", WS_OVERLAPPEDWINDOW),
                     open(L"Child", WS_CHILD | WS_VISIBLE, windows[0])};
    RefreshTaskList();
    EXPECT_EQ(others + 3, TaskCount()) << "popups, hidden and child windows get no entry";

    const int before = CountGdiObjects();
    for (int tick = 0; tick < 600; ++tick) {
        if (tick % 20 == 0) {
            DestroyWindow(windows[tick % windows.size()]);
            windows[tick % windows.size()] = open(L"Fresh " + std::to_wstring(tick));
        }
        if (tick % 30 == 0) SetWindowTextW(windows[(tick / 30) % windows.size()], (L"Retitled " + std::to_wstring(tick)).c_str());
        RefreshTaskList();
    }
    EXPECT_EQ(before, CountGdiObjects()) << "extracted icons are destroyed when their entries go";

    while (windows.size() < MAX_TASKS + 1) windows.push_back(open(L"More"));
    RefreshTaskList();
    EXPECT_EQ(MAX_TASKS, TaskCount()) << "later windows are not tracked";
    for (HWND window : windows) DestroyWindow(window);
    for (HWND window : extras) DestroyWindow(window);
    ResetTaskLists();
}

}  // namespace
