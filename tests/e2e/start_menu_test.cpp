#include <gtest/gtest.h>

#include <memory>

#include "harness.h"

namespace {

// The bundled theme on the 800 x 480 desktop: a menu of 400 x 390 above a bar of 30.
const int BAR_TOP = 480 - 30, MENU_TOP = BAR_TOP - 390;
const POINT START_BUTTON = {40, BAR_TOP + 15};
const RECT MENU = {0, MENU_TOP, 400, BAR_TOP};
const POINT SHORTCUT_0 = {100, MENU_TOP + 73 + 18}, EXIT_BUTTON = {337, MENU_TOP + 369},
            ALL_PROGRAMS = {28, MENU_TOP + 332}, SIDE_ITEM_5 = {300, MENU_TOP + 221 + 12};  // All Programs: (20, 12) of its face
const POINT ALL_PROGRAMS_CORNER = {8 + 186, MENU_TOP + 320 + 24};  // the popup's bottom-left corner

HWND Menu() { return FindWindowW(L"ZORV_START_CLASS", NULL); }
bool MenuShown() { return IsWindowVisible(Menu()) != FALSE; }
HWND Popup()
{
    HWND popup = FindWindowW(L"#32768", NULL);
    return IsWindowVisible(popup) ? popup : NULL;
}
HWND Window(const wchar_t* className, const wchar_t* title)
{
    HWND window = FindWindowW(className, title);
    return IsWindowVisible(window) ? window : NULL;
}
void TapAt(POINT p) { Tap(p.x, p.y); }
void TapCentre(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    Tap((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}
// A tap on the window beside the menu, where the menu does not cover it.
void TapBesideMenu(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    Tap(r.right - 15, r.top + 50);
}

// A copy of the sample application that shows its window with the show command it is given,
// as many programs do, under the title.
void InstallApplication(const fs::path& folder, const std::wstring& title)
{
    fs::create_directories(folder);
    fs::copy_file(BuildPath(L"tools\\sample-app\\zorv-sample-app.exe"), folder / L"AppMain.exe",
                  fs::copy_options::overwrite_existing);
    WriteBytes((folder / L"app.cfg").wstring(), "--show=given\n--title=" + ToUtf8(title) + "\n");
}

// The device's volumes on the drive of the shell's current directory, removed afterwards.
struct DeviceVolumes {
    const fs::path nand = L"C:\\NAND3", card = L"C:\\Storage Card";
    DeviceVolumes()
    {
        Remove();  // what a test that was stopped may have left
        fs::create_directories(nand / L"My Documents");
        InstallApplication(card / L"\u30A2\u30D7\u30EA" / L"\u30E1\u30E2", L"Memo");
    }
    ~DeviceVolumes() { Remove(); }
    void Remove()
    {
        std::error_code ignored;
        fs::remove_all(nand, ignored);
        fs::remove_all(card, ignored);
    }
};

class StartMenu : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallDefaultHome(home.path());
        InstallApplication(fs::path(home.path()) / L"shortcut", L"Shortcut");
        std::string settings = ReadBytes(home / L"settings\\settings.cfg");
        const std::string notepad = "Menu0.Path=\\Windows\\notepad.exe";
        settings.replace(settings.find(notepad), notepad.size(), "Menu0.Path=" + ToUtf8(home / L"shortcut\\AppMain.exe"));
        WriteBytes(home / L"settings\\settings.cfg", settings);
        shell = std::make_unique<Shell>(home.path());
        ASSERT_TRUE(shell->WaitForOutput(L"Zorv Startup Done!"));
        ASSERT_NE(nullptr, Menu());
        const fs::path theme = fs::path(home.path()) / L"theme\\Lagoon";
        startUp = ScreenShot(theme / L"STARTBUTTONU.bmp").Pixel(START_BUTTON.x, 15);
        startDown = ScreenShot(theme / L"STARTBUTTOND.bmp").Pixel(START_BUTTON.x, 15);
        allProgramsDown = ScreenShot(theme / L"ALLPROGRAMSD.bmp").Pixel(20, 12);
        ASSERT_TRUE(WaitUntil([&] { return ScreenShot().Pixel(START_BUTTON.x, START_BUTTON.y) == startUp; }));
    }
    // What the shell started lives on after it and would keep the test's output open.
    void TearDown() override
    {
        for (const wchar_t* title : {L"Shortcut", L"Memo", L"My Documents"}) {
            PostMessageW(Window(NULL, title), WM_CLOSE, 0, 0);
            EXPECT_TRUE(WaitUntil([&] { return !Window(NULL, title); }, 3000)) << ToUtf8(title);
        }
    }
    bool Open()
    {
        TapAt(START_BUTTON);
        return WaitUntil(MenuShown, 3000);
    }
    COLORREF At(POINT p) { return ScreenShot().Pixel(p.x, p.y); }

    DeviceVolumes volumes;
    TempDirectory home;
    std::unique_ptr<Shell> shell;
    COLORREF startUp = 0, startDown = 0, allProgramsDown = 0;
};

TEST_F(StartMenu, OpensClosesAndStartsProgramsAsTapped)
{
    ExpectInOrder(shell->Output(), {L"Creating StartMenu window...\n[Log] Loading StartMenu buffer...\n[Log] [OK]\n"
                                    L"[Log] Loading StartMenu objects...\n[Log] [OK]\n[Log] [OK]\n[Log] Zorv Startup Done!\n"});
    EXPECT_FALSE(MenuShown());

    // The start button opens the menu on the bar at the left edge, in the shape of STARTBACK.
    ASSERT_TRUE(Open());
    RECT rect;
    GetWindowRect(Menu(), &rect);
    EXPECT_TRUE(EqualRect(&MENU, &rect)) << rect.left << " " << rect.top << " " << rect.right << " " << rect.bottom;
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(COMPLEXREGION, GetWindowRgn(Menu(), shape));
    ScreenShot back(fs::path(home.path()) / L"theme\\Lagoon\\STARTBACK.bmp");
    int differences = 0;
    for (int y = 0; y < 390; ++y)
        for (int x = 0; x < 400; ++x) differences += (back.Pixel(x, y) != RGB(255, 0, 255)) != (PtInRegion(shape, x, y) != FALSE);
    DeleteObject(shape);
    EXPECT_EQ(0, differences) << "the shape is every pixel that is not magenta";
    EXPECT_TRUE(WaitUntil([&] { return At(START_BUTTON) == startDown; })) << "the start button is drawn pressed";
    TapAt(START_BUTTON);
    EXPECT_TRUE(WaitUntil([] { return !MenuShown(); }, 3000)) << "and closes it again";
    EXPECT_TRUE(WaitUntil([&] { return At(START_BUTTON) == startUp; }));

    // Escape closes it; a tap that leaves the shortcut before it is lifted starts nothing.
    ASSERT_TRUE(Open());
    PostMessageW(Menu(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntil([] { return !MenuShown(); }, 3000));
    ASSERT_TRUE(Open());
    mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN, SHORTCUT_0.x * 65535 / 799,
                SHORTCUT_0.y * 65535 / 479, 0, 0);
    Sleep(100);
    mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP, 300 * 65535 / 799, (MENU_TOP + 30) * 65535 / 479, 0, 0);
    EXPECT_FALSE(WaitUntil([] { return Window(NULL, L"Shortcut") != NULL; }, 1500));
    EXPECT_TRUE(MenuShown());

    // A shortcut starts its program, shown, on the taskbar and in front.
    TapAt(SHORTCUT_0);
    EXPECT_TRUE(WaitUntil([] { return !MenuShown(); }, 3000));
    HWND started = NULL;
    ASSERT_TRUE(WaitUntil([&] { return (started = Window(NULL, L"Shortcut")) != NULL; })) << "started with SW_SHOWNORMAL";
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == started; }));

    // Activating another window closes the menu and leaves that window in front.
    ASSERT_TRUE(Open());
    TapBesideMenu(started);
    EXPECT_TRUE(WaitUntil([] { return !MenuShown(); }, 3000));
    EXPECT_FALSE(WaitUntil([&] { return GetForegroundWindow() != started; }, 1000));

    // A side item opens its folder; the three unfinished ones say so.
    ASSERT_TRUE(Open());
    TapAt({300, MENU_TOP + 157 + 12});
    EXPECT_TRUE(WaitUntil([] { return Window(NULL, L"My Documents") != NULL; })) << "\\NAND3\\My Documents\\ opens";
    ASSERT_TRUE(Open());
    TapAt(SIDE_ITEM_5);
    std::wstring caption, text;
    EXPECT_TRUE(shell->AnswerBox(&caption, &text));
    EXPECT_EQ(L"Zorv", caption);
    EXPECT_EQ(L"This function is not yet implemented.", text);
    EXPECT_FALSE(MenuShown());

    // All Programs opens its popup on the press, at the button's corner, the button pressed.
    ASSERT_TRUE(Open());
    TapAt(ALL_PROGRAMS);
    HWND popup = NULL;
    ASSERT_TRUE(WaitUntil([&] { return (popup = Popup()) != NULL; }, 3000));
    GetWindowRect(popup, &rect);
    EXPECT_EQ(ALL_PROGRAMS_CORNER.x, rect.left);
    EXPECT_EQ(ALL_PROGRAMS_CORNER.y, rect.bottom);
    EXPECT_EQ(allProgramsDown, At(ALL_PROGRAMS));
    PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntil([] { return Popup() == NULL; }, 3000));
    EXPECT_TRUE(MenuShown()) << "dismissing the popup leaves the menu open";
    EXPECT_TRUE(WaitUntil([&] { return At(ALL_PROGRAMS) != allProgramsDown; })) << "with the button up";
    // Its items: the card's heading, then its one application.
    TapAt(ALL_PROGRAMS);
    ASSERT_TRUE(WaitUntil([&] { return (popup = Popup()) != NULL; }, 3000));
    GetWindowRect(popup, &rect);
    Tap(rect.left + 20, rect.bottom - (rect.bottom - rect.top) / 4);
    EXPECT_TRUE(WaitUntil([] { return Window(NULL, L"Memo") != NULL; })) << "the chosen application starts";
    EXPECT_TRUE(WaitUntil([] { return !MenuShown(); }, 3000)) << "and the menu closes";
}

TEST_F(StartMenu, TheExitScreenFadesTheScreenBehindItsDialogAndOkEndsTheShell)
{
    const POINT sample = {10, BAR_TOP + 15};  // orange, on the start button
    ASSERT_TRUE(Open());
    TapAt(EXIT_BUTTON);
    EXPECT_TRUE(WaitUntil([] { return !MenuShown(); }, 3000)) << "the menu goes at once";
    HWND screen = NULL, dialog = NULL;
    ASSERT_TRUE(WaitUntil([&] { return (screen = Window(L"ZORV_EXITDLG_CLASS", NULL)) != NULL; }, 3000));
    ASSERT_TRUE(WaitUntil([&] { return (dialog = Window(L"#32770", L"Exit Lumaro")) != NULL; }, 3000));
    ExpectInOrder(shell->Output(), {L"func top\n", L"class\n", L"CreateWnd\n"});
    const COLORREF unfaded = ScreenShot(fs::path(home.path()) / L"theme\\Lagoon\\STARTBUTTONU.bmp").Pixel(sample.x, 15);
    const int grey = (GetRValue(unfaded) + GetGValue(unfaded) + GetBValue(unfaded)) / 3;
    auto level2 = [&](int c) { return (8 * c + 2 * grey) / 10; };
    const COLORREF faded2 = RGB(level2(GetRValue(unfaded)), level2(GetGValue(unfaded)), level2(GetBValue(unfaded)));
    ASSERT_NE(RGB(grey, grey, grey), unfaded);
    EXPECT_TRUE(At(sample) == unfaded || At(sample) == faded2) << "the snapshot, unfaded or at the first step";
    EXPECT_TRUE(WaitUntil([&] { return At(sample) == RGB(grey, grey, grey); }, 9000)) << "faded to grey";

    // Another window brought in front is put behind the dialog again.
    Program app(L"\"" + BuildPath(L"tools\\sample-app\\zorv-sample-app.exe").wstring() + L"\" --title=Intruder");
    ASSERT_TRUE(WaitUntil([] { return Window(NULL, L"Intruder") != NULL; }));
    SetForegroundWindow(Window(NULL, L"Intruder"));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }, 3000));

    // Cancel returns to the desktop, the taskbar answers, and a second opening works alike.
    TapCentre(GetDlgItem(dialog, IDCANCEL));
    EXPECT_TRUE(WaitUntil([] { return !Window(L"ZORV_EXITDLG_CLASS", NULL); }, 3000));
    ASSERT_TRUE(Open());
    TapAt(EXIT_BUTTON);
    ASSERT_TRUE(WaitUntil([&] { return (dialog = Window(L"#32770", L"Exit Lumaro")) != NULL; }, 3000));
    EXPECT_TRUE(shell->Output().find(L"RegClass Error") != std::wstring::npos);
    TapCentre(GetDlgItem(dialog, IDOK));
    DWORD exitCode = 1;
    EXPECT_TRUE(shell->WaitForExit(&exitCode));
    EXPECT_EQ(0u, exitCode);
}

TEST(StartMenuHome, AMissingUserPictureIsLoggedAndStartUpGoesOn)
{
    TempDirectory home;
    InstallDefaultHome(home.path());
    fs::remove(home / L"settings\\user.bmp");
    Shell shell(home.path());
    ASSERT_TRUE(shell.WaitForOutput(L"Zorv Startup Done!"));
    ExpectInOrder(shell.Output(), {L"Loading StartMenu objects...\n", L"Cannot Load BMP - Path:\"" + (home / L"settings\\user.bmp") + L"\"\n",
                                   L"[OK]\n[Log] [OK]\n[Log] Zorv Startup Done!"});
}

}  // namespace
