#include <gtest/gtest.h>

#include <string.h>

#include <functional>
#include <utility>
#include <vector>

#include "gfx/button_manager.h"
#include "gfx/surface.h"

namespace {

const COLORREF BACKGROUND = RGB(128, 128, 128);
const COLORREF UP_FACE = RGB(0, 160, 0);
const COLORREF DOWN_FACE = RGB(200, 0, 0);
const int BASE = 100;
const int COUNT = 4;

using Command = std::pair<WPARAM, LPARAM>;
using Commands = std::vector<Command>;

Commands Tapped(int index) { return {{BASE + index, 1}, {BASE + index, 0}}; }
LPARAM At(int x, int y) { return MAKELPARAM(x, y); }
HWND FakeWindow(int n) { return reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x7F000000 + 4 * n)); }

// This executable's import slot of a function: swapping it lets a test watch the calls
// that the shell's modules make.
void** FindImportSlot(const char* module, const char* function)
{
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleW(NULL));
    auto* headers = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    DWORD imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); entry->Name; ++entry) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + entry->Name), module) != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (strcmp(reinterpret_cast<char*>(name->Name), function) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

// While it lives, every BitBlt into one DC records whether a WM_COMMAND was already waiting.
class BitBltWatch {
public:
    BitBltWatch(HDC target, HWND window) : slot_(FindImportSlot("gdi32.dll", "BitBlt"))
    {
        target_ = target;
        window_ = window;
        commandWaiting_.clear();
        if (slot_) {
            real_ = reinterpret_cast<BitBltFunction>(*slot_);
            Write(reinterpret_cast<void*>(&Watch));
        }
    }
    ~BitBltWatch()
    {
        if (slot_) Write(reinterpret_cast<void*>(real_));
    }
    bool active() const { return slot_ != nullptr; }
    const std::vector<bool>& commandWaiting() const { return commandWaiting_; }

private:
    using BitBltFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, DWORD);

    static BOOL WINAPI Watch(HDC dc, int x, int y, int cx, int cy, HDC source, int sx, int sy, DWORD rop)
    {
        MSG msg;
        if (dc == target_) commandWaiting_.push_back(PeekMessageW(&msg, window_, WM_COMMAND, WM_COMMAND, PM_NOREMOVE));
        return real_(dc, x, y, cx, cy, source, sx, sy, rop);
    }
    void Write(void* value)
    {
        DWORD protection;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &protection);
        *slot_ = value;
        VirtualProtect(slot_, sizeof *slot_, protection, &protection);
    }

    void** slot_;
    static inline BitBltFunction real_;
    static inline HDC target_;
    static inline HWND window_;
    static inline std::vector<bool> commandWaiting_;
};

void Fill(HDC dc, int width, int height, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    RECT all = {0, 0, width, height};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
}

class ButtonManager : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearButtonRegistry();
        PressedButtonIndex = -1;
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(NULL);
        windowClass.lpszClassName = L"ZorvButtonTest";
        RegisterClassW(&windowClass);
        window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, windowClass.lpszClassName, L"", WS_POPUP, 0, 0,
                                 160, 80, NULL, NULL, windowClass.hInstance, NULL);
        ASSERT_NE(nullptr, window);
        ASSERT_EQ(0, CreateMemorySurface(screen, 160, 80, &back));
        ASSERT_EQ(0, CreateMemorySurface(screen, 40, 20, &up));
        ASSERT_EQ(0, CreateMemorySurface(screen, 40, 20, &down));
        Fill(back.dc, 160, 80, BACKGROUND);
        Fill(up.dc, 40, 20, UP_FACE);
        Fill(down.dc, 40, 20, DOWN_FACE);
        ASSERT_EQ(0, RegisterButtonSurface(window, back.dc, BASE, COUNT));
    }
    void TearDown() override
    {
        ReleaseCapture();
        DestroyWindow(window);
        TakeCommands();
        ReleaseMemorySurface(&down);
        ReleaseMemorySurface(&up);
        ReleaseMemorySurface(&back);
        ReleaseDC(NULL, screen);
    }

    Commands TakeCommands()
    {
        Commands commands;
        MSG msg;
        while (PeekMessageW(&msg, window, WM_COMMAND, WM_COMMAND, PM_REMOVE))
            commands.push_back({msg.wParam, msg.lParam});
        return commands;
    }
    // Pen down and up at one point; the commands both posted.
    Commands Tap(int x, int y)
    {
        ButtonPenDown(window, At(x, y));
        ButtonPenUp(window, At(x, y));
        return TakeCommands();
    }
    COLORREF BackPixel(int x, int y) { return GetPixel(back.dc, x, y); }
    COLORREF WindowPixel(int x, int y)
    {
        HDC dc = GetDC(window);
        COLORREF color = GetPixel(dc, x, y);
        ReleaseDC(window, dc);
        return color;
    }
    void SetAutoButton(int index, int x, int y)
    {
        ASSERT_EQ(0, SetButtonItem(window, index, x, y, 40, 20, up.dc, down.dc, 1, BUTTON_AUTO));
    }

    HWND window = NULL;
    HDC screen = GetDC(NULL);
    MemorySurface back = {}, up = {}, down = {};
};

TEST_F(ButtonManager, PressCycleCapturesPostsAndRedrawsTheAutoFace)
{
    ShowWindow(window, SW_SHOWNOACTIVATE);  // a hidden window's pixels cannot be read back
    MSG msg;
    while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    SetAutoButton(1, 40, 10);
    ASSERT_EQ(0, DrawButtonItem(window, 1, 0));
    ASSERT_EQ(0, ShowButtonItem(window, 1));
    EXPECT_EQ(UP_FACE, WindowPixel(45, 15));
    {
        BitBltWatch watch(back.dc, window);
        ASSERT_TRUE(watch.active());
        ASSERT_EQ(0, ButtonPenDown(window, At(50, 20)));
        EXPECT_EQ(std::vector<bool>{true}, watch.commandWaiting()) << "the press is posted before the face is drawn";
    }
    EXPECT_EQ(window, GetCapture());
    EXPECT_EQ(1, PressedButtonIndex);
    EXPECT_EQ((Commands{{101, 1}}), TakeCommands());
    EXPECT_EQ(DOWN_FACE, BackPixel(45, 15));
    EXPECT_EQ(DOWN_FACE, WindowPixel(79, 29));
    EXPECT_EQ(BACKGROUND, BackPixel(80, 15)) << "only the button's rectangle is drawn";

    ASSERT_EQ(0, ButtonPenUp(window, At(80, 30)));  // the far corner is still inside
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(-1, PressedButtonIndex);
    EXPECT_EQ((Commands{{101, 0}}), TakeCommands());
    EXPECT_EQ(UP_FACE, BackPixel(45, 15));
    EXPECT_EQ(UP_FACE, WindowPixel(45, 15));

    ASSERT_EQ(0, ButtonPenDown(window, At(40, 10)));
    EXPECT_EQ(DOWN_FACE, WindowPixel(45, 15));
    ASSERT_EQ(0, ButtonPenUp(window, At(120, 60)));  // released outside
    EXPECT_EQ((Commands{{101, 1}}), TakeCommands());
    EXPECT_EQ(UP_FACE, BackPixel(45, 15));
    EXPECT_EQ(UP_FACE, WindowPixel(45, 15));
    EXPECT_EQ(-1, PressedButtonIndex);
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(ButtonManager, HitTestCountsTheFarEdgesAndNoFurther)
{
    SetAutoButton(2, 40, 10);
    for (POINT p : {POINT{40, 10}, POINT{80, 10}, POINT{40, 30}, POINT{80, 30}, POINT{60, 20}})
        EXPECT_EQ(Tapped(2), Tap(p.x, p.y)) << p.x << "," << p.y;
    for (POINT p : {POINT{39, 10}, POINT{81, 30}, POINT{80, 31}, POINT{40, 9}})
        EXPECT_EQ(Commands{}, Tap(p.x, p.y)) << p.x << "," << p.y;
}

TEST_F(ButtonManager, LowerIndexWinsAndOnlyHitTestableButtonsArePressed)
{
    ASSERT_EQ(0, SetButtonItem(window, 0, 0, 0, 160, 80, up.dc, down.dc, 0, BUTTON_AUTO));  // under everything
    SetAutoButton(1, 20, 10);
    SetAutoButton(2, 30, 15);
    EXPECT_EQ(Tapped(1), Tap(35, 20));
    EXPECT_EQ(Tapped(2), Tap(65, 32));
    EXPECT_EQ(Commands{}, Tap(5, 5));
    ASSERT_EQ(0, ButtonPenDown(window, At(5, 5)));
    EXPECT_EQ(window, GetCapture()) << "the pen is captured whether or not a button is hit";
    EXPECT_EQ(-1, PressedButtonIndex);
    EXPECT_EQ(BACKGROUND, BackPixel(5, 5));
}

TEST_F(ButtonManager, UpAndDownStatesKeepTheirFacesButStillPost)
{
    const ButtonState states[] = {BUTTON_UP, BUTTON_DOWN, static_cast<ButtonState>(7)};
    for (int i = 0; i < 3; ++i) {
        SetAutoButton(i, 50 * i, 0);
        ASSERT_EQ(0, SetButtonState(window, i, states[i]));
        // Nothing is drawn on press or release: the back buffer keeps its background.
        ASSERT_EQ(0, ButtonPenDown(window, At(50 * i + 5, 5)));
        EXPECT_EQ(BACKGROUND, BackPixel(50 * i + 5, 5)) << i;
        ASSERT_EQ(0, ButtonPenUp(window, At(50 * i + 5, 5)));
        EXPECT_EQ(BACKGROUND, BackPixel(50 * i + 5, 5)) << i;
        EXPECT_EQ(Tapped(i), TakeCommands()) << i;
    }
    for (int pressed = 0; pressed <= 1; ++pressed) {
        for (int i = 0; i < 3; ++i) ASSERT_EQ(0, DrawButtonItem(window, i, pressed));
        EXPECT_EQ(UP_FACE, BackPixel(5, 5)) << "Up, pressed " << pressed;
        EXPECT_EQ(DOWN_FACE, BackPixel(55, 5)) << "Down, pressed " << pressed;
        EXPECT_EQ(DOWN_FACE, BackPixel(105, 5)) << "any other state, pressed " << pressed;
    }
}

TEST_F(ButtonManager, OnlyThePressedButtonAnswersTheRelease)
{
    SetAutoButton(0, 0, 0);
    SetAutoButton(1, 60, 0);
    ButtonPenDown(window, At(10, 10));
    ButtonPenDown(window, At(70, 10));
    EXPECT_EQ(1, PressedButtonIndex);
    ButtonPenDown(window, At(120, 60));  // no button there
    EXPECT_EQ(1, PressedButtonIndex);
    EXPECT_EQ((Commands{{100, 1}, {101, 1}}), TakeCommands());
    ButtonPenUp(window, At(10, 10));  // over button 0, but button 1 is pressed
    EXPECT_EQ(Commands{}, TakeCommands());
    EXPECT_EQ(-1, PressedButtonIndex);
}

TEST_F(ButtonManager, PointsAreSignedClientCoordinates)
{
    // Read unsigned, x = -1 or y = -1 would land on these buttons at 65535.
    ASSERT_EQ(0, SetButtonItem(window, 0, 65500, 0, 40, 20, up.dc, down.dc, 1, BUTTON_AUTO));
    ASSERT_EQ(0, SetButtonItem(window, 1, 0, 65500, 40, 40, up.dc, down.dc, 1, BUTTON_AUTO));
    ASSERT_EQ(0, SetButtonItem(window, 2, -20, -20, 10, 10, up.dc, down.dc, 1, BUTTON_AUTO));
    EXPECT_EQ(Commands{}, Tap(-1, 5));
    EXPECT_EQ(Commands{}, Tap(5, -1));
    EXPECT_EQ(Commands{}, Tap(-1, -1));
    EXPECT_EQ(Tapped(2), Tap(-15, -12)) << "left of and above the window";
}

TEST_F(ButtonManager, PenUpWithNothingPressedOnlyReleasesTheCapture)
{
    SetAutoButton(0, 0, 0);
    ASSERT_EQ(0, ButtonPenDown(window, At(100, 60)));
    EXPECT_EQ(window, GetCapture());
    ASSERT_EQ(0, ButtonPenUp(window, At(10, 10)));  // over a button that was not pressed
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(Commands{}, TakeCommands());
    EXPECT_EQ(BACKGROUND, BackPixel(10, 10)) << "nothing is drawn";
}

TEST_F(ButtonManager, RegistryHoldsThirtyTwoSurfaces)
{
    EXPECT_EQ(0, FindButtonSurface(window));
    EXPECT_EQ(1, FindButtonSurface(NULL)) << "window 0 finds the first free entry";
    for (int i = 1; i < BUTTON_SURFACE_COUNT; ++i)
        ASSERT_EQ(0, RegisterButtonSurface(FakeWindow(i), back.dc, BASE, 1)) << i;
    EXPECT_EQ(31, FindButtonSurface(FakeWindow(31)));
    EXPECT_EQ(1, RegisterButtonSurface(FakeWindow(32), back.dc, BASE, 1));
    EXPECT_EQ(-1, FindButtonSurface(FakeWindow(32)));

    ClearButtonRegistry();
    EXPECT_EQ(-1, FindButtonSurface(window));
    EXPECT_EQ(1, SetButtonX(window, 0, 0)) << "a cleared entry is no longer found";
    ASSERT_EQ(0, RegisterButtonSurface(window, back.dc, BASE, COUNT));
    ASSERT_EQ(0, RegisterButtonSurface(window, back.dc, 200, COUNT));
    EXPECT_EQ(0, FindButtonSurface(window)) << "a second registration is never found";
    SetAutoButton(0, 0, 0);
    EXPECT_EQ(Tapped(0), Tap(5, 5));
}

TEST_F(ButtonManager, UnknownWindowOrIndexReturnsOneAndChangesNothing)
{
    ASSERT_EQ(0, SetButtonItem(window, 0, 10, 10, 20, 10, up.dc, down.dc, 1, BUTTON_AUTO));
    const std::function<int(HWND, int)> operations[] = {
        [&](HWND w, int i) { return SetButtonItem(w, i, 50, 40, 30, 30, down.dc, up.dc, 0, BUTTON_UP); },
        [](HWND w, int i) { return SetButtonState(w, i, BUTTON_UP); },
        [](HWND w, int i) { return SetButtonX(w, i, 50); },
        [](HWND w, int i) { return SetButtonY(w, i, 40); },
        [](HWND w, int i) { return SetButtonCX(w, i, 1); },
        [](HWND w, int i) { return SetButtonCY(w, i, 1); },
        [&](HWND w, int i) { return SetButtonUpImage(w, i, down.dc); },
        [&](HWND w, int i) { return SetButtonDownImage(w, i, up.dc); },
        [](HWND w, int i) { return SetButtonHitTest(w, i, 0); },
        [](HWND w, int i) { return DrawButtonItem(w, i, 1); },
        [](HWND w, int i) { return ShowButtonItem(w, i); },
    };
    const std::pair<HWND, int> targets[] = {{NULL, 0}, {FakeWindow(1), 0}, {window, -1}, {window, COUNT}};
    for (const auto& target : targets)
        for (size_t op = 0; op < std::size(operations); ++op)
            EXPECT_EQ(1, operations[op](target.first, target.second))
                << "operation " << op << " window " << target.first << " index " << target.second;
    for (HWND unknown : {HWND(NULL), FakeWindow(1)}) {
        EXPECT_EQ(1, ResetButtonItems(unknown));
        EXPECT_EQ(1, ButtonPenDown(unknown, At(15, 15)));
        EXPECT_EQ(nullptr, GetCapture()) << "no capture taken";
        SetCapture(window);
        PressedButtonIndex = 0;
        EXPECT_EQ(1, ButtonPenUp(unknown, At(15, 15)));
        EXPECT_EQ(window, GetCapture()) << "the capture is not released";
        EXPECT_EQ(0, PressedButtonIndex);
        PressedButtonIndex = -1;
        ReleaseCapture();
    }
    EXPECT_EQ(Commands{}, TakeCommands());
    EXPECT_EQ(BACKGROUND, BackPixel(15, 15)) << "nothing drawn";

    // Button 0 is as it was set.
    EXPECT_EQ(Tapped(0), Tap(30, 20));
    EXPECT_EQ(Commands{}, Tap(31, 20));
    ASSERT_EQ(0, DrawButtonItem(window, 0, 1));
    EXPECT_EQ(DOWN_FACE, BackPixel(29, 19));
    EXPECT_EQ(BACKGROUND, BackPixel(30, 20));
    ASSERT_EQ(0, DrawButtonItem(window, 0, 0));
    EXPECT_EQ(UP_FACE, BackPixel(10, 10));
}

TEST_F(ButtonManager, ResetButtonItemsLeavesAZeroedUsableSurface)
{
    SetAutoButton(2, 10, 10);
    EXPECT_EQ(Tapped(2), Tap(15, 15));
    ASSERT_EQ(0, ResetButtonItems(window));
    EXPECT_EQ(0, FindButtonSurface(window));
    EXPECT_EQ(Commands{}, Tap(15, 15));
    EXPECT_EQ(Commands{}, Tap(0, 0)) << "zeroed items are not hit-testable";
    ASSERT_EQ(0, SetButtonHitTest(window, 0, 1));
    EXPECT_EQ(Tapped(0), Tap(0, 0)) << "a zeroed item is an Auto button of size 0 at (0, 0)";
    EXPECT_EQ(Commands{}, Tap(1, 0));
    SetAutoButton(COUNT - 1, 10, 10);
    EXPECT_EQ(Tapped(COUNT - 1), Tap(15, 15));
}

TEST_F(ButtonManager, SingleFieldSettersEachSetTheirField)
{
    ASSERT_EQ(0, SetButtonItem(window, 1, 0, 0, 0, 0, NULL, NULL, 0, BUTTON_AUTO));
    EXPECT_EQ(Commands{}, Tap(0, 0));
    ASSERT_EQ(0, SetButtonHitTest(window, 1, 0x10000));
    EXPECT_EQ(Commands{}, Tap(0, 0)) << "the flag keeps its low 16 bits";
    ASSERT_EQ(0, SetButtonHitTest(window, 1, 1));
    EXPECT_EQ(Tapped(1), Tap(0, 0));

    ASSERT_EQ(0, SetButtonX(window, 1, 40));
    ASSERT_EQ(0, SetButtonY(window, 1, 10));
    ASSERT_EQ(0, SetButtonCX(window, 1, 40));
    ASSERT_EQ(0, SetButtonCY(window, 1, 20));
    EXPECT_EQ(Tapped(1), Tap(40, 10));
    EXPECT_EQ(Tapped(1), Tap(80, 30));
    for (POINT p : {POINT{39, 10}, POINT{40, 9}, POINT{81, 30}, POINT{80, 31}})
        EXPECT_EQ(Commands{}, Tap(p.x, p.y)) << p.x << "," << p.y;

    ASSERT_EQ(0, SetButtonUpImage(window, 1, up.dc));
    ASSERT_EQ(0, SetButtonDownImage(window, 1, down.dc));
    ASSERT_EQ(0, DrawButtonItem(window, 1, 0));
    EXPECT_EQ(UP_FACE, BackPixel(40, 10));
    EXPECT_EQ(UP_FACE, BackPixel(79, 29));
    EXPECT_EQ(BACKGROUND, BackPixel(80, 30)) << "the face is cx by cy";
    ASSERT_EQ(0, DrawButtonItem(window, 1, 1));
    EXPECT_EQ(DOWN_FACE, BackPixel(40, 10));
}

}  // namespace
