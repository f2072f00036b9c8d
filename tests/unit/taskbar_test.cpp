#include <gtest/gtest.h>

#include "taskbar/task_list.h"
#include "taskbar/taskbar.h"

namespace {

std::wstring Clock(WORD hour, WORD minute, int amPm)
{
    SYSTEMTIME time = {};
    time.wHour = hour;
    time.wMinute = minute;
    WCHAR text[CLOCK_TEXT_CHARS];
    FormatClockText(time, amPm, text);
    return text;
}

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
        EXPECT_EQ(t.twelve, Clock(t.hour, t.minute, 1));
        EXPECT_EQ(t.twentyFour, Clock(t.hour, t.minute, 0));
    }
    EXPECT_EQ(L"1:00 PM", Clock(13, 0, -1)) << "any nonzero AMPM selects the 12-hour clock";
}

TEST(TaskWindow, OnlyVisibleWindowsThatAreNeitherPopupNorChildCount)
{
    EXPECT_TRUE(IsTaskWindow(WS_VISIBLE | WS_OVERLAPPEDWINDOW));
    EXPECT_FALSE(IsTaskWindow(WS_OVERLAPPEDWINDOW));
    EXPECT_FALSE(IsTaskWindow(WS_VISIBLE | WS_POPUP));
    EXPECT_FALSE(IsTaskWindow(WS_VISIBLE | WS_CHILD));
}

class TaskMergeTest : public ::testing::Test {
protected:
    // Windows are given as small numbers; titles as the number's text unless set.
    static void Fill(TaskEntry (&list)[MAX_TASKS], std::initializer_list<int> windows)
    {
        ZeroMemory(list, sizeof list);
        int i = 0;
        for (int w : windows) {
            list[i].window = reinterpret_cast<HWND>(static_cast<INT_PTR>(w));
            wsprintfW(list[i].title, L"%d", w);
            ++i;
        }
    }
    std::vector<int> Merge()
    {
        TaskEntry current[MAX_TASKS] = {};
        int count = MergeTaskLists(previous, enumerated, current);
        std::vector<int> order;
        for (int i = 0; i < count; ++i) order.push_back(static_cast<int>(reinterpret_cast<INT_PTR>(current[i].window)));
        for (int i = count; i < MAX_TASKS; ++i) EXPECT_EQ(NULL, current[i].window);
        merged.assign(current, current + count);
        return order;
    }
    TaskEntry previous[MAX_TASKS], enumerated[MAX_TASKS];
    std::vector<TaskEntry> merged;
};

TEST_F(TaskMergeTest, WindowsKeepTheirPlacesAndNewOnesComeLastInReverseOrder)
{
    Fill(previous, {1, 2, 3});
    Fill(enumerated, {3, 1});
    EXPECT_EQ((std::vector<int>{1, 3}), Merge()) << "the second window closed; the third moves up";

    Fill(previous, {1, 2});
    Fill(enumerated, {4, 2, 5, 1});
    EXPECT_EQ((std::vector<int>{1, 2, 5, 4}), Merge()) << "two new windows: the one enumerated later first";

    Fill(previous, {});
    Fill(enumerated, {7, 8, 9});
    EXPECT_EQ((std::vector<int>{9, 8, 7}), Merge());
}

TEST_F(TaskMergeTest, TitlesAreFreshAndIconsAreLeftForTheCaller)
{
    Fill(previous, {1, 2});
    previous[0].icon = reinterpret_cast<HICON>(0x1234);
    previous[0].ownsIcon = true;
    Fill(enumerated, {2, 1});
    wcscpy(enumerated[1].title, L"renamed");
    enumerated[1].icon = reinterpret_cast<HICON>(0x99);
    Merge();
    ASSERT_EQ(2u, merged.size());
    EXPECT_STREQ(L"renamed", merged[0].title);
    EXPECT_EQ(NULL, merged[0].icon);
    EXPECT_FALSE(merged[0].ownsIcon);
}

TEST_F(TaskMergeTest, AFullListStaysWithinItsSixtyFourEntries)
{
    ZeroMemory(previous, sizeof previous);
    for (int i = 0; i < MAX_TASKS; ++i) {
        enumerated[i] = TaskEntry{};
        enumerated[i].window = reinterpret_cast<HWND>(static_cast<INT_PTR>(i + 1));
        if (i % 2 == 0) previous[i / 2].window = enumerated[i].window;
    }
    std::vector<int> order = Merge();
    ASSERT_EQ(static_cast<size_t>(MAX_TASKS), order.size());
    EXPECT_EQ(1, order[0]);
    EXPECT_EQ(64, order[32]) << "the new ones follow in reverse";
}

TEST(TaskButtonLayout, FixedWidthsWhileTheyFitThenTheAreaIsSharedOut)
{
    const int left = 102;
    for (int i = 0; i < 3; ++i) {
        TaskButtonPlace place = PlaceTaskButton(left, 500, 150, 3, i);
        EXPECT_EQ(left + 150 * i, place.x);
        EXPECT_EQ(150, place.width);
    }
    for (int i = 0; i < 4; ++i) {
        TaskButtonPlace place = PlaceTaskButton(left, 500, 150, 4, i);
        EXPECT_EQ(left + 125 * i, place.x);
        EXPECT_EQ(125, place.width);
    }
    const int xs[] = {0, 133, 266}, widths[] = {133, 133, 134};
    for (int i = 0; i < 3; ++i) {
        TaskButtonPlace place = PlaceTaskButton(left, 400, 150, 3, i);
        EXPECT_EQ(left + xs[i], place.x);
        EXPECT_EQ(widths[i], place.width);
    }
    // With more windows than buttons, the 16 shown decide: no button outgrows its faces.
    for (int i = 0; i < 16; ++i) EXPECT_EQ(20, PlaceTaskButton(left, 2000, 20, 16, i).width);
}

}  // namespace
