#include <gtest/gtest.h>

#include "desktop.h"
#include "shell_harness.h"
#include "test_files.h"

namespace {

// The bundled theme's layout on the 800 x 480 desktop.
const int SCREEN_W = 800, SCREEN_H = 480, BAR_H = 30, BUTTON_H = 24, BUTTON_Y = 3;
const int TASK_LEFT = 100 + 2, TASK_AREA_W = SCREEN_W - TASK_LEFT - 80 - 2, BUTTON_MAX_CX = 160;
const int BAR_TOP = SCREEN_H - BAR_H;

// Middle of the button at a position when every button has its full width.
POINT FixedButtonCenter(int position)
{
    return POINT{TASK_LEFT + position * BUTTON_MAX_CX + BUTTON_MAX_CX / 2, BAR_TOP + BUTTON_Y + BUTTON_H / 2};
}

class TaskbarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ShellHarness::InstallDefaultHome(home.path());
        ASSERT_TRUE(shell.Start());
        ASSERT_TRUE(shell.WaitForLine(L"Zorv Startup Done!"));
        bar = FindWindowOfClass(shell.processId(), L"ZORV_TASKBAR_CLASS");
        ASSERT_NE(nullptr, bar);
        background = ScreenShot().Pixel(SCREEN_W - 80 - 1, BAR_TOP + BUTTON_Y + 1);  // the gap left of the clock
    }

    // A button is drawn at the point when the bar there is not its plain background.
    bool ButtonDrawnAt(POINT point) { return ScreenShot().Pixel(point.x, BAR_TOP + BUTTON_Y + 1) != background; }

    HWND StartApp(const std::wstring& title, const std::wstring& options = L"")
    {
        apps.Start(L"\"--title=" + title + L"\" " + options);
        return SampleApps::WaitForWindow(title);
    }

    TempDirectory home;
    ShellHarness shell{home.path()};
    SampleApps apps;
    HWND bar = NULL;
    COLORREF background = 0;
};

TEST_F(TaskbarTest, StandsAlongTheBottomAndLogsItsCreation)
{
    RECT rect;
    GetWindowRect(bar, &rect);
    EXPECT_EQ(0, rect.left);
    EXPECT_EQ(BAR_TOP, rect.top);
    EXPECT_EQ(SCREEN_W, rect.right);
    EXPECT_EQ(SCREEN_H, rect.bottom);
    EXPECT_TRUE(IsWindowVisible(bar));
    EXPECT_EQ(L"Zorv TaskBar", WindowTitle(bar));
    EXPECT_EQ(static_cast<LONG_PTR>(WS_EX_NOACTIVATE | WS_EX_TOPMOST),
              GetWindowLongPtrW(bar, GWL_EXSTYLE) & (WS_EX_NOACTIVATE | WS_EX_TOPMOST));

    int at = shell.FindLine(L"Creating taskbar window...");
    for (const wchar_t* line : {L"Loading taskbar buffer...", L"[OK]", L"Loading taskbar objects...", L"[OK]", L"[OK]",
                                L"Zorv Startup Done!"}) {
        int next = shell.FindLine(line, at + 1);
        ASSERT_EQ(at + 1, next) << ToUtf8(line);
        at = next;
    }
    // The clock draws the time in white on its first tick.
    ASSERT_TRUE(WaitUntil([] {
        return ScreenShot().Count(RECT{SCREEN_W - 80, BAR_TOP, SCREEN_W, SCREEN_H}, RGB(255, 255, 255)) > 10;
    }));
}

TEST_F(TaskbarTest, ButtonsFollowWindowsInTheirOrder)
{
    EXPECT_FALSE(ButtonDrawnAt(FixedButtonCenter(0))) << "no windows, no buttons";
    HWND first = StartApp(L"First");
    ASSERT_TRUE(WaitUntil([&] { return ButtonDrawnAt(FixedButtonCenter(0)); }));
    HWND second = StartApp(L"Second");
    HWND third = StartApp(L"Third");
    ASSERT_TRUE(WaitUntil([&] { return ButtonDrawnAt(FixedButtonCenter(2)); }));
    EXPECT_FALSE(ButtonDrawnAt(FixedButtonCenter(3)));

    // Each button brings its own window to the front (the third is in front already).
    HWND expected[] = {first, second, third};
    for (int position : {0, 1, 2}) {
        POINT center = FixedButtonCenter(position);
        Tap(center.x, center.y);
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == expected[position]; }, 3000)) << position;
    }

    // The second closes: the third takes its place.
    PostMessageW(second, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !ButtonDrawnAt(FixedButtonCenter(2)); }));
    for (int position : {0, 1}) {
        POINT center = FixedButtonCenter(position);
        Tap(center.x, center.y);
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == (position == 0 ? first : third); }, 3000));
    }
}

TEST_F(TaskbarTest, TheForegroundButtonIsPressedAndTappingItMinimises)
{
    HWND first = StartApp(L"First");
    HWND second = StartApp(L"Second");
    ASSERT_TRUE(WaitUntil([&] { return ButtonDrawnAt(FixedButtonCenter(1)); }));
    POINT a = FixedButtonCenter(0), b = FixedButtonCenter(1);

    // The faces differ on the row below the top edge: read both buttons there.
    auto faceOf = [](POINT p) { return ScreenShot().Pixel(p.x, BAR_TOP + BUTTON_Y + 1); };
    Tap(a.x, a.y);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == first; }, 3000));
    COLORREF pressed = faceOf(a), released = faceOf(b);
    EXPECT_NE(pressed, released);

    Tap(b.x, b.y);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == second; }, 3000));
    EXPECT_TRUE(WaitUntil([&] { return faceOf(b) == pressed && faceOf(a) == released; }, 2000));

    Tap(b.x, b.y);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(second) != FALSE; }, 3000)) << "tapping the pressed button minimises";
    EXPECT_EQ(released, faceOf(b)) << "and shows it up at once";
}

TEST_F(TaskbarTest, AnOwnedDialogInFrontSelectsItsOwnersButton)
{
    StartApp(L"Plain");
    HWND owner = StartApp(L"Owner", L"--dialog");
    ASSERT_TRUE(WaitUntil([&] { return ButtonDrawnAt(FixedButtonCenter(1)); }));
    HWND dialog = NULL;
    ASSERT_TRUE(WaitUntil([&] {
        dialog = GetForegroundWindow();
        return dialog && dialog != owner && GetWindow(dialog, GW_OWNER) == owner;
    })) << "the sample's dialog comes to the front";
    COLORREF plain = ScreenShot().Pixel(FixedButtonCenter(0).x, BAR_TOP + BUTTON_Y + 1);
    EXPECT_TRUE(WaitUntil([&] { return ScreenShot().Pixel(FixedButtonCenter(1).x, BAR_TOP + BUTTON_Y + 1) != plain; }));
}

TEST_F(TaskbarTest, MoreThanSixteenWindowsEndInAYellowMoreButton)
{
    apps.Start(L"--title=Many --windows=17");
    ASSERT_NE(nullptr, SampleApps::WaitForWindow(L"Many 17"));
    // Sixteen buttons share the area; the last one reads "More" in yellow.
    const int lastLeft = TASK_LEFT + TASK_AREA_W * 15 / 16, lastRight = TASK_LEFT + TASK_AREA_W;
    RECT last = {lastLeft, BAR_TOP + BUTTON_Y, lastRight, BAR_TOP + BUTTON_Y + BUTTON_H};
    EXPECT_TRUE(WaitUntil([&] { return ScreenShot().Count(last, RGB(255, 255, 0)) > 5; }));
    RECT others = {TASK_LEFT, BAR_TOP, lastLeft, SCREEN_H};
    EXPECT_EQ(0, ScreenShot().Count(others, RGB(255, 255, 0)));

    Tap((lastLeft + lastRight) / 2, BAR_TOP + BUTTON_Y + BUTTON_H / 2);
    EXPECT_TRUE(WaitUntil([&] {
        std::wstring title = WindowTitle(GetForegroundWindow());
        return title.rfind(L"Many ", 0) == 0;
    }, 3000)) << "the More button brings one of the windows to the front";
}

TEST_F(TaskbarTest, AHungApplicationStopsNeitherTheTicksNorTheOtherButtons)
{
    HWND hung = StartApp(L"Hung", L"--hang-after=0");
    ASSERT_NE(nullptr, hung);
    ASSERT_TRUE(WaitUntil([&] { return ButtonDrawnAt(FixedButtonCenter(0)); }));
    HWND live = StartApp(L"Live");
    ASSERT_TRUE(WaitUntil([&] { return ButtonDrawnAt(FixedButtonCenter(1)); })) << "ticks go on";
    // Tapping the hung window's button, twice, must not block the shell.
    POINT hungButton = FixedButtonCenter(0), liveButton = FixedButtonCenter(1);
    Tap(hungButton.x, hungButton.y);
    Tap(hungButton.x, hungButton.y);
    Tap(liveButton.x, liveButton.y);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == live; }, 3000));
    HWND another = StartApp(L"Another");
    EXPECT_NE(nullptr, another);
    EXPECT_TRUE(WaitUntil([&] { return ButtonDrawnAt(FixedButtonCenter(2)); }));
}

TEST(TaskbarDesktop, FitsASmallerScreen)
{
    HKEY desktops;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\Explorer\\Desktops", 0, NULL, 0,
                                             KEY_SET_VALUE, NULL, &desktops, NULL));
    const WCHAR size[] = L"640x480";
    RegSetValueExW(desktops, L"zorv640", 0, REG_SZ, reinterpret_cast<const BYTE*>(size), sizeof size);
    RegCloseKey(desktops);

    TempDirectory home;
    ShellHarness::InstallDefaultHome(home.path());
    ShellHarness shell(home.path());
    ASSERT_TRUE(shell.Start(L"zorv640"));
    ASSERT_TRUE(shell.WaitForLine(L"Zorv Startup Done!"));
    HWND bar = FindWindowOfClass(shell.processId(), L"ZORV_TASKBAR_CLASS", L"zorv640");
    ASSERT_NE(nullptr, bar);
    RECT rect;
    GetWindowRect(bar, &rect);
    EXPECT_EQ(0, rect.left);
    EXPECT_EQ(480 - BAR_H, rect.top);
    EXPECT_EQ(640, rect.right);
    EXPECT_EQ(480, rect.bottom);
}

}  // namespace

namespace {

TEST(TaskbarTheme, AMissingBitmapIsFatalButCreationGoesOn)
{
    TempDirectory home;
    ShellHarness::InstallDefaultHome(home.path());
    const std::wstring missing = home / L"theme\\Lagoon\\TBTNU1.bmp";
    DeleteFileW(missing.c_str());
    ShellHarness shell(home.path());
    ASSERT_TRUE(shell.Start());

    MessageBoxSeen box;
    ASSERT_TRUE(shell.AnswerMessageBox(&box));
    EXPECT_NE(std::wstring::npos,
              box.text.find(L"Failed to start Lumaro: Main memory is very low, or resource of Lumaro is not found."));
    EXPECT_NE(std::wstring::npos, box.text.find(L"Cannot Load BMP - Path:\"" + missing + L"\"")) << ToUtf8(box.text);
    DWORD exitCode = 0;
    ASSERT_TRUE(shell.WaitForExit(&exitCode));
    EXPECT_EQ(1u, exitCode);
    int failed = shell.FindLine(L"Cannot Load BMP");
    EXPECT_EQ(failed + 1, shell.FindLine(L"[NG]", failed)) << "the buffer step fails at the missing bitmap";
    EXPECT_NE(-1, shell.FindLine(L"Loading taskbar objects...", failed)) << "the objects step still runs";
    EXPECT_NE(-1, shell.FindLine(L"Zorv Startup Done!", failed));
}

}  // namespace
