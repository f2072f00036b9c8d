#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "gfx/button_manager.h"
#include "pixel_image.h"

// This executable's import slot of BitBlt, through which the shell's modules call it.
extern "C" void* __imp_BitBlt;

namespace {

// Red equal to blue: each reads the same as a COLORREF and as a pixel of PixelImage.
const COLORREF BACKGROUND = RGB(128, 128, 128), UP_FACE = RGB(0, 160, 0), DOWN_FACE = RGB(200, 0, 200);
const int BASE = 100, COUNT = 4;

using Commands = std::vector<std::pair<WPARAM, LPARAM>>;

Commands Tapped(int index) { return {{BASE + index, 1}, {BASE + index, 0}}; }
LPARAM At(int x, int y) { return MAKELPARAM(x, y); }
HWND FakeWindow(int n) { return reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x7F000000 + 4 * n)); }

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
        ASSERT_EQ(0, RegisterButtonSurface(window, back.dc(), BASE, COUNT));
    }
    void TearDown() override { DestroyWindow(window); }  // which releases the capture

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
        ButtonPenDown(window, At(x, y));
        ButtonPenUp(window, At(x, y));
        return TakeCommands();
    }
    COLORREF BackPixel(int x, int y) { return GetPixel(back.dc(), x, y); }
    // The window holding the capture and the pressed button's index.
    std::pair<HWND, int> Held() { return {GetCapture(), PressedButtonIndex}; }
    int SetButton(int index, int x, int y, int cx = 40, int cy = 20, int hitTestable = 1)
    {
        return SetButtonItem(window, index, x, y, cx, cy, up.dc(), down.dc(), hitTestable, BUTTON_AUTO);
    }

    HWND window = NULL;
    PixelImage back{160, 80, BACKGROUND}, up{40, 20, UP_FACE}, down{40, 20, DOWN_FACE};
};

TEST_F(ButtonManager, PressCycleCapturesPostsAndRedrawsTheAutoFace)
{
    ShowWindow(window, SW_SHOWNOACTIVATE);  // a hidden window's pixels cannot be read back
    for (MSG msg; PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
    HDC windowDc = GetDC(window);
    ASSERT_EQ(0, SetButton(1, 40, 10));
    realBitBlt = reinterpret_cast<decltype(&BitBlt)>(__imp_BitBlt);
    __imp_BitBlt = reinterpret_cast<void*>(&WatchedBitBlt);
    EXPECT_EQ(0, ButtonPenDown(window, At(50, 20)));
    __imp_BitBlt = reinterpret_cast<void*>(realBitBlt);
    EXPECT_EQ(std::vector<bool>(2, true), commandWaiting) << "the press is posted before the face is drawn and shown";
    EXPECT_EQ(std::make_pair(window, 1), Held());
    EXPECT_EQ((Commands{{101, 1}}), TakeCommands());
    EXPECT_EQ(DOWN_FACE, GetPixel(windowDc, 79, 29));
    ASSERT_EQ(0, ButtonPenUp(window, At(80, 30)));  // the far corner is still inside
    EXPECT_EQ(std::make_pair(HWND(NULL), -1), Held());
    EXPECT_EQ((Commands{{101, 0}}), TakeCommands());
    EXPECT_EQ(UP_FACE, GetPixel(windowDc, 45, 15));

    ASSERT_EQ(0, ButtonPenDown(window, At(40, 10)));
    ASSERT_EQ(0, ButtonPenUp(window, At(120, 60)));  // released outside
    EXPECT_EQ((Commands{{101, 1}}), TakeCommands());
    EXPECT_EQ(UP_FACE, GetPixel(windowDc, 45, 15));
    EXPECT_EQ(std::make_pair(HWND(NULL), -1), Held());
    ReleaseDC(window, windowDc);
}

TEST_F(ButtonManager, LowerIndexWinsAndOnlyThePressedButtonAnswersTheRelease)
{
    SetButton(0, 0, 0, 160, 80, 0);  // not hit-testable
    SetButton(1, 20, 10);
    SetButton(2, 30, 15);
    ASSERT_EQ(0, ButtonPenDown(window, At(5, 5)));
    EXPECT_EQ(std::make_pair(window, -1), Held()) << "the pen is captured whether or not a button is hit";
    // Nothing pressed, or an index left by another window's surface, far beyond this one's.
    for (int left : {-1, COUNT, 1 << 30, -(1 << 30)}) {
        PressedButtonIndex = left;
        ASSERT_EQ(0, ButtonPenUp(window, At(25, 15)));  // over button 1, which was not pressed
        EXPECT_EQ(std::make_pair(HWND(NULL), -1), Held()) << left;
    }
    EXPECT_EQ(Commands{}, TakeCommands());
    EXPECT_EQ(BACKGROUND, BackPixel(25, 15)) << "nothing is drawn";

    EXPECT_EQ(Tapped(1), Tap(35, 20));
    for (int x : {25, 65, 5}) ButtonPenDown(window, At(x, x / 2));  // button 1, button 2, none
    EXPECT_EQ(2, PressedButtonIndex);
    ButtonPenUp(window, At(25, 15));  // over button 1, but button 2 is pressed
    EXPECT_EQ((Commands{{101, 1}, {102, 1}}), TakeCommands());
}

TEST_F(ButtonManager, UpAndDownStatesKeepTheirFacesButStillPost)
{
    const ButtonState states[] = {BUTTON_UP, BUTTON_DOWN, static_cast<ButtonState>(7)};
    for (int i = 0; i < 3; ++i) {
        SetButton(i, 50 * i, 0);
        ASSERT_EQ(0, SetButtonState(window, i, states[i]));
        EXPECT_EQ(Tapped(i), Tap(50 * i + 5, 5)) << i;
        EXPECT_EQ(BACKGROUND, BackPixel(50 * i + 5, 5)) << "nothing is drawn on press or release " << i;
    }
    for (int pressed = 0; pressed <= 1; ++pressed) {
        for (int i = 0; i < 3; ++i) ASSERT_EQ(0, DrawButtonItem(window, i, pressed));
        EXPECT_EQ((std::vector<COLORREF>{UP_FACE, DOWN_FACE, DOWN_FACE}),
                  (std::vector<COLORREF>{BackPixel(5, 5), BackPixel(55, 5), BackPixel(105, 5)}))
            << "Up, Down, 7; pressed " << pressed;
    }
}

TEST_F(ButtonManager, RegistryHoldsThirtyTwoSurfacesAndFindsTheFirstOfAWindow)
{
    EXPECT_EQ(1, FindButtonSurface(NULL)) << "window 0 finds the first free entry";
    for (int i = 1; i < BUTTON_SURFACE_COUNT; ++i) ASSERT_EQ(0, RegisterButtonSurface(FakeWindow(i), back.dc(), 0, 1));
    EXPECT_EQ(31, FindButtonSurface(FakeWindow(31)));
    EXPECT_EQ(1, RegisterButtonSurface(FakeWindow(32), back.dc(), BASE, 1));
    ClearButtonRegistry();
    EXPECT_EQ(1, SetButtonX(window, 0, 0)) << "a cleared entry is no longer found";
    ASSERT_EQ(0, RegisterButtonSurface(window, back.dc(), BASE, COUNT));
    ASSERT_EQ(0, RegisterButtonSurface(window, back.dc(), 200, COUNT));
    EXPECT_EQ(0, FindButtonSurface(window)) << "a second registration is never found";
    SetButton(0, 0, 0);
    EXPECT_EQ(Tapped(0), Tap(5, 5));
}

TEST_F(ButtonManager, UnknownWindowOrIndexReturnsOneAndChangesNothing)
{
    ASSERT_EQ(0, SetButton(0, 10, 10, 20, 10));
    SetCapture(window);
    PressedButtonIndex = 0;
    for (const auto& [w, i] : {std::pair<HWND, int>{NULL, 0}, {FakeWindow(1), 0}, {window, -1}, {window, COUNT}}) {
        std::vector<int> results = {
            SetButtonItem(w, i, 50, 40, 30, 30, down.dc(), up.dc(), 0, BUTTON_UP), SetButtonState(w, i, BUTTON_UP),
            SetButtonX(w, i, 50), SetButtonY(w, i, 40), SetButtonCX(w, i, 1), SetButtonCY(w, i, 1),
            SetButtonUpImage(w, i, down.dc()), SetButtonDownImage(w, i, up.dc()), SetButtonHitTest(w, i, 0),
            DrawButtonItem(w, i, 1), ShowButtonItem(w, i)};
        if (w != window) results.insert(results.end(), {ResetButtonItems(w), ButtonPenDown(w, 0), ButtonPenUp(w, 0)});
        EXPECT_EQ(std::vector<int>(results.size(), 1), results) << "window " << w << " index " << i;
    }
    EXPECT_EQ(std::make_pair(window, 0), Held()) << "the capture is neither taken nor released";
    PressedButtonIndex = -1;
    EXPECT_EQ(Commands{}, TakeCommands());
    EXPECT_EQ(BACKGROUND, BackPixel(15, 15)) << "nothing drawn";
    // Button 0 is as it was set: Auto, hit-testable, its faces at (10, 10) to (29, 19).
    EXPECT_EQ(Tapped(0), Tap(30, 20));
    ASSERT_EQ(0, DrawButtonItem(window, 0, 1));
    EXPECT_EQ(std::make_pair(DOWN_FACE, BACKGROUND), std::make_pair(BackPixel(29, 19), BackPixel(30, 20)));
    ASSERT_EQ(0, DrawButtonItem(window, 0, 0));
    EXPECT_EQ(UP_FACE, BackPixel(10, 10));
}

TEST_F(ButtonManager, ResetThenSettersMakeButtonsHitInSignedCoordinatesUpToTheFarEdges)
{
    SetButton(2, 10, 10);
    ASSERT_EQ(0, ResetButtonItems(window));
    EXPECT_EQ(Commands{}, Tap(15, 15));
    ASSERT_EQ(0, SetButtonHitTest(window, 0, 0x10000));
    EXPECT_EQ(Commands{}, Tap(0, 0)) << "zeroed items are not hit-testable; the flag keeps its low 16 bits";
    ASSERT_EQ(0, SetButtonHitTest(window, 0, 1));
    EXPECT_EQ(Tapped(0), Tap(0, 0)) << "a zeroed item is an Auto button of size 0 at (0, 0)";
    ASSERT_EQ(0, SetButtonX(window, 0, 40) + SetButtonY(window, 0, 10) + SetButtonCX(window, 0, 40) +
                     SetButtonCY(window, 0, 20) + SetButtonUpImage(window, 0, up.dc()) +
                     SetButtonDownImage(window, 0, down.dc()));
    // Read unsigned, x = -1 or y = -1 would land on buttons 1 and 2 at 65535.
    SetButton(1, 65500, 0);
    SetButton(2, 0, 65500, 40, 40);
    SetButton(COUNT - 1, -20, -20, 10, 10);
    const struct { int x, y, button; } points[] = {
        {40, 10, 0},  {80, 10, 0},  {40, 30, 0},  {80, 30, 0},  {60, 20, 0},   {39, 10, -1},           {81, 30, -1},
        {80, 31, -1}, {40, 9, -1},  {-1, 5, -1},  {5, -1, -1},  {-1, -1, -1},  {-15, -12, COUNT - 1}};
    for (const auto& p : points)
        EXPECT_EQ(p.button < 0 ? Commands{} : Tapped(p.button), Tap(p.x, p.y)) << p.x << "," << p.y;
    ASSERT_EQ(0, DrawButtonItem(window, 0, 0));
    EXPECT_EQ(std::make_pair(UP_FACE, BACKGROUND), std::make_pair(BackPixel(79, 29), BackPixel(80, 30)));
    ASSERT_EQ(0, DrawButtonItem(window, 0, 1));
    EXPECT_EQ(DOWN_FACE, BackPixel(40, 10));
}

}  // namespace
