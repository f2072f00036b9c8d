#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <random>
#include <utility>

#include "harness.h"
#include "resource.h"
#include "taskbar/window_chooser.h"
#include "theme/theme_parts.h"

namespace {

// The bundled theme on the 800 x 480 desktop: a bar of 30, a start menu of 400 x 390 above it.
const int SCREEN_W = 800, SCREEN_H = 480, BAR_TOP = SCREEN_H - 30, CLOCK_LEFT = SCREEN_W - 80, MENU_TOP = BAR_TOP - 390;
const int TASK_LEFT = 100 + 2, BUTTON_MAX_CX = 160;
const int FACE_Y = 3 + 1;  // the row of a task button, 3 below the bar's top, where its faces differ
const int TAP_Y = BAR_TOP + 3 + 24 / 2;
const POINT START_BUTTON = {40, BAR_TOP + 15}, SHORTCUT_0 = {100, MENU_TOP + 91}, SIDE_ITEM_5 = {300, MENU_TOP + 233},
            RUN = {300, MENU_TOP + 305}, EXIT_BUTTON = {337, MENU_TOP + 369},
            ALL_PROGRAMS = {28, MENU_TOP + 332},  // (20, 12) of the All Programs face
            SHORTCUT_0_EDGE = {8 + 183, MENU_TOP + 73 + 2};  // (183, 2) of the first shortcut's face

// The battery, where the simulated device has one, is the first icon of the notification area (position -1).
int Battery()
{
    SYSTEM_POWER_STATUS power = {};
    return GetSystemPowerStatus(&power) && !(power.BatteryFlag & 128) ? 1 : 0;
}
int ButtonX(int position) { return TASK_LEFT + position * BUTTON_MAX_CX + BUTTON_MAX_CX / 2; }
bool Has(const std::wstring& text, const std::wstring& fragment) { return text.find(fragment) != std::wstring::npos; }
HWND Shown(const wchar_t* className, const wchar_t* title)
{
    HWND window = FindWindowW(className, title);
    return IsWindowVisible(window) ? window : NULL;
}
bool MenuShown() { return Shown(L"ZORV_START_CLASS", NULL) != NULL; }
void TapAt(POINT point) { Tap(point.x, point.y); }

// A copy of the sample application that shows its window with the show command it is given,
// as many programs do, under the title.
void InstallApplication(const fs::path& folder, const std::string& title)
{
    fs::create_directories(folder);
    fs::copy_file(BuildPath(L"tools\\sample-app\\zorv-sample-app.exe"), folder / L"AppMain.exe",
                  fs::copy_options::overwrite_existing);
    WriteBytes((folder / L"app.cfg").wstring(), "--show=given\n--title=" + title + "\n");
}

// The shell on the desktop, its bundled home in a folder with a Japanese name, without its
// user picture (start-up only logs that) and with shortcut 0 starting a sample application;
// the device's volumes on drive C: hold My Documents and one application, "Memo".
class Desktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveVolumes();
        fs::create_directories(L"C:\\NAND3\\My Documents");
        InstallApplication(L"C:\\Storage Card\\\u30A2\u30D7\u30EA\\\u30E1\u30E2", "Memo");
        fs::create_directories(home);
        InstallDefaultHome(home);
        fs::remove(home / L"settings\\user.bmp");
        InstallApplication(home / L"shortcut", "Shortcut");
        InstallApplication(home / L"fourth", "Fourth");
        std::string settings = ReadBytes((home / L"settings\\settings.cfg").wstring());
        const auto replace = [&](const std::string& line, const std::string& by) {
            settings.replace(settings.find(line), line.size(), by);
        };
        replace("Menu0.Path=\\Windows\\notepad.exe", "Menu0.Path=" + ToUtf8((home / L"shortcut\\AppMain.exe").wstring()));
        replace("Menu3.Path=\\Windows\\system32\\clock.exe", "Menu3.Path=" + ToUtf8((home / L"fourth\\AppMain.exe").wstring()));
        replace("[Main]\n", "[Main]\nMenuKey=F9\n");
        WriteBytes((home / L"settings\\settings.cfg").wstring(), settings);
        StartShell();
    }
    void StartShell()
    {
        shell = std::make_unique<Shell>(home);
        ASSERT_TRUE(shell->WaitForOutput(L"Zorv Startup Done!"));
        ASSERT_NE(nullptr, bar = FindWindowW(L"ZORV_TASKBAR_CLASS", NULL));
        background = ThemePixel(L"TASKBAR", 0, FACE_Y);
        up = ThemePixel(L"TBTNU1", 0, 1);
        down = ThemePixel(L"TBTND1", 0, 1);
        ASSERT_NE(up, down);
        // The bar paints after start-up is done: wait for its background beside the clock.
        ASSERT_TRUE(WaitUntil([&] { return ScreenShot().Pixel(CLOCK_LEFT - 1, BAR_TOP + FACE_Y) == background; }));
    }
    // What the shell started lives on after it, and would keep the test's output open.
    void TearDown() override
    {
        if (HasFailure()) printf("The shell's log:\n%s\n", ToUtf8(shell->Output()).c_str());
        for (const wchar_t* title : {L"Shortcut", L"Memo", L"Fourth"}) {
            PostMessageW(Shown(NULL, title), WM_CLOSE, 0, 0);
            EXPECT_TRUE(WaitUntil([&] { return !Shown(NULL, title); }, 3000)) << ToUtf8(title);
        }
        RemoveVolumes();
    }
    static void RemoveVolumes()
    {
        std::error_code ignored;
        for (const wchar_t* volume : {L"C:\\NAND3", L"C:\\Storage Card"}) fs::remove_all(volume, ignored);
    }

    COLORREF ThemePixel(const std::wstring& bitmap, int x, int y)
    {
        return ScreenShot(home / L"theme\\Lagoon" / (bitmap + L".bmp")).Pixel(x, y);
    }
    COLORREF At(POINT point) { return ScreenShot().Pixel(point.x, point.y); }
    // Whether the point shows the colour within 3 s; failing, what it shows, in whose window,
    // and which window is in front.
    ::testing::AssertionResult Shows(POINT point, COLORREF colour)
    {
        if (WaitUntil([&] { return At(point) == colour; }, 3000)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << std::hex << "pixel " << At(point) << " for " << colour << " in "
                                             << WindowName(WindowFromPoint(point)) << ", in front "
                                             << WindowName(GetForegroundWindow());
    }
    COLORREF Face(int position) { return At({ButtonX(position), BAR_TOP + FACE_Y}); }
    bool Drawn(int position) { return Face(position) != background; }
    // The middle of a task button's icon, inside its tile whatever the face around it.
    std::vector<COLORREF> TaskIcon(int position)
    {
        const int x = TASK_LEFT + position * BUTTON_MAX_CX + 4 + 3, y = BAR_TOP + 3 + 5 + 3;
        return ScreenShot().Pixels({x, y, x + 10, y + 10});
    }
    // Under Wine another process cannot ask a window for its icon: an icon other than the first
    // shows on its button from the sample's variant whose file icon it is.
    HWND StartApp(const std::wstring& title, const std::wstring& options = L"", std::wstring shown = L"")
    {
        const size_t icon = options.find(L"--icon=");
        const std::wstring variant = icon == std::wstring::npos || options[icon + 7] == L'0'
                                         ? L""
                                         : L"-icon" + options.substr(icon + 7, 1);
        apps.push_back(std::make_unique<Program>(
            L"\"" + BuildPath(L"tools\\sample-app\\zorv-sample-app" + variant + L".exe").wstring() +
            L"\" \"--title=" + title + L"\" " + options));
        HWND found = NULL;
        WaitUntil([&] { return (found = Shown(NULL, (shown.empty() ? title : shown).c_str())) != NULL; });
        return found;
    }
    // Under Wine a menu opened while another program is in front can lose the activation it
    // was given at once, and so close again, or keep its first picture off the screen read
    // back: the user opens it once more. The key's opening puts the focus on the first shortcut.
    bool OpenMenu(POINT item = {}, bool byKey = false)  // and then taps the item given
    {
        const COLORREF firstShortcut = ThemePixel(byKey ? L"MAIND" : L"MAINU", 183, 2);
        const auto toggle = [&] { byKey ? PressKey(VK_ESCAPE, true) : TapAt(START_BUTTON); };
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (MenuShown()) toggle(), WaitUntil([] { return !MenuShown(); }, 1500);
            toggle();
            if (!WaitUntil([] { return MenuShown() && !WaitUntil([] { return !MenuShown(); }, 300); }, 3000)) continue;
            if (!WaitUntil([&] { return At(SHORTCUT_0_EDGE) == firstShortcut; }, 3000)) continue;
            if (item.x) TapAt(item);
            return true;
        }
        return false;
    }

    // Lumaro Settings changed and OK: the restart's question, its box.
    HWND AskRestart()
    {
        HWND dialog = NULL, box = NULL;
        EXPECT_TRUE(OpenMenu());
        TapAt(SIDE_ITEM_5);
        EXPECT_TRUE(WaitUntil([&] { return (dialog = Shown(L"#32770", L"Lumaro Settings")) != NULL; }));
        SendMessageW(GetDlgItem(dialog, IDC_SETTINGS_CLOCK_12), BM_CLICK, 0, 0);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntil([&] { return (box = GetLastActivePopup(dialog)) != dialog; }));
        return box;
    }
    // Yes to the question: this shell ends, and the new one's bar is painted; the new shell,
    // ended with the object.
    std::unique_ptr<Program> Restart(HWND box)
    {
        PostMessageW(box, WM_COMMAND, IDYES, 0);
        EXPECT_EQ(0u, shell->ExitCode());
        HWND newBar = NULL;
        EXPECT_TRUE(WaitUntil([&] { return (newBar = Shown(L"ZORV_TASKBAR_CLASS", NULL)) != NULL && newBar != bar; }));
        DWORD processId = 0;
        GetWindowThreadProcessId(newBar, &processId);
        EXPECT_TRUE(WaitUntil([&] { return ScreenShot().Pixel(CLOCK_LEFT - 1, BAR_TOP + FACE_Y) == background; }));
        return std::make_unique<Program>(processId);
    }

    TempDirectory temp;
    // Its name holds the restart's option, naming this process: a shell that took it for its own
    // would wait for the test.
    const fs::path home = fs::path(temp.path()) / (L"ホーム --after=" + std::to_wstring(GetCurrentProcessId()));
    std::unique_ptr<Shell> shell;
    std::vector<std::unique_ptr<Program>> apps;
    HWND bar = NULL;
    COLORREF background = 0, up = 0, down = 0;
};

// The pen kept at a point of the bar until a menu is up, then lifted; the menu, NULL when none
// came. The pointer goes there first: X delivers its earlier motion late, and a pen that is
// seen to leave the button holds nothing.
HWND HoldAt(int x)
{
    SetCursorPos(x, TAP_Y);
    Sleep(200);
    HWND popup = NULL;
    Tap(x, TAP_Y, [&] { WaitUntil([&] { return (popup = Shown(L"#32768", NULL)) != NULL; }, 3000); });
    return popup;
}
// A menu's lines are all of one height: their number, or a tap on one of them.
enum TaskMenuLine { TITLE_LINE, FRONT_LINE, MINIMISE_LINE, CLOSE_LINE, TASK_MENU_LINES };
int MenuLines(HWND popup, int tapLine = -1)
{
    const int lineCY = 24;
    RECT rect;
    GetWindowRect(popup, &rect);
    const int lines = (rect.bottom - rect.top) / lineCY, border = (rect.bottom - rect.top - lines * lineCY) / 2;
    if (tapLine >= 0) Tap(rect.left + 60, rect.top + border + tapLine * lineCY + lineCY / 2);
    return lines;
}
// The first and the last column of the screen area where the colour stands; {right, left}
// of the area where it does not.
std::pair<int, int> Columns(const RECT& area, COLORREF colour)
{
    ScreenShot shot;
    int left = area.right, right = area.left;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (shot.Pixel(x, y) == colour) left = std::min(left, x), right = std::max(right, x);
    return {left, right};
}
// How far right the system colour reaches in a line of the menu; 0 where it is not.
int RightmostIn(HWND popup, int line, int colour)
{
    RECT rect;
    GetWindowRect(popup, &rect);
    const int top = rect.top + (rect.bottom - rect.top - MenuLines(popup) * 24) / 2 + line * 24;
    return Columns({rect.left, top, rect.right, top + 24}, GetSysColor(colour)).second - rect.left;
}
int ClockSpan()  // the columns of the clock's time in white
{
    const auto [left, right] = Columns({CLOCK_LEFT, BAR_TOP, SCREEN_W, SCREEN_H}, RGB(255, 255, 255));
    return right - left;
}
bool Answers(HWND window)
{
    DWORD_PTR answer;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer) != 0;
}

TEST_F(Desktop, ATaskButtonMinimisesAndRestoresItsWindowAndItsHeldMenuActsOnItAndOnNothingOnceItHasGone)
{
    HWND first = StartApp(L"First"), second = StartApp(L"Second", L"--icon=3");
    ASSERT_TRUE(second && WaitUntil([&] { return Drawn(1); }));
    // The first in front, as the bar knows it: a tap on the button of the window in front
    // would minimise it.
    ASSERT_TRUE(ToFront(first) && WaitUntil([&] { return Face(0) == down; }, 3000));
    bool brought = false;  // before the pen is lifted: buttons act on the press
    Tap(ButtonX(1), TAP_Y, [&] { brought = WaitUntil([&] { return GetForegroundWindow() == second; }, 3000); });
    ASSERT_TRUE(brought);

    // The press brings the window forward as a tap does; the hold adds the menu on the bar.
    HWND popup = HoldAt(ButtonX(0));
    ASSERT_NE(nullptr, popup);
    RECT rect;
    GetWindowRect(popup, &rect);
    EXPECT_EQ(std::make_pair(static_cast<int>(TASK_MENU_LINES), BAR_TOP), std::make_pair(MenuLines(popup), static_cast<int>(rect.bottom)));
    // A shown window's menu offers Bring to front and Minimise.
    int frontRight = -1;
    EXPECT_TRUE(WaitUntil([&] { return (frontRight = RightmostIn(popup, FRONT_LINE, COLOR_MENUTEXT)) > 0; }, 3000));
    EXPECT_GT(RightmostIn(popup, MINIMISE_LINE, COLOR_MENUTEXT), 0);
    PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(WaitUntil([&] { return GetForegroundWindow() != first || IsIconic(first); }, 1000)) << "as the press left it";

    // Held while in front, the press minimises it and draws its button up, which the ticks
    // while the menu is open leave up; the menu offers Restore, shorter, and grays Minimise.
    // Restore brings it back, its button pressed.
    ASSERT_NE(nullptr, popup = HoldAt(ButtonX(0)));
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(first) != FALSE; }, 3000));
    int restoreRight = -1;
    EXPECT_TRUE(WaitUntil([&] { return (restoreRight = RightmostIn(popup, FRONT_LINE, COLOR_MENUTEXT)) > 0; }, 3000));
    EXPECT_LT(restoreRight, frontRight);
    EXPECT_TRUE(RightmostIn(popup, MINIMISE_LINE, COLOR_MENUTEXT) <= 0 && RightmostIn(popup, MINIMISE_LINE, COLOR_GRAYTEXT) > 0);
    SetWindowTextW(second, L"Second, renamed");  // the next tick draws every button afresh
    EXPECT_FALSE(WaitUntil([&] { return Face(0) != up; }, 1500)) << "drawn up, and the ticks do not press it";
    MenuLines(popup, FRONT_LINE);
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(first) && GetForegroundWindow() == first && Face(0) == down; }, 3000));
    ASSERT_NE(nullptr, popup = HoldAt(ButtonX(1)));
    MenuLines(popup, MINIMISE_LINE);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(second) != FALSE; }, 3000));
    ShowWindow(second, SW_RESTORE);

    // The first window closes while its menu is open, and the second takes its button, its
    // icon too: the menu's Minimise does nothing to it. Close closes the second.
    const std::vector<COLORREF> secondIcon = TaskIcon(1);
    ASSERT_NE(secondIcon, TaskIcon(0));
    ASSERT_NE(nullptr, popup = HoldAt(ButtonX(0)));
    PostMessageW(first, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(first); }, 3000));
    Sleep(1000);  // ticks run while the menu is open
    MenuLines(popup, MINIMISE_LINE);
    EXPECT_FALSE(WaitUntil([&] { return IsIconic(second) != FALSE; }, 1500));
    EXPECT_TRUE(WaitUntil([&] { return !Drawn(1); })) << "the next tick drops the button";
    EXPECT_EQ(secondIcon, TaskIcon(0));
    ASSERT_NE(nullptr, popup = HoldAt(ButtonX(0)));
    MenuLines(popup, CLOSE_LINE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(second) && !Drawn(0); }));
}

TEST_F(Desktop, CloseAgainOffersEndTaskForAHungOrLingeringApplicationOnly)
{
    const auto closeAndFindBox = [&](int position, DWORD timeoutMs) {
        HWND popup = HoldAt(ButtonX(position)), box = NULL;
        EXPECT_TRUE(popup && Answers(bar)) << "the taskbar answers while its menu is open";
        MenuLines(popup, CLOSE_LINE);
        WaitUntil([&] { return (box = Shown(L"#32770", L"End task")) != NULL; }, timeoutMs);
        return box;
    };
    const std::wstring longTitle = L"Hung" + std::wstring(120, L'W');
    HWND lingering = StartApp(L"Lingering", L"--refuse-close"), hung = StartApp(longTitle, L"--hang-after=0");
    ASSERT_TRUE(hung && WaitUntil([&] { return Drawn(1); }));

    // An application that answers but does not close is asked again, until the grace is over.
    EXPECT_EQ(nullptr, closeAndFindBox(0, 0));
    const DWORD firstClose = GetTickCount();
    EXPECT_EQ(nullptr, closeAndFindBox(0, 1000)) << "it answers";
    Sleep(5200 - (GetTickCount() - firstClose));
    HWND box = closeAndFindBox(0, 3000);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(L"Program: zorv-sample-app.exe", WindowText(GetDlgItem(box, IDC_END_TASK_PROGRAM)));
    EXPECT_EQ(L"Window: Lingering", WindowText(GetDlgItem(box, IDC_END_TASK_WINDOW)));
    EXPECT_TRUE(Answers(bar)) << "and while the box is open";
    PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(WaitUntil([&] { return !IsWindow(lingering); }, 1000)) << "Cancel leaves it";

    // A hung application: a tap brings it forward and the next minimises it, neither waiting for
    // it; it gets End task when Close is chosen again, its long title cut; OK ends it.
    ASSERT_TRUE(WaitUntil([&] { return !Answers(hung); }, 5000));
    Tap(ButtonX(1), TAP_Y);
    Tap(ButtonX(1), TAP_Y);
    // Held in front, its press asks it to minimise, which it never does: the menu offers what
    // the press asked for, Minimise grayed.
    HWND popup = HoldAt(ButtonX(1));
    ASSERT_NE(nullptr, popup);
    EXPECT_TRUE(WaitUntil([&] { return RightmostIn(popup, MINIMISE_LINE, COLOR_GRAYTEXT) > 0; }, 3000));
    EXPECT_LE(RightmostIn(popup, MINIMISE_LINE, COLOR_MENUTEXT), 0);
    PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(popup); }));
    EXPECT_EQ(nullptr, closeAndFindBox(1, 0));
    ASSERT_NE(nullptr, box = closeAndFindBox(1, 3000));
    const std::wstring window = WindowText(GetDlgItem(box, IDC_END_TASK_WINDOW));
    EXPECT_TRUE(window.rfind(L"Window: HungW", 0) == 0 && window.size() < longTitle.size() &&
                window.substr(window.size() - 3) == L"...") << ToUtf8(window);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_NE(STILL_ACTIVE, apps.back()->ExitCode(5000)) << "its process is gone";
    EXPECT_TRUE(WaitUntil([&] { return !Drawn(1) && Answers(bar); })) << "and its button";
    EXPECT_TRUE(Has(shell->Output(), L"End task: \""));
}

TEST_F(Desktop, HoldingMoreListsTheWindowsFromTheSixteenthInOrderAndBringsTheChosenForward)
{
    ASSERT_NE(nullptr, StartApp(L"Many", L"--windows=15", L"Many 15"));
    ASSERT_TRUE(WaitUntil([&] { return Drawn(14); }));
    const int areaW = CLOCK_LEFT - 2 - TASK_LEFT - (Battery() ? 24 : 0);  // the battery's area beside the clock
    const RECT more = {TASK_LEFT + areaW * 15 / 16, BAR_TOP, TASK_LEFT + areaW, SCREEN_H};
    const int moreX = (more.left + more.right) / 2;
    std::vector<HWND> beyond;  // one tick apart, so that the task list appends them in this order
    for (int n = 16; n <= 20; ++n) {
        beyond.push_back(StartApp(L"Extra " + std::to_wstring(n)));
        Sleep(1100);
        if (n > 17) continue;
        // Held, the sixteenth of sixteen has its window's menu (Restore, as the press minimised
        // it); the More of seventeen lists two.
        HWND popup = HoldAt(moreX);
        EXPECT_EQ(n == 16 ? TASK_MENU_LINES : 2, popup ? MenuLines(popup, n == 16 ? FRONT_LINE : 0) : 0) << n;
    }
    EXPECT_TRUE(WaitUntil([&] {
        const std::vector<COLORREF> pixels = ScreenShot().Pixels(more);
        return std::count(pixels.begin(), pixels.end(), RGB(255, 255, 0)) > 5;
    })) << "the last reads More in yellow";
    for (int line = 0; line < 5; ++line) {
        HWND popup = HoldAt(moreX);
        ASSERT_NE(nullptr, popup);
        EXPECT_EQ(5, MenuLines(popup, line));
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == beyond[line]; }, 3000)) << line;
    }
    Sleep(1000);  // a tick finds the chosen window in front: the tap is no second tap on the sixteenth
    Tap(moreX, TAP_Y);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == beyond[0]; }, 3000)) << "a tap acts on the sixteenth";
}

TEST_F(Desktop, TheStartMenuOpensClosesStartsProgramsAsTappedAndItsExitFadesTheScreenBehindTheDialogWhoseOkEndsTheShell)
{
    // The start button opens the menu on the bar at the left edge, in the shape of STARTBACK.
    EXPECT_FALSE(MenuShown());
    ASSERT_TRUE(OpenMenu());
    HWND menu = Shown(L"ZORV_START_CLASS", NULL);
    RECT rect, expected = {0, MENU_TOP, 400, BAR_TOP};
    GetWindowRect(menu, &rect);
    EXPECT_TRUE(EqualRect(&expected, &rect)) << rect.left << " " << rect.top << " " << rect.right << " " << rect.bottom;
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(COMPLEXREGION, GetWindowRgn(menu, shape)) << "cut by the key colour";
    DeleteObject(shape);
    const COLORREF startDown = ThemePixel(L"STARTBUTTOND", START_BUTTON.x, 15);
    EXPECT_TRUE(WaitUntil([&] { return At(START_BUTTON) == startDown; })) << "the start button is drawn pressed";
    TapAt(START_BUTTON);
    EXPECT_TRUE(WaitUntil([] { return !MenuShown(); }, 3000)) << "and closes it again";
    EXPECT_TRUE(WaitUntil([&] { return At(START_BUTTON) != startDown; }));

    // All Programs opens its popup on the press, at the button's corner, the button pressed;
    // dismissed, the menu stays; chosen, the application starts and the menu closes.
    ASSERT_TRUE(OpenMenu(ALL_PROGRAMS));
    HWND popup = NULL;
    ASSERT_TRUE(WaitUntil([&] { return (popup = Shown(L"#32768", NULL)) != NULL; }, 3000));
    GetWindowRect(popup, &rect);
    EXPECT_EQ(std::make_pair(8L + 186, MENU_TOP + 320L + 24), std::make_pair(rect.left, rect.bottom));
    PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntil([] { return !Shown(L"#32768", NULL); }, 3000));
    EXPECT_TRUE(MenuShown());
    const COLORREF allProgramsDown = ThemePixel(L"ALLPROGRAMSD", 20, 12);
    EXPECT_TRUE(WaitUntil([&] { return At(ALL_PROGRAMS) != allProgramsDown; })) << "the button drawn up again";
    TapAt(ALL_PROGRAMS);
    ASSERT_TRUE(WaitUntil([&] { return (popup = Shown(L"#32768", NULL)) != NULL; }, 3000));
    GetWindowRect(popup, &rect);
    Tap(rect.left + 20, rect.bottom - (rect.bottom - rect.top) / 4);  // "SD Card:", then "メモ"
    EXPECT_TRUE(WaitUntil([] { return Shown(NULL, L"Memo") != NULL; }));
    EXPECT_TRUE(WaitUntil([] { return !MenuShown(); }, 3000));

    // A shortcut starts its program shown and in front; activating it later closes the menu
    // and leaves it in front.
    ASSERT_TRUE(OpenMenu(SHORTCUT_0));
    EXPECT_TRUE(WaitUntil([] { return !MenuShown(); }, 3000));
    HWND started = NULL;
    ASSERT_TRUE(WaitUntil([&] { return (started = Shown(NULL, L"Shortcut")) != NULL; })) << "started with SW_SHOWNORMAL";
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == started; }));
    ASSERT_TRUE(OpenMenu());
    GetWindowRect(started, &rect);
    Tap(rect.right - 15, rect.top + 50);  // beside the menu
    EXPECT_TRUE(WaitUntil([] { return !MenuShown(); }, 3000));
    EXPECT_FALSE(WaitUntil([&] { return GetForegroundWindow() != started; }, 1000))
        << "in front instead: " << WindowName(GetForegroundWindow());

    // The exit button: the screen fades behind the exit dialog, and OK ends the shell.
    const POINT orange = {10, BAR_TOP + 15};  // on the start button
    const COLORREF unfaded = ThemePixel(L"STARTBUTTONU", orange.x, 15);
    const int grey = (GetRValue(unfaded) + GetGValue(unfaded) + GetBValue(unfaded)) / 3;
    ASSERT_TRUE(OpenMenu(EXIT_BUTTON));
    EXPECT_TRUE(WaitUntil([] { return !MenuShown(); }, 3000)) << "the menu goes at once";
    HWND dialog = NULL;
    ASSERT_TRUE(WaitUntil([&] { return Shown(L"ZORV_EXITDLG_CLASS", NULL) && (dialog = Shown(L"#32770", L"Exit Lumaro")); }));
    ExpectInOrder(shell->Output(), {L"func top\n", L"class\n", L"CreateWnd\n"});
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_EXIT_SHELL)) << "\"Exit Lumaro?\" is checked at first";
    EXPECT_TRUE(WaitUntil([&] { return At(orange) == RGB(grey, grey, grey); }, 9000)) << "faded to grey";

    // Another window brought in front is put behind the faded screen and the dialog again.
    HWND intruder = StartApp(L"Intruder");
    ASSERT_TRUE(ToFront(intruder));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }, 3000));
    EXPECT_TRUE(Shows(orange, RGB(grey, grey, grey))) << "the bar faded behind it as well";

    // Cancel returns to the desktop, the taskbar answers, and a second opening works alike.
    SendMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([] { return !Shown(L"ZORV_EXITDLG_CLASS", NULL); }, 3000));
    ASSERT_TRUE(OpenMenu(EXIT_BUTTON));
    ASSERT_TRUE(WaitUntil([&] { return (dialog = Shown(L"#32770", L"Exit Lumaro")) != NULL; }));
    EXPECT_TRUE(Has(shell->Output(), L"RegClass Error"));
    // The desktop cannot reset: both reset choices are disabled, and OK can only mean exit,
    // even with a reset checked from outside.
    const auto enabled = [&](int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; };
    EXPECT_TRUE(enabled(IDC_EXIT_SHELL) && !enabled(IDC_SOFT_RESET) && !enabled(IDC_HARD_RESET));
    SendMessageW(dialog, WM_COMMAND, IDC_HARD_RESET, 0);
    EXPECT_EQ(std::make_pair(0u + BST_UNCHECKED, 0u + BST_CHECKED),
              std::make_pair(IsDlgButtonChecked(dialog, IDC_EXIT_SHELL), IsDlgButtonChecked(dialog, IDC_HARD_RESET)))
        << "one radio button checked, the one clicked";
    SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(0u, shell->ExitCode());
}

// The keyboard alone: Ctrl+Esc over a program in front opens the menu with the focus on the
// first shortcut, Down three times and Enter start the fourth; the settings' key opens it
// too, and Right on All Programs and Enter start the first application. Opened by the pen, the
// menu shows no focus until a key; over a dialog of the shell, no key opens it.
TEST_F(Desktop, KeysOpenTheMenuOverAProgramMoveThroughItAndDoWhatATapDoes)
{
    HWND front = StartApp(L"Front");
    ASSERT_TRUE(ToFront(front));
    const POINT side0 = {207 + 183, MENU_TOP + 73 + 2};
    const COLORREF shortcutDown = ThemePixel(L"MAIND", 183, 2), sideDown = ThemePixel(L"SIDE0D", 183, 2);
    ASSERT_NE(ThemePixel(L"MAINU", 183, 2), shortcutDown);
    ASSERT_TRUE(OpenMenu({}, true));
    PressKey(VK_RIGHT);
    EXPECT_TRUE(Shows(side0, sideDown) && At(SHORTCUT_0_EDGE) != shortcutDown) << "one focus, on the side item";
    PressKey(VK_LEFT);
    for (int i = 0; i < 3; ++i) PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([] { return Shown(NULL, L"Fourth") != NULL; }));
    EXPECT_TRUE(WaitUntil([] { return !MenuShown(); }, 3000));

    ASSERT_TRUE(OpenMenu());  // showing no focus
    PressKey(VK_TAB);
    EXPECT_TRUE(Shows(SHORTCUT_0_EDGE, shortcutDown));
    PressKey(VK_F9);
    EXPECT_TRUE(WaitUntil([] { return !MenuShown(); }, 3000)) << "the settings' key closes it";
    PressKey(VK_F9);
    ASSERT_TRUE(WaitUntil(MenuShown, 3000));
    for (int i = 0; i < 6; ++i) PressKey(VK_DOWN);
    PressKey(VK_RIGHT);
    ASSERT_TRUE(WaitUntil([] { return Shown(L"#32768", NULL) != NULL; }, 3000));
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([] { return Shown(NULL, L"Memo") != NULL; }));
    EXPECT_TRUE(WaitUntil([] { return !MenuShown(); }, 3000));

    HWND run = NULL;
    ASSERT_TRUE(OpenMenu(RUN));
    ASSERT_TRUE(WaitUntil([&] { return (run = Shown(L"#32770", L"Run")) != NULL; }));
    PressKey(VK_ESCAPE, true);
    EXPECT_FALSE(WaitUntil(MenuShown, 1000));
    PostMessageW(run, WM_COMMAND, IDCANCEL, 0);
}

// Four windows in the buttons' order, the first in front and the fourth minimised: Alt with
// Tab three times chooses the fourth, and letting go restores it in front; Escape in the
// chooser changes nothing; Shift+Tab goes back one, and Tab past the last wraps to the first.
TEST_F(Desktop, AltTabChoosesAmongTheWindowsInTheButtonsOrderRestoresTheChosenAndEscapeCancels)
{
    HWND windows[4];
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(windows[i] = StartApp(L"Window " + std::to_wstring(i + 1)));
        ASSERT_TRUE(WaitUntil([&] { return Drawn(i); }, 3000)) << "one button at a time keeps their order";
    }
    PostMessageW(windows[3], WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(windows[3]) != FALSE; }, 3000));
    ASSERT_TRUE(ToFront(windows[0]));
    // Keys at a person's pace: each waits until the chooser shows the window it chooses, for
    // a hot key is matched against the modifiers held when the program in front reads it.
    const ChooserLayout layout = LayOutChooser(4, SIZE{SCREEN_W, SCREEN_H});
    const auto chosenShown = [&](int choice) {
        const RECT cell = ChooserCell(layout, choice);
        return Shows({layout.box.left + cell.left + 1, layout.box.top + cell.top + 1}, GetSysColor(COLOR_HIGHLIGHT));
    };
    const auto chooserShown = [] { return Shown(L"ZORV_WINDOW_CHOOSER_CLASS", NULL) != NULL; };
    struct Press {
        bool shift;
        int chosen;  // the window the chooser shows chosen after the press; -1: Escape
    };
    const auto switchWith = [&](std::initializer_list<Press> presses) {
        SendKey(VK_MENU, 0, 0);
        for (const Press& press : presses) {
            if (press.shift) SendKey(VK_SHIFT, 0, 0);
            PressKey(press.chosen < 0 ? VK_ESCAPE : VK_TAB);
            if (press.shift) SendKey(VK_SHIFT, 0, KEYEVENTF_KEYUP);
            if (press.chosen < 0)
                EXPECT_TRUE(WaitUntil([&] { return !chooserShown(); }, 3000)) << "Escape";
            else
                EXPECT_TRUE(chosenShown(press.chosen)) << press.chosen;
        }
        SendKey(VK_MENU, 0, KEYEVENTF_KEYUP);
        EXPECT_TRUE(WaitUntil([&] { return !chooserShown(); }, 3000));
    };
    const auto inFront = [&](int i) {  // and its button pressed, as the bar's next tick draws it
        return WaitUntil([&] { return GetForegroundWindow() == windows[i] && !IsIconic(windows[i]) && Face(i) == down; },
                         3000);
    };
    switchWith({{false, 1}, {false, 2}, {false, 3}});
    EXPECT_TRUE(inFront(3)) << "the fourth, restored";
    switchWith({{false, 0}, {false, -1}});
    EXPECT_FALSE(WaitUntil([&] { return GetForegroundWindow() != windows[3]; }, 1000)) << "cancelled";
    switchWith({{true, 2}, {true, 1}, {false, 2}});
    EXPECT_TRUE(inFront(2)) << "Shift+Tab back, Tab on";
    switchWith({{false, 3}, {false, 0}});
    EXPECT_TRUE(inFront(0)) << "past the last, the first";
}

// A program's window over the whole screen puts the bar behind it, by pixels; the bar is back
// while another window is in front or the menu's key opens the menu over it (Escape closes
// it), and back for good once the window closes.
TEST_F(Desktop, TheBarStepsBehindAWindowThatTakesTheWholeScreenAndComesBackWhenItLeavesTheFrontOrCloses)
{
    HWND other = StartApp(L"Other"), full = StartApp(L"Slides", L"--full-screen");
    ASSERT_TRUE(other && full);
    const auto barShown = [&](bool shown) {
        // The window's state as well as the screen: read back here, the screen can keep a
        // window's last picture where it has gone.
        return WaitUntil(
            [&] { return !IsWindowVisible(bar) != shown && (At({CLOCK_LEFT - 1, BAR_TOP + FACE_Y}) == background) == shown; },
            3000);
    };
    EXPECT_TRUE(barShown(false)) << "behind the window that took the screen";
    ASSERT_TRUE(ToFront(other));
    EXPECT_TRUE(barShown(true)) << "another window in front";
    ASSERT_TRUE(ToFront(full));
    EXPECT_TRUE(barShown(false));
    PressKey(VK_ESCAPE, true);
    EXPECT_TRUE(WaitUntil(MenuShown, 3000) && barShown(true)) << "under the menu";
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([] { return !MenuShown(); }, 3000) && ToFront(full));
    EXPECT_TRUE(barShown(false));
    PostMessageW(full, WM_CLOSE, 0, 0);
    EXPECT_TRUE(barShown(true)) << "the window closed";
}

// What the shell shows in one language: the start menu's labels and the All Programs popup,
// drawn, so as pixels; the box of the input panel's side item and the exit dialog's caption and
// controls, as texts.
struct Texts {
    std::vector<std::vector<COLORREF>> labels;  // side items 0 to 7, All Programs, exit button, its popup
    std::vector<std::wstring> texts;
};

// The area's pixels once two looks agree: a window shown may not have painted yet.
std::vector<COLORREF> Pixels(const RECT& area)
{
    std::vector<COLORREF> pixels, previous;
    WaitUntil([&] { return (previous = std::exchange(pixels, ScreenShot().Pixels(area))) == pixels; }, 3000);
    return pixels;
}

TEST_F(Desktop, JapaneseChangesEveryTextTheShellShows)
{
    // Reads what the shell shows, then ends it with the exit dialog's OK.
    const auto read = [&] {
        Texts shown;
        EXPECT_TRUE(OpenMenu());
        for (int row : {73, 101, 129, 157, 193, 221, 257, 293})  // each side item's label, from x 30
            shown.labels.push_back(Pixels({207 + 30, MENU_TOP + row, 207 + 186, MENU_TOP + row + 24}));
        shown.labels.push_back(Pixels({8, MENU_TOP + 320, 8 + 146, MENU_TOP + 320 + 24}));
        shown.labels.push_back(Pixels({276 + 30, MENU_TOP + 354, 276 + 122, MENU_TOP + 354 + 30}));
        TapAt(ALL_PROGRAMS);
        HWND window = NULL;
        EXPECT_TRUE(WaitUntil([&] { return (window = Shown(L"#32768", NULL)) != NULL; }, 3000));
        RECT popup = {};
        GetWindowRect(window, &popup);
        shown.labels.push_back(Pixels(popup));
        PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_TRUE(WaitUntil([] { return !Shown(L"#32768", NULL); }, 3000));
        TapAt({300, MENU_TOP + 257 + 12});  // side item 6
        EXPECT_TRUE(WaitUntil([&] { return (window = Shown(L"#32770", L"Zorv")) != NULL; }));
        shown.texts.push_back(AnswerBox(window));
        EXPECT_TRUE(WaitUntil([] { return !Shown(L"#32770", L"Zorv"); }, 3000) && OpenMenu(EXIT_BUTTON));
        EXPECT_TRUE(WaitUntil([&] { return Shown(L"ZORV_EXITDLG_CLASS", NULL) && (window = Shown(L"#32770", NULL)); }));
        shown.texts.push_back(WindowText(window));
        for (int id : {IDC_EXIT_QUESTION, IDC_EXIT_SHELL, IDC_SOFT_RESET, IDC_HARD_RESET, IDOK, IDCANCEL})
            shown.texts.push_back(WindowText(GetDlgItem(window, id)));
        SendMessageW(GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
        EXPECT_EQ(0u, shell->ExitCode());
        return shown;
    };
    const Texts english = read();
    EXPECT_EQ((std::vector<std::wstring>{L"This device has no input panel.", L"Exit Lumaro", L"Are you sure you want to:",
                                         L"Exit Lumaro?", L"SoftReset this device?", L"HardReset this device?", L"OK", L"Cancel"}),
              english.texts);
    std::string settings = ReadBytes((home / L"settings\\settings.cfg").wstring());
    settings.replace(settings.find("Language=English"), 16, "Language=Japanese");
    WriteBytes((home / L"settings\\settings.cfg").wstring(), settings);
    StartShell();
    const Texts japanese = read();
    for (size_t i = 0; i < english.labels.size(); ++i)  // side item 1 reads "NAND3" in both
        EXPECT_EQ(i == 1, japanese.labels[i] == english.labels[i]) << "label " << i;
    // このデバイスには入力パネルがありません。, Lumaro の終了, 次の操作を行いますか？, Lumaro を終了する, ソフトリセットする,
    // ハードリセットする, OK, キャンセル
    EXPECT_EQ((std::vector<std::wstring>{
                  L"\u3053\u306E\u30C7\u30D0\u30A4\u30B9\u306B\u306F\u5165\u529B\u30D1\u30CD\u30EB\u304C\u3042\u308A\u307E\u305B\u3093\u3002",
                  L"Lumaro \u306E\u7D42\u4E86", L"\u6B21\u306E\u64CD\u4F5C\u3092\u884C\u3044\u307E\u3059\u304B\uFF1F",
                  L"Lumaro \u3092\u7D42\u4E86\u3059\u308B", L"\u30BD\u30D5\u30C8\u30EA\u30BB\u30C3\u30C8\u3059\u308B",
                  L"\u30CF\u30FC\u30C9\u30EA\u30BB\u30C3\u30C8\u3059\u308B", L"OK", L"\u30AD\u30E3\u30F3\u30BB\u30EB"}),
              japanese.texts);
}

// Windows of a class on the desktop, shown ones only.
int CountShown(const wchar_t* className)
{
    int count = 0;
    for (HWND window = NULL; (window = FindWindowExW(NULL, window, className, NULL)) != NULL;) count += IsWindowVisible(window);
    return count;
}

// The programs' icons in the notification area of the bundled theme: 16 at 7 below the bar's
// top, 20 apart, 4 free at either end, right-aligned against the clock, after the battery.
int NotifyIconX(int position, int icons)
{
    return CLOCK_LEFT - (8 + (Battery() + icons - 1) * 20 + 16) + 4 + (Battery() + position) * 20;
}
// Whether an icon is drawn at x: a pixel of its square differs from the bar's background in
// the same row, which stands beside the clock.
bool IconAt(int x)
{
    ScreenShot shot;
    for (int y = BAR_TOP + 7; y < BAR_TOP + 23; ++y)
        for (int dx = 0; dx < 16; ++dx)
            if (shot.Pixel(x + dx, y) != shot.Pixel(CLOCK_LEFT - 1, y)) return true;
    return false;
}
std::vector<COLORREF> IconPixels(int x) { return ScreenShot().Pixels({x, BAR_TOP + 7, x + 16, BAR_TOP + 23}); }
size_t Occurrences(const std::wstring& text, const std::wstring& fragment)
{
    size_t count = 0;
    for (size_t at = text.find(fragment); at != std::wstring::npos; at = text.find(fragment, at + 1)) ++count;
    return count;
}

TEST_F(Desktop, StartsUpLogsEachStepClaimsTheWorkAreaAndDrawsTheClock)
{
    ExpectInOrder(shell->Output(), {L"Current directory: \"" + home.wstring() + L"\"\n", L"Loading Settings...\n[Log] [OK]\n",
                                    L"Initializing...\n[Log] [OK]\n",
                                    L"Creating taskbar window...\n[Log] Loading taskbar buffer...\n[Log] [OK]\n[Log] Loading taskbar "
                                    L"objects...\n[Log] [OK]\n[Log] [OK]\n[Log] Creating StartMenu window...\n[Log] Loading StartMenu "
                                    L"buffer...\n[Log] [OK]\n[Log] Loading StartMenu objects...\n",
                                    L"] Cannot Load BMP - Path:\"" + (home / L"settings\\user.bmp").wstring() + L"\"\n[Log] [OK]\n[Log] "
                                    L"[OK]\n[Log] Zorv Startup Done!\n"});  // a missing user picture is no failure
    // A program started now, in another process, sees the work area end where the bar begins:
    // maximised, its window stops at the bar (Wine measures a process's work area from the
    // tray window as the process starts, so this test's own reading may predate the bar).
    RECT barRect = {}, expectedBar = {0, BAR_TOP, SCREEN_W, SCREEN_H}, maximised = {};
    GetWindowRect(bar, &barRect);
    EXPECT_TRUE(EqualRect(&barRect, &expectedBar)) << barRect.top;
    HWND app = StartApp(L"Survivor");
    ASSERT_TRUE(app);
    ShowWindow(app, SW_MAXIMIZE);
    EXPECT_TRUE(WaitUntil([&] { return GetWindowRect(app, &maximised) && IsZoomed(app) && abs(maximised.bottom - BAR_TOP) <= 8; }))
        << maximised.bottom;
    ShowWindow(app, SW_RESTORE);
    EXPECT_EQ(L"Zorv TaskBar", WindowText(bar));
    EXPECT_EQ(WS_EX_NOACTIVATE | WS_EX_TOPMOST, GetWindowLongPtrW(bar, GWL_EXSTYLE) & (WS_EX_NOACTIVATE | WS_EX_TOPMOST));
    EXPECT_TRUE(WaitUntil([&] { return ClockSpan() > 20; })) << "the clock draws the time in white";
}

// Crashes raised from outside: a thread of the shell's own process started where no code is.
// The first, under zorv-log, and the second, without a debugger, each bring a new shell that
// stands alone over the same applications; the third within the minute ends in the fatal box.
TEST_F(Desktop, ACrashBringsANewShellOverTheSameApplicationsAndTheThirdInAMinuteTheFatalBox)
{
    DebugOutputMonitor monitor;  // the logs of the shells that no zorv-log reads
    ASSERT_TRUE(StartApp(L"Survivor", L"--notify-icon=9 --notify-listen") && WaitUntil([&] { return Drawn(0); }));
    Program& survivor = *apps.back();
    DWORD crashed = 0;
    GetWindowThreadProcessId(bar, &crashed);
    std::vector<std::unique_ptr<Program>> shells;  // ended with the test
    for (int crash = 1;; ++crash) {
        SCOPED_TRACE(crash);
        shells.push_back(std::make_unique<Program>(crashed));
        const auto fault = reinterpret_cast<LPTHREAD_START_ROUTINE>(0xBAD0 + crash);
        CloseHandle(CreateRemoteThread(shells.back()->Handle(), NULL, 0, fault, NULL, 0, NULL));
        const std::wstring line = L"] Shell crashed: exception 0xC0000005 at 0x000000000000BAD" + std::to_wstring(crash);
        EXPECT_TRUE(WaitUntil([&] { return Has(crash == 1 ? shell->Output() : monitor.Output(crashed), line + L"\n"); }));
        if (crash == 3) break;
        EXPECT_EQ(static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION), shells.back()->ExitCode());
        HWND newBar = NULL;
        ASSERT_TRUE(WaitUntil([&] { return (newBar = Shown(L"ZORV_TASKBAR_CLASS", NULL)) != NULL && newBar != bar; }));
        GetWindowThreadProcessId(bar = newBar, &crashed);
        EXPECT_TRUE(WaitUntil([&] { return Has(monitor.Output(crashed), L"Zorv Startup Done!"); }));
        EXPECT_EQ(1, CountShown(L"ZORV_TASKBAR_CLASS"));
        EXPECT_TRUE(WaitUntil([&] { return Drawn(0); })) << "the application's button on the new bar";
        EXPECT_TRUE(WaitUntil([&] { return Occurrences(survivor.Output(), L"added 9 1\n") == crash + 1u; }));
        EXPECT_TRUE(WaitUntil([&] { return IconAt(NotifyIconX(0, 1)); })) << "its icon, added again";
    }
    HWND box = NULL;
    ASSERT_TRUE(WaitUntil([&] { return (box = Shown(L"#32770", L"Zorv Fatal Error")) != NULL; }));
    ExpectInOrder(AnswerBox(box), {L"Error:\nZorv crashed and cannot restart.\n\nLast error log:\n[",
                                   L"Shell crashed: exception 0xC0000005 at 0x000000000000BAD3\n\nThis program will exit."});
    EXPECT_EQ(1u, shells.back()->ExitCode());
    EXPECT_FALSE(WaitUntil([] { return FindWindowW(L"ZORV_TASKBAR_CLASS", NULL) != NULL; }, 3000)) << "no fourth shell";
}

TEST_F(Desktop, RunStartsACommandWithItsArgumentsOffersItAgainAndKeepsTheDialogForOneThatFails)
{
    InstallApplication(home / L"run app", "unused");  // a folder with a space: the split finds the file
    const std::wstring command = (home / L"run app\\AppMain.exe").wstring() + L" \"--title=Run \u30A2\" --show=given";
    const std::wstring failing = (home / L"missing.exe").wstring() + L" --x";
    HWND dialog = NULL;
    const auto openRun = [&] {
        EXPECT_TRUE(OpenMenu(RUN));
        return WaitUntil([&] { return (dialog = Shown(L"#32770", L"Run")) && GetForegroundWindow() == dialog; });
    };
    const auto runClosed = [] { return WaitUntil([] { return !Shown(L"#32770", L"Run"); }, 1000); };
    const auto dropDown = [&] {  // its lines, read through the window's own answers
        std::vector<std::wstring> lines;
        WCHAR line[1024];
        while (SendDlgItemMessageW(dialog, IDC_RUN_COMMAND, CB_GETLBTEXT, lines.size(), reinterpret_cast<LPARAM>(line)) >= 0)
            lines.push_back(line);
        return lines;
    };
    ASSERT_TRUE(openRun());
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK))) << "OK waits for a command";
    TypeText(command);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, IDOK)); }, 3000));
    PressKey(VK_RETURN);
    HWND started = NULL;
    EXPECT_TRUE(WaitUntil([&] { return (started = Shown(NULL, L"Run \u30A2")) != NULL; })) << "the argument reached it";
    EXPECT_TRUE(runClosed());
    PostMessageW(started, WM_CLOSE, 0, 0);

    // With two older commands in the file, the drop-down lists the three newest first, the
    // last ready in the field. A command that cannot start: a box names it and the reason,
    // the dialog stays, and the history keeps only what started.
    const std::wstring settings = (home / L"settings\\settings.cfg").wstring();
    WriteBytes(settings, ReadBytes(settings) + "Command1=zeta --older\nCommand2=alpha --oldest\n");  // the shell put the section last
    ASSERT_TRUE(openRun());
    EXPECT_EQ((std::vector<std::wstring>{command, L"zeta --older", L"alpha --oldest"}), dropDown());
    EXPECT_EQ(command, WindowText(GetDlgItem(dialog, IDC_RUN_COMMAND))) << "the last command stands ready";
    PressKey('A', true);
    TypeText(failing);
    PressKey(VK_RETURN);
    HWND box = NULL;
    ASSERT_TRUE(WaitUntil([&] { return (box = Shown(L"#32770", L"Zorv")) != NULL; }));
    const std::wstring text = AnswerBox(box);
    EXPECT_TRUE(text.find(L"Cannot start \"" + failing + L"\":\n") == 0 && text.size() > failing.size() + 17)
        << "the command and the system's reason: " << ToUtf8(text);
    EXPECT_FALSE(runClosed()) << "the dialog stays";
    EXPECT_EQ(failing, WindowText(GetDlgItem(dialog, IDC_RUN_COMMAND)));
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(runClosed());
    const std::wstring saved = FromUtf8(ReadBytes(settings));
    EXPECT_TRUE(Has(saved, L"Command0=" + command) && !Has(saved, L"missing.exe")) << "the history holds what started";
}

// My Computer, NAND3, Storage Card, My Documents and Control Panel.
TEST_F(Desktop, EachPlaceBringsAWindowOfAnotherProcessToTheFront)
{
    std::error_code ignored;
    fs::copy_file(L"C:\\windows\\system32\\control.exe", L"C:\\windows\\control.exe", ignored);
    DWORD shellProcess = 0;
    GetWindowThreadProcessId(bar, &shellProcess);
    for (int row : {73, 101, 129, 157, 193}) {
        SCOPED_TRACE("side item at row " + std::to_string(row));
        ASSERT_TRUE(OpenMenu({300, MENU_TOP + row + 12}));
        HWND front = NULL;
        EXPECT_TRUE(WaitUntil([&] {
            DWORD process = 0;
            front = GetForegroundWindow();
            GetWindowThreadProcessId(front, &process);
            return front && IsWindowVisible(front) && process != shellProcess && process != GetCurrentProcessId();
        })) << ToUtf8(WindowText(front));
        PostMessageW(front, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(front); }, 5000));
    }
    EXPECT_FALSE(Has(shell->Output(), L"Cannot Execute"));
}

// The bundled home with one file damaged: the start fails on it, the box gives the failure
// and the log line naming the file, the later steps still run, and the exit code 1 comes
// through zorv-log.
enum Damage { REMOVED, FOLDER, EMPTIED, HALVED, RANDOM_BYTES, PIXELS_IN_HEADERS, SECTION_RENAMED };
struct FatalStart {
    std::wstring file;
    Damage damage;
    std::string section = "";  // the one renamed
    std::wstring step = L"", next = L"";  // the step that fails, and what follows it, where a case says
};

std::vector<FatalStart> FatalStarts()
{
    const std::wstring settings = L"settings\\settings.cfg", theme = L"settings\\Lagoon.theme";
    std::vector<FatalStart> starts = {
        {settings, REMOVED, "", L"Loading Settings...", L"Initializing...\n[Log] [OK]\n"},
        {settings, FOLDER}, {settings, EMPTIED}, {settings, RANDOM_BYTES}, {theme, REMOVED},
        {L"theme\\Lagoon\\TBTNU1.bmp", REMOVED, "", L"Loading taskbar buffer...", L"Loading taskbar objects...\n[Log] [OK]\n"},
        {L"theme\\Lagoon\\TASKBAR.bmp", PIXELS_IN_HEADERS, "", L"Loading taskbar buffer...", L"Creating StartMenu window..."},
        {L"theme\\Lagoon\\SIDE3D.bmp", HALVED, "", L"Loading StartMenu objects..."},
    };
    for (const char* section : {"Main", "Taskbar", "Start"}) starts.push_back({settings, SECTION_RENAMED, section});
    for (const char* section : {"Theme", "Taskbar", "Start"}) starts.push_back({theme, SECTION_RENAMED, section});
    // Every bitmap of the theme; one the shell starts without is no fault when it is missing.
    for (const ThemePart& part : THEME_PARTS)
        for (Damage damage : {REMOVED, HALVED})
            if (part.name && (part.required || damage == HALVED))
                starts.push_back({L"theme\\Lagoon\\" + std::wstring(part.name) + L".bmp", damage});
    return starts;
}

void Spoil(const fs::path& file, const FatalStart& start)
{
    std::string bytes = ReadBytes(file.wstring());
    std::mt19937 random(7);
    switch (start.damage) {
    case FOLDER: fs::remove(file); fs::create_directories(file); return;
    case REMOVED: fs::remove(file); return;
    case EMPTIED: bytes.clear(); break;
    case HALVED: bytes.resize(bytes.size() / 2); break;
    case RANDOM_BYTES: for (char& c : bytes) c = static_cast<char>(random()); break;
    case PIXELS_IN_HEADERS: bytes.replace(10, 4, std::string("\x02\0\0\0", 4)); break;  // bfOffBits = 2
    case SECTION_RENAMED: bytes.replace(bytes.find("[" + start.section + "]"), 1, "[_"); break;
    }
    WriteBytes(file.wstring(), bytes);
}

// A few shells at a time; each box is told from the others by the home its text names.
TEST(FatalStart, EachBrokenFileEndsInTheBoxNamingItAndExitCodeOne)
{
    const std::wstring settingsFailure = L"Failed to load Zorv settings.",
                       windowFailure = L"Failed to start Lumaro: Main memory is very low, or resource of Lumaro is not found.";
    const std::vector<FatalStart> starts = FatalStarts();
    TempDirectory temp;
    for (size_t first = 0; first < starts.size(); first += 6) {
        std::vector<std::unique_ptr<Shell>> shells;
        for (size_t i = first; i < std::min(first + 6, starts.size()); ++i) {
            InstallDefaultHome(temp / std::to_wstring(i));
            Spoil(temp / (std::to_wstring(i) + L"\\" + starts[i].file), starts[i]);
            shells.push_back(std::make_unique<Shell>(temp / std::to_wstring(i)));
        }
        for (size_t i = first; i < first + shells.size(); ++i) {
            const FatalStart& start = starts[i];
            SCOPED_TRACE(ToUtf8(start.file) + " damage " + std::to_string(start.damage) + " " + start.section);
            const fs::path home = temp / std::to_wstring(i), file = home / start.file;
            std::wstring text;  // the box of this home, answered
            WaitUntil([&] {
                for (HWND box = NULL; text.empty() && (box = FindWindowExW(NULL, box, L"#32770", L"Zorv Fatal Error"));)
                    if (IsWindowVisible(box) && Has(WindowText(GetDlgItem(box, 0xFFFF)), home.wstring() + L"\\"))
                        text = AnswerBox(box);
                return !text.empty();
            }, 60000);
            const bool bitmap = file.extension() == L".bmp";
            const std::wstring failure = (bitmap ? L"Cannot Load BMP - Path:\"" : L"Cannot load CFG: \"") + file.wstring() + L"\"";
            ExpectInOrder(text, {L"A fatal error has occured.\n\nError:\n" + (bitmap ? windowFailure : settingsFailure) +
                                     L"\n\nLast error log:\n[", L"] [ERROR:0x", L"] " + failure + L"\n\nThis program will exit."});
            EXPECT_EQ(1u, shells[i - first]->ExitCode());
            ExpectInOrder(shells[i - first]->Output(), {L"Current directory: \"" + home.wstring() + L"\"\n", start.step,
                                                        failure + L"\n[Log] [NG]\n", start.next, L"Zorv Startup Done!"});
        }
    }
}

TEST_F(Desktop, ProgramsIconsStandInTheAreaTellTheirOwnersOfTapsGoWithTheirOwnersAndOutliveARestart)
{
    int clockBefore = 0;  // read before any tip can stand over the clock
    ASSERT_TRUE(WaitUntil([&] { return (clockBefore = ClockSpan()) > 20; })) << "the clock draws the time in white";
    StartApp(L"Keeper", L"--icon=0 --notify-icon=7 --notify-change-after=2500");
    Program& keeper = *apps.back();
    ASSERT_TRUE(keeper.WaitForOutput(L"added 7 1\n"));
    const int alone = NotifyIconX(0, 1);
    ASSERT_TRUE(WaitUntil([&] { return IconAt(alone); }));
    const std::vector<COLORREF> first = IconPixels(alone);
    ASSERT_TRUE(keeper.WaitForOutput(L"changed 7 1\n"));
    EXPECT_TRUE(WaitUntil([&] { return IconPixels(alone) != first; })) << "the new icon is drawn";

    // Its tip while the mouse rests on it; a tap, then a right click that opens its menu.
    // Moved twice, as a hand does: X can deliver the first motion before the pointer is there.
    SetCursorPos(alone + 7, BAR_TOP + 15);
    Sleep(200);
    SetCursorPos(alone + 8, BAR_TOP + 15);
    HWND tip = NULL;
    EXPECT_TRUE(WaitUntil([&] { return (tip = Shown(L"tooltips_class32", NULL)) && WindowText(tip) == L"Keeper changed"; }))
        << ToUtf8(WindowText(tip));
    Tap(alone + 8, BAR_TOP + 15);
    EXPECT_TRUE(keeper.WaitForOutput(L"notify 7 0x0201\nnotify 7 0x0202\n"));
    Sleep(GetDoubleClickTime());
    for (DWORD event : {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP}) mouse_event(event, 0, 0, 0, 0);
    EXPECT_TRUE(keeper.WaitForOutput(L"notify 7 0x0204\nnotify 7 0x0205\n"));
    EXPECT_TRUE(WaitUntil([] { return Shown(L"#32768", NULL) != NULL; }));
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(keeper.WaitForOutput(L"menu 7 0\n"));

    // A second program's icon comes after it; both stay through a restart, the keeper's
    // handed over (it never listens for "TaskbarCreated"), the listener's also added again.
    // The new shell, started while the question is read, waits: one taskbar, the work area
    // claimed once; then the programs' buttons stand on the new bar and the clock has its AM or PM.
    StartApp(L"Listener", L"--icon=2 --notify-icon=8 --notify-listen");
    Program& listener = *apps.back();
    ASSERT_TRUE(listener.WaitForOutput(L"added 8 1\n"));
    ASSERT_TRUE(WaitUntil([&] { return IconAt(NotifyIconX(0, 2)) && IconAt(NotifyIconX(1, 2)); }));
    const int trays = CountShown(L"Shell_TrayWnd");
    HWND box = NULL;
    ASSERT_NO_FATAL_FAILURE(box = AskRestart());
    EXPECT_FALSE(WaitUntil([&] { return CountShown(L"ZORV_TASKBAR_CLASS") != 1 || CountShown(L"Shell_TrayWnd") != trays; }, 3000));
    std::unique_ptr<Program> restarted;
    ASSERT_NO_FATAL_FAILURE(restarted = Restart(box));
    EXPECT_TRUE(CountShown(L"ZORV_TASKBAR_CLASS") == 1 && CountShown(L"Shell_TrayWnd") == trays);
    EXPECT_TRUE(WaitUntil([&] { return Drawn(1) && ClockSpan() > clockBefore + 8; })) << clockBefore;
    EXPECT_TRUE(listener.WaitForOutput(L"added 8 1\nadded 8 1\n"));
    EXPECT_TRUE(WaitUntil([&] { return IconAt(NotifyIconX(0, 2)) && IconAt(NotifyIconX(1, 2)); }));
    EXPECT_EQ(1u, Occurrences(keeper.Output(), L"added 7"));
    Tap(NotifyIconX(0, 2) + 8, BAR_TOP + 15);
    EXPECT_TRUE(WaitUntil([&] { return Occurrences(keeper.Output(), L"notify 7 0x0202") == 2; })) << "the first is the keeper's";

    // The keeper ends without deleting its icon: it goes at the next tick, the listener's stays
    // and takes its place.
    const std::vector<COLORREF> listenerIcon = IconPixels(NotifyIconX(1, 2));
    apps[apps.size() - 2].reset();
    EXPECT_TRUE(WaitUntil([&] { return !IconAt(NotifyIconX(-Battery(), 2)) && IconPixels(alone) == listenerIcon; }, 3000));
}

}  // namespace
