#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "gfx/button_manager.h"
#include "gfx/surface.h"

// This executable's import slot of BitBlt, through which the shell's modules call it.
extern "C" void* __imp_BitBlt;

namespace {

const COLORREF BACKGROUND = RGB(128, 128, 128), UP_FACE = RGB(0, 160, 0), DOWN_FACE = RGB(200, 0, 200);
const int BASE = 100, COUNT = 4;

using Commands = std::vector<std::pair<WPARAM, LPARAM>>;

// Put in the import slot, it records at each drawing whether a WM_COMMAND was already
// waiting: the order of posting and drawing leaves no other trace.
std::vector<bool> commandWaiting;
decltype(&BitBlt) realBitBlt;
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
        window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"STATIC", L"", WS_POPUP, 0, 0, 160, 80, NULL,
                                 NULL, NULL, NULL);
        HDC screen = GetDC(NULL);
        for (auto [surface, color] : {std::make_pair(&back, BACKGROUND), {&up, UP_FACE}, {&down, DOWN_FACE}}) {
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

    Commands TakeCommands()
    {
        Commands all;
        for (MSG msg; PeekMessageW(&msg, window, WM_COMMAND, WM_COMMAND, PM_REMOVE);)
            all.emplace_back(msg.wParam, msg.lParam);
        return all;
    }
    // Pen down and up at one point; the commands both posted.
    Commands Tap(int x, int y)
    {
        ButtonPenDown(window, MAKELPARAM(x, y));
        ButtonPenUp(window, MAKELPARAM(x, y));
        return TakeCommands();
    }
    COLORREF BackPixel(int x, int y) { return GetPixel(back.dc, x, y); }
    // The window holding the capture and the pressed button's index.
    std::pair<HWND, int> Held() { return {GetCapture(), PressedButtonIndex}; }
    int SetButton(int index, int x, int y, int cx = 40, int cy = 20, int hitTestable = 1)
    {
        return SetButtonItem(window, index, x, y, cx, cy, up.dc, down.dc, hitTestable, BUTTON_AUTO);
    }

    HWND window = NULL;
    MemorySurface back = {}, up = {}, down = {};
};

TEST_F(ButtonManager, PressCycleCapturesPostsAndRedrawsTheAutoFace)
{
    ASSERT_EQ(0, SetButton(1, 40, 10));
    realBitBlt = reinterpret_cast<decltype(&BitBlt)>(__imp_BitBlt);
    __imp_BitBlt = reinterpret_cast<void*>(&WatchedBitBlt);
    EXPECT_EQ(0, ButtonPenDown(window, MAKELPARAM(80, 30)));  // the far corner is inside
    __imp_BitBlt = reinterpret_cast<void*>(realBitBlt);
    EXPECT_EQ(std::vector<bool>(2, true), commandWaiting) << "the press is posted before the face is drawn and shown";
    EXPECT_EQ(std::make_pair(window, 1), Held());
    EXPECT_EQ((Commands{{101, 1}}), TakeCommands());
    EXPECT_EQ(std::make_pair(DOWN_FACE, BACKGROUND), std::make_pair(BackPixel(79, 29), BackPixel(80, 30)));
    ASSERT_EQ(0, ButtonPenUp(window, MAKELPARAM(80, 30)));
    EXPECT_EQ(std::make_pair(HWND(NULL), -1), Held());
    EXPECT_EQ((Commands{{101, 0}}), TakeCommands());
    EXPECT_EQ(UP_FACE, BackPixel(40, 10));
}

TEST_F(ButtonManager, LowerIndexWinsInSignedCoordinatesAndOnlyThePressedButtonAnswersTheRelease)
{
    SetButton(0, 0, 0, 160, 80, 0);  // not hit-testable
    SetButton(1, 20, 10);
    SetButton(2, 30, 15);
    SetButton(3, -20, -20, 10, 10);
    const struct { int x, y, button; } points[] = {{5, 5, -1}, {25, 15, 1}, {35, 20, 1}, {65, 30, 2},
                                                   {-15, -12, 3}, {-1, -1, -1}, {71, 30, -1}};
    for (const auto& p : points) {
        const Commands tapped = {{BASE + p.button, 1}, {BASE + p.button, 0}};
        EXPECT_EQ(p.button < 0 ? Commands{} : tapped, Tap(p.x, p.y)) << p.x << "," << p.y;
    }
    ButtonPenDown(window, MAKELPARAM(5, 5));
    EXPECT_EQ(std::make_pair(window, -1), Held()) << "the pen is captured whether or not a button is hit";
    // An index left by another window's surface, beyond this one's buttons.
    for (int left : {COUNT, 1 << 30}) {
        PressedButtonIndex = left;
        ASSERT_EQ(0, ButtonPenUp(window, MAKELPARAM(25, 15)));
    }
    ButtonPenDown(window, MAKELPARAM(65, 30));
    ButtonPenUp(window, MAKELPARAM(25, 15));  // over button 1, but button 2 is pressed
    EXPECT_EQ((Commands{{102, 1}}), TakeCommands());
}

}  // namespace
