#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "gfx/button_manager.h"
#include "gfx/surface.h"

// This executable's import slot of BitBlt, through which the shell's modules call it.
extern "C" void* __imp_BitBlt;

namespace {

const COLORREF BACKGROUND = RGB(128, 128, 128), UP_FACE = RGB(0, 160, 0), DOWN_FACE = RGB(200, 0, 200);
const int BASE = 100, COUNT = 4;

using Commands = std::vector<std::tuple<WPARAM, LPARAM>>;

// Put in the import slot, it records at each drawing whether a WM_COMMAND was already
// waiting: the order of posting and drawing leaves no other trace.
std::vector<bool> commandWaiting;
const auto realBitBlt = reinterpret_cast<decltype(&BitBlt)>(__imp_BitBlt);
BOOL WINAPI WatchedBitBlt(HDC dc, int x, int y, int cx, int cy, HDC source, int sx, int sy, DWORD rop)
{
    MSG msg;
    commandWaiting.push_back(PeekMessageW(&msg, NULL, WM_COMMAND, WM_COMMAND, PM_NOREMOVE));
    return realBitBlt(dc, x, y, cx, cy, source, sx, sy, rop);
}

class ButtonManager : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearButtonRegistry();
        PressedButtonIndex = -1;
        window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 160, 80, NULL, NULL, NULL, NULL);  // never shown
        HDC screen = GetDC(NULL);
        for (auto [surface, color] : {std::make_tuple(&back, BACKGROUND), {&up, UP_FACE}, {&down, DOWN_FACE}}) {
            EXPECT_EQ(0, CreateMemorySurface(screen, 160, 80, surface));
            SetDCBrushColor(surface->dc, color);
            SelectObject(surface->dc, GetStockObject(DC_BRUSH));
            PatBlt(surface->dc, 0, 0, 160, 80, PATCOPY);
        }
        ReleaseDC(NULL, screen);
        ASSERT_EQ(0, RegisterButtonSurface(window, back.dc, BASE, COUNT));
    }
    void TearDown() override
    {
        DestroyWindow(window);  // which releases the capture
        for (MemorySurface* surface : {&back, &up, &down}) ReleaseMemorySurface(surface);
    }

    // The window holding the capture, the pressed button's index and the commands posted
    // since the last look.
    std::tuple<HWND, int, Commands> State()
    {
        Commands posted;
        for (MSG msg; PeekMessageW(&msg, window, WM_COMMAND, WM_COMMAND, PM_REMOVE);)
            posted.emplace_back(msg.wParam, msg.lParam);
        return {GetCapture(), PressedButtonIndex, posted};
    }

    HWND window = NULL;
    MemorySurface back = {}, up = {}, down = {};
};

// Lets the hold timer run for longer than a hold, commands left waiting.
void WaitPastAHold()
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < BUTTON_HOLD_MS + 300; Sleep(10))
        for (MSG msg; PeekMessageW(&msg, NULL, WM_TIMER, WM_TIMER, PM_REMOVE);) DispatchMessageW(&msg);
}

TEST_F(ButtonManager, PressCycleRedrawsTheAutoFaceLowerIndexWinsOnlyThePressedButtonAnswersAndAHoldPostsOnce)
{
    SetButtonItem(window, 0, 0, 0, 160, 80, up.dc, down.dc, 0, BUTTON_AUTO);  // not hit-testable
    ASSERT_EQ(0, SetButtonItem(window, 1, 20, 10, 40, 20, up.dc, down.dc, 1, BUTTON_AUTO));
    SetButtonItem(window, 2, 30, 15, 40, 20, up.dc, down.dc, 1, BUTTON_AUTO);
    SetButtonItem(window, 3, -20, -20, 10, 10, up.dc, down.dc, 1, BUTTON_AUTO);
    __imp_BitBlt = reinterpret_cast<void*>(&WatchedBitBlt);
    EXPECT_EQ(0, ButtonPenDown(window, MAKELPARAM(60, 30)));  // the far corner is inside
    __imp_BitBlt = reinterpret_cast<void*>(realBitBlt);
    EXPECT_EQ(std::vector<bool>(2, true), commandWaiting) << "the press is posted before the face is drawn and shown";
    EXPECT_EQ(std::make_tuple(window, 1, Commands{{101, 1}}), State());
    EXPECT_EQ(DOWN_FACE, GetPixel(back.dc, 59, 29));
    EXPECT_EQ(BACKGROUND, GetPixel(back.dc, 60, 30));
    ASSERT_EQ(0, ButtonPenUp(window, MAKELPARAM(60, 30)));
    EXPECT_EQ(std::make_tuple(HWND{}, -1, Commands{{101, 0}}), State());
    EXPECT_EQ(UP_FACE, GetPixel(back.dc, 59, 29));
    // The pen is captured whether or not a button is hit.
    const struct { int x, y, button; } taps[] = {{5, 5, -1}, {25, 15, 1}, {35, 20, 1}, {65, 30, 2},
                                                 {-15, -12, 3}, {-1, -1, -1}, {71, 30, -1}};
    for (const auto& tap : taps) {
        const Commands none, press = {{BASE + tap.button, 1}}, release = {{BASE + tap.button, 0}};
        ButtonPenDown(window, MAKELPARAM(tap.x, tap.y));
        EXPECT_EQ(std::make_tuple(window, tap.button, tap.button < 0 ? none : press), State()) << tap.x << ',' << tap.y;
        ButtonPenUp(window, MAKELPARAM(tap.x, tap.y));
        EXPECT_EQ(std::make_tuple(HWND{}, -1, tap.button < 0 ? none : release), State()) << tap.x << ',' << tap.y;
    }
    // An index left by another window's surface, beyond this one's buttons.
    for (int left : {COUNT, 1 << 30}) {
        PressedButtonIndex = left;
        ASSERT_EQ(0, ButtonPenUp(window, MAKELPARAM(25, 15)));
    }
    ButtonPenDown(window, MAKELPARAM(65, 30));
    ButtonPenUp(window, MAKELPARAM(25, 15));  // over button 1, but button 2 is pressed
    EXPECT_EQ(std::make_tuple(HWND{}, -1, Commands{{102, 1}}), State());

    // A hold posts once and silences its release, but not a tap, a pen that left or one lifted.
    SetButtonItem(window, 2, 100, 10, 40, 20, up.dc, down.dc, 1, BUTTON_UP);
    const LPARAM on1 = MAKELPARAM(30, 20), on2 = MAKELPARAM(110, 20), beside = MAKELPARAM(90, 20);

    ButtonPenDown(window, on1);
    WaitPastAHold();
    WaitPastAHold();
    ButtonPenUp(window, on1);
    EXPECT_EQ(std::make_tuple(HWND{}, -1, Commands{{101, 1}, {101, 2}}), State()) << "held once, released silently";
    EXPECT_EQ(UP_FACE, GetPixel(back.dc, 20, 10)) << "the Auto face is up again";

    ButtonPenDown(window, on1);
    ButtonPenUp(window, on1);
    WaitPastAHold();
    ButtonPenDown(window, on2);
    ButtonPenMove(window, beside);
    ButtonPenMove(window, on2);  // back on the button: the hold does not resume
    WaitPastAHold();
    ButtonPenUp(window, on2);
    EXPECT_EQ(std::make_tuple(HWND{}, -1, Commands{{101, 1}, {101, 0}, {102, 1}, {102, 0}}), State())
        << "a tap, and a pen that left and came back";

    ButtonPenDown(window, on2);
    ReleaseCapture();  // lifted where the window did not see it
    WaitPastAHold();
    ButtonPenDown(window, beside);  // a pen down on no button ends a pending hold too
    ButtonPenDown(window, on1);
    ButtonPenDown(window, beside);
    WaitPastAHold();
    ButtonPenUp(window, beside);
    EXPECT_EQ(std::make_tuple(HWND{}, -1, Commands{{102, 1}, {101, 1}}), State());

    // The right button holds at once, and only a button under it.
    EXPECT_EQ(0, ButtonRightClick(window, on2));
    ButtonRightClick(window, beside);
    EXPECT_EQ(std::make_tuple(HWND{}, -1, Commands{{102, 2}}), State());
}

}  // namespace
