#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <memory>

#include "harness.h"

namespace {

// The bundled theme's layout on the 800 x 480 desktop.
const int SCREEN_W = 800, SCREEN_H = 480, BAR_TOP = SCREEN_H - 30, CLOCK_LEFT = SCREEN_W - 80;
const int TASK_LEFT = 100 + 2, TASK_AREA_W = CLOCK_LEFT - 2 - TASK_LEFT, BUTTON_MAX_CX = 160;
const int FACE_Y = 3 + 1;  // the row of a task button, 3 below the bar's top, where its faces differ
const int TAP_Y = BAR_TOP + 3 + 24 / 2;

int ButtonX(int position) { return TASK_LEFT + position * BUTTON_MAX_CX + BUTTON_MAX_CX / 2; }
bool Has(const std::wstring& text, const std::wstring& fragment) { return text.find(fragment) != std::wstring::npos; }


// What another process on the desktop is told: the work area, and where the bar stands.
std::wstring Report(const wchar_t* desktop = nullptr)
{
    Program report(L"\"" + BuildPath(L"tests\\zorv_e2e_tests.exe").wstring() + L"\" --report", {}, desktop);
    DWORD exitCode = 1;
    return report.WaitForExit(&exitCode) && exitCode == 0 ? report.Output() : L"no report";
}

// The shell on the desktop, its bundled home in a folder with a Japanese name.
class Desktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(home);
        InstallDefaultHome(home);
        shell = std::make_unique<Shell>(home);
        ASSERT_TRUE(shell->WaitForOutput(L"Zorv Startup Done!"));
        ASSERT_NE(nullptr, bar = FindWindowW(L"ZORV_TASKBAR_CLASS", NULL));
        background = ScreenShot(home / L"theme\\Lagoon\\TASKBAR.bmp").Pixel(0, FACE_Y);
        up = ScreenShot(home / L"theme\\Lagoon\\TBTNU1.bmp").Pixel(0, 1);
        down = ScreenShot(home / L"theme\\Lagoon\\TBTND1.bmp").Pixel(0, 1);
        ASSERT_NE(up, down);
        // The bar paints after start-up is done: wait for its background beside the clock.
        ASSERT_TRUE(WaitUntil([&] { return ScreenShot().Pixel(CLOCK_LEFT - 1, BAR_TOP + FACE_Y) == background; }));
    }

    COLORREF Face(int position) { return ScreenShot().Pixel(ButtonX(position), BAR_TOP + FACE_Y); }
    bool Drawn(int position) { return Face(position) != background; }
    bool Pressed(int position, int count)  // that button is drawn down, the others up
    {
        for (int i = 0; i < count; ++i)
            if (Face(i) != (i == position ? down : up)) return false;
        return true;
    }
    bool TapBrings(int position, HWND window)
    {
        Tap(ButtonX(position), TAP_Y);
        return WaitUntil([&] { return GetForegroundWindow() == window; }, 3000);
    }
    HWND StartApp(const std::wstring& title, const std::wstring& options = L"", std::wstring shown = L"")
    {
        apps.push_back(std::make_unique<Program>(L"\"" + BuildPath(L"tools\\sample-app\\zorv-sample-app.exe").wstring() +
                                                 L"\" \"--title=" + title + L"\" " + options));
        HWND found = NULL;
        WaitUntil([&] { return IsWindowVisible(found = FindWindowW(NULL, (shown.empty() ? title : shown).c_str())); });
        return found;
    }
    void EndApps()
    {
        apps.clear();
        ASSERT_TRUE(WaitUntil([&] { return !Drawn(0); }));
    }

    TempDirectory temp;
    const fs::path home = fs::path(temp.path()) / L"ホーム";
    std::unique_ptr<Shell> shell;
    std::vector<std::unique_ptr<Program>> apps;
    HWND bar = NULL;
    COLORREF background = 0, up = 0, down = 0;
};

TEST_F(Desktop, TaskbarSessionFromStartUpToMoreWindowsThanButtons)
{
    const std::wstring log = shell->Output();
    ExpectInOrder(log, {L"Current directory: \"" + home.wstring() + L"\"\n", L"Loading Settings...\n[Log] [OK]\n",
                        L"Initializing...\n[Log] [OK]\n",
                        L"Creating taskbar window...\n[Log] Loading taskbar buffer...\n[Log] [OK]\n[Log] Loading taskbar "
                        L"objects...\n[Log] [OK]\n[Log] [OK]\n[Log] Creating StartMenu window...\n", L"Zorv Startup Done!\n"});
    EXPECT_FALSE(Has(log, L"[NG]") || Has(log, L"ERROR"));
    EXPECT_EQ(L"work area 0 0 800 450, bar 0 450 800 480\n", Report());
    EXPECT_TRUE(IsWindowVisible(bar));
    EXPECT_EQ(L"Zorv TaskBar", WindowText(bar));
    EXPECT_EQ(WS_EX_NOACTIVATE | WS_EX_TOPMOST, GetWindowLongPtrW(bar, GWL_EXSTYLE) & (WS_EX_NOACTIVATE | WS_EX_TOPMOST));
    EXPECT_TRUE(WaitUntil([] {
        return ScreenShot().Count({CLOCK_LEFT, BAR_TOP, SCREEN_W, SCREEN_H}, RGB(255, 255, 255)) > 10;
    })) << "the clock draws the time in white";

    // Buttons follow the windows in their order; each brings its own to the front, pressed.
    EXPECT_FALSE(Drawn(0));
    HWND first = StartApp(L"First");
    ASSERT_TRUE(WaitUntil([&] { return Drawn(0); }));
    HWND second = StartApp(L"Second"), third = StartApp(L"Third");
    ASSERT_TRUE(WaitUntil([&] { return Drawn(2); }));
    EXPECT_FALSE(Drawn(3));
    const HWND windows[] = {first, second, third};
    for (int position : {0, 1, 2}) {
        EXPECT_TRUE(TapBrings(position, windows[position])) << position;
        EXPECT_TRUE(WaitUntil([&] { return Pressed(position, 3); }, 2000)) << position;
    }
    PostMessageW(second, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !Drawn(2); })) << "the third takes the second's place";
    EXPECT_TRUE(TapBrings(0, first));
    EXPECT_TRUE(TapBrings(1, third));

    // A dialog in front selects its owner's button.
    HWND owner = StartApp(L"Owner", L"--dialog");
    EXPECT_TRUE(WaitUntil([&] { return owner && GetWindow(GetForegroundWindow(), GW_OWNER) == owner; }));
    EXPECT_TRUE(WaitUntil([&] { return Pressed(2, 3); }));

    // A hung application stops neither the ticks nor the other buttons.
    EndApps();
    HWND hung = StartApp(L"Hung", L"--hang-after=0");
    ASSERT_TRUE(hung && WaitUntil([&] { return Drawn(0); }));
    HWND live = StartApp(L"Live");
    ASSERT_TRUE(WaitUntil([&] { return Drawn(1); }));
    Tap(ButtonX(0), TAP_Y);
    Tap(ButtonX(0), TAP_Y);
    EXPECT_TRUE(TapBrings(1, live));
    EXPECT_TRUE(StartApp(L"Another") && WaitUntil([&] { return Drawn(2); }));

    // Sixteen buttons share the area and the last reads "More" in yellow.
    EndApps();
    ASSERT_NE(nullptr, StartApp(L"Many", L"--windows=17", L"Many 17"));
    const int lastLeft = TASK_LEFT + TASK_AREA_W * 15 / 16, lastRight = TASK_LEFT + TASK_AREA_W;
    EXPECT_TRUE(WaitUntil([&] { return ScreenShot().Count({lastLeft, BAR_TOP, lastRight, SCREEN_H}, RGB(255, 255, 0)) > 5; }));
    EXPECT_EQ(0, ScreenShot().Count({TASK_LEFT, BAR_TOP, lastLeft, SCREEN_H}, RGB(255, 255, 0)));
    Tap((lastLeft + lastRight) / 2, TAP_Y);
    EXPECT_TRUE(WaitUntil([] { return WindowText(GetForegroundWindow()).rfind(L"Many ", 0) == 0; }, 3000));
}

TEST_F(Desktop, AWindowMinimisedFromItsButtonIsRestoredFromIt)
{
    HWND first = StartApp(L"First");
    ASSERT_TRUE(StartApp(L"Second") && WaitUntil([&] { return Drawn(1); }));
    EXPECT_TRUE(TapBrings(0, first));
    EXPECT_TRUE(WaitUntil([&] { return Pressed(0, 2); }));
    Tap(ButtonX(0), TAP_Y);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(first) != FALSE; }, 3000)) << "tapping the pressed button minimises";
    EXPECT_EQ(up, Face(0)) << "and draws it up at once";
    EXPECT_FALSE(WaitUntil([&] { return Face(0) == down; }, 1500)) << "nor do the next ticks press it";
    EXPECT_TRUE(TapBrings(0, first));
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(first) && Pressed(0, 2); }, 3000)) << "the third tap restores it";
}

// The bundled home with one file damaged: the start fails on it, the box names it, the
// later steps still run, and the exit code 1 comes through zorv-log.
enum Damage { REMOVED, FOLDER, EMPTIED, PIXELS_IN_HEADERS };
const wchar_t SETTINGS_FAILURE[] = L"Failed to load Zorv settings.",
              WINDOW_FAILURE[] = L"Failed to start Lumaro: Main memory is very low, or resource of Lumaro is not found.";
const struct {
    const char* name;
    Damage damage;
    const wchar_t* file;
    const wchar_t *step, *next;  // the step that fails, and what follows it
} FATAL_STARTS[] = {
    {"MissingSettingsFile", REMOVED, L"settings\\settings.cfg", L"Loading Settings...", L"Initializing...\n[Log] [OK]\n"},
    {"SettingsFileIsAFolder", FOLDER, L"settings\\settings.cfg", L"Loading Settings...", L"Initializing..."},
    {"EmptySettingsFile", EMPTIED, L"settings\\settings.cfg", L"Loading Settings...", L"Initializing..."},
    {"MissingThemeFile", REMOVED, L"settings\\Lagoon.theme", L"Loading Settings...", L"Initializing..."},
    {"MissingTaskbarBitmap", REMOVED, L"theme\\Lagoon\\TBTNU1.bmp", L"Loading taskbar buffer...",
     L"Loading taskbar objects...\n[Log] [OK]\n"},
    {"TaskbarPixelsInItsHeaders", PIXELS_IN_HEADERS, L"theme\\Lagoon\\TASKBAR.bmp", L"Loading taskbar buffer...",
     L"Creating StartMenu window..."},
    {"MissingStartMenuBitmap", REMOVED, L"theme\\Lagoon\\SIDE3D.bmp", L"Loading StartMenu objects...", L""},
};

TEST(FatalStart, TheBoxNamesTheFileTheLaterStepsRunAndTheExitCodeIsOne)
{
    for (const auto& start : FATAL_STARTS) {
        SCOPED_TRACE(start.name);
        TempDirectory temp;
        const fs::path home = temp.path(), file = home / start.file;
        InstallDefaultHome(home);
        if (start.damage == EMPTIED) fs::resize_file(file, 0);
        if (start.damage == REMOVED || start.damage == FOLDER) fs::remove(file);
        if (start.damage == FOLDER) fs::create_directories(file);
        if (start.damage == PIXELS_IN_HEADERS) {
            std::string bytes = ReadBytes(file.wstring());
            bytes.replace(10, 4, std::string("\x02\0\0\0", 4));  // bfOffBits = 2
            WriteBytes(file.wstring(), bytes);
        }
        const bool bitmap = file.extension() == L".bmp";
        const std::wstring failure = (bitmap ? L"Cannot Load BMP - Path:\"" : L"Cannot load CFG: \"") + file.wstring() + L"\"";
        Shell shell(home);
        std::wstring caption, text;
        DWORD exitCode = 0;
        EXPECT_TRUE(shell.AnswerBox(&caption, &text));
        EXPECT_EQ(L"Zorv Fatal Error", caption);
        EXPECT_TRUE(Has(text, bitmap ? WINDOW_FAILURE : SETTINGS_FAILURE) && Has(text, failure)) << ToUtf8(text);
        EXPECT_TRUE(shell.WaitForExit(&exitCode));
        EXPECT_EQ(1u, exitCode);
        ExpectInOrder(shell.Output(), {L"Current directory: \"" + home.wstring() + L"\"\n", start.step,
                                       failure + L"\n[Log] [NG]\n", start.next, L"Zorv Startup Done!"});
    }
}

// On a desktop of its own, 640 x 480 by the Desktops key, the bar spans that screen.
TEST(SmallScreen, TheBarSpansTheNarrowerScreen)
{
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\Explorer\\Desktops", L"zorv640",
                                             REG_SZ, L"640x480", sizeof L"640x480"));
    TempDirectory home;
    InstallDefaultHome(home.path());
    Shell shell(home.path(), L"zorv640");
    ASSERT_TRUE(shell.WaitForOutput(L"Zorv Startup Done!"));
    EXPECT_EQ(L"work area 0 0 640 450, bar 0 450 640 480\n", Report(L"zorv640"));
}

}  // namespace

int main(int argc, char** argv)
{
    // With --report it is the other process on the desktop.
    if (argc == 2 && strcmp(argv[1], "--report") == 0) {
        RECT area = {}, bar = {};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        GetWindowRect(FindWindowW(L"ZORV_TASKBAR_CLASS", NULL), &bar);
        printf("work area %ld %ld %ld %ld, bar %ld %ld %ld %ld\n", area.left, area.top, area.right, area.bottom, bar.left,
               bar.top, bar.right, bar.bottom);
        return 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
