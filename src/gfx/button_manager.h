// Button manager: turns rectangles of a window into pressable buttons with pre-rendered
// faces, which post WM_COMMAND (base + index; lParam 1 on press, 0 on release inside, 2 when
// held). A surface that has no use for a hold ignores lParam 2.
//
// Per-surface operations look the window up first and return 1, doing nothing, when it is
// not registered or the index is outside 0 to count - 1.
#pragma once
#include <windows.h>

enum ButtonState { BUTTON_AUTO = 0, BUTTON_UP = 1, BUTTON_DOWN = 2 };

enum { BUTTON_SURFACE_COUNT = 32 };

// The lParam of a button's WM_COMMAND.
enum ButtonCommand { BUTTON_RELEASED = 0, BUTTON_PRESSED = 1, BUTTON_HELD = 2 };

// A pen kept down this long on a button, without leaving it, holds the button: the held
// command is posted once, and the release that ends the hold posts nothing.
const UINT BUTTON_HOLD_MS = 500;
// The manager's own timer on the window of the held button; a surface's window keeps this
// id free.
const UINT_PTR BUTTON_HOLD_TIMER = 0x484C;

struct ButtonItem {
    int x, y, cx, cy;  // rectangle in client coordinates
    HDC upImage;       // faces, used from their top-left corner
    HDC downImage;
    SHORT hitTestable;
    ButtonState state;
};

struct ButtonSurface {
    HWND window;  // 0 marks a free entry
    HDC backBuffer;
    int commandBase;
    int buttonCount;
    ButtonItem* items;
};

// The index of the button held by the last pen-down that hit one, -1 when none.
extern int PressedButtonIndex;

int ClearButtonRegistry();
int FindButtonSurface(HWND window);
int RegisterButtonSurface(HWND window, HDC backBuffer, int commandBase, int buttonCount);

int SetButtonItem(HWND window, int index, int x, int y, int cx, int cy, HDC upImage, HDC downImage,
                  int hitTestable, ButtonState state);
int SetButtonState(HWND window, int index, ButtonState state);

// Draws the face into the back buffer: pressed only matters for buttons in state Auto.
int DrawButtonItem(HWND window, int index, int pressed);
// Copies the button's rectangle from the back buffer to the window.
int ShowButtonItem(HWND window, int index);
// Both: draws the face into the back buffer and shows it at once.
int RedrawButtonItem(HWND window, int index, int pressed);

// The button's rectangle in the window's client coordinates.
int GetButtonRect(HWND window, int index, RECT* rect);

int ButtonPenDown(HWND window, LPARAM point);
// A pen that leaves the pressed button no longer holds it.
int ButtonPenMove(HWND window, LPARAM point);
int ButtonPenUp(HWND window, LPARAM point);
// The right button of a desktop's mouse: the button under it is held at once.
int ButtonRightClick(HWND window, LPARAM point);
