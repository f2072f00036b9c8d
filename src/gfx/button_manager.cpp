#include "gfx/button_manager.h"

#include <stdlib.h>

#include "gfx/gdi_scope.h"

int PressedButtonIndex = -1;

namespace {

ButtonSurface registry[BUTTON_SURFACE_COUNT];  // entries are never unregistered

// The button under a pen that is still down, until its hold timer fires or the pen goes.
struct Hold {
    HWND window;  // NULL when no hold is pending or done
    int index;
    bool fired;  // the held command went out: the release posts nothing
};
Hold hold;

ButtonSurface* FindSurface(HWND window)
{
    if (!window) return NULL;
    int i = FindButtonSurface(window);
    return i < 0 ? NULL : &registry[i];
}

ButtonItem* FindItem(HWND window, int index)
{
    ButtonSurface* surface = FindSurface(window);
    if (!surface || index < 0 || index >= surface->buttonCount) return NULL;
    return &surface->items[index];
}

// Both edges count: the sensitive area is one pixel wider and taller than the face.
bool ItemContains(const ButtonItem& item, LPARAM point)
{
    int px = static_cast<SHORT>(LOWORD(point));
    int py = static_cast<SHORT>(HIWORD(point));
    return item.hitTestable && item.x <= px && px <= item.x + item.cx && item.y <= py && py <= item.y + item.cy;
}

// The first button that contains the point (the lower index wins where they overlap), -1 for none.
int HitButton(const ButtonSurface& surface, LPARAM point)
{
    for (int i = 0; i < surface.buttonCount; ++i)
        if (ItemContains(surface.items[i], point)) return i;
    return -1;
}

void PostCommand(const ButtonSurface& surface, int index, LPARAM pressed)
{
    const int command = surface.commandBase + index;
    PostMessageW(surface.window, WM_COMMAND, static_cast<WPARAM>(command), pressed);
}

void CancelHold()
{
    if (hold.window && !hold.fired) KillTimer(hold.window, BUTTON_HOLD_TIMER);
    hold = Hold{};
}

// The pen has stayed on the button: unless it was lifted meanwhile (the capture went with
// it), the held command goes out once.
void CALLBACK FireHold(HWND window, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(window, timer);
    ButtonSurface* surface = FindSurface(window);
    if (!surface || hold.window != window || hold.fired) return;
    if (GetCapture() != window) {
        hold = Hold{};
        return;
    }
    hold.fired = true;
    PostCommand(*surface, hold.index, BUTTON_HELD);
}

void StartHold(HWND window, int index)
{
    CancelHold();
    if (SetTimer(window, BUTTON_HOLD_TIMER, BUTTON_HOLD_MS, FireHold)) hold = Hold{window, index, false};
}

}  // namespace

int ClearButtonRegistry()
{
    for (ButtonSurface& surface : registry) surface.window = NULL;
    return 0;
}

int FindButtonSurface(HWND window)
{
    for (int i = 0; i < BUTTON_SURFACE_COUNT; ++i)
        if (registry[i].window == window) return i;
    return -1;
}

int RegisterButtonSurface(HWND window, HDC backBuffer, int commandBase, int buttonCount)
{
    int free = FindButtonSurface(NULL);
    if (free < 0 || buttonCount < 0) return 1;
    ButtonItem* items = static_cast<ButtonItem*>(calloc(buttonCount > 0 ? buttonCount : 1, sizeof(ButtonItem)));
    if (!items) return 1;  // the entry stays free
    registry[free] = ButtonSurface{window, backBuffer, commandBase, buttonCount, items};
    return 0;
}

int SetButtonItem(HWND window, int index, int x, int y, int cx, int cy, HDC upImage, HDC downImage,
                  int hitTestable, ButtonState state)
{
    ButtonItem* item = FindItem(window, index);
    if (!item) return 1;
    *item = ButtonItem{x, y, cx, cy, upImage, downImage, static_cast<SHORT>(hitTestable), state};
    return 0;
}

int SetButtonState(HWND window, int index, ButtonState state)
{
    ButtonItem* item = FindItem(window, index);
    if (!item) return 1;
    item->state = state;
    return 0;
}

int DrawButtonItem(HWND window, int index, int pressed)
{
    ButtonSurface* surface = FindSurface(window);
    ButtonItem* item = FindItem(window, index);
    if (!item) return 1;
    bool up = item->state == BUTTON_UP || (item->state == BUTTON_AUTO && !pressed);
    BitBlt(surface->backBuffer, item->x, item->y, item->cx, item->cy, up ? item->upImage : item->downImage, 0, 0,
           SRCCOPY);
    return 0;
}

int ShowButtonItem(HWND window, int index)
{
    ButtonSurface* surface = FindSurface(window);
    ButtonItem* item = FindItem(window, index);
    if (!item) return 1;
    BitBlt(ScopedWindowDc(window), item->x, item->y, item->cx, item->cy, surface->backBuffer, item->x, item->y,
           SRCCOPY);
    return 0;
}

int ButtonPenDown(HWND window, LPARAM point)
{
    ButtonSurface* surface = FindSurface(window);
    if (!surface) return 1;
    SetCapture(window);
    const int i = HitButton(*surface, point);
    if (i < 0) {
        CancelHold();
        return 0;
    }
    PressedButtonIndex = i;
    PostCommand(*surface, i, BUTTON_PRESSED);  // the command goes out before the face is drawn
    if (surface->items[i].state == BUTTON_AUTO) RedrawButtonItem(window, i, 1);
    StartHold(window, i);
    return 0;
}

int ButtonPenMove(HWND window, LPARAM point)
{
    ButtonSurface* surface = FindSurface(window);
    if (!surface) return 1;
    if (hold.window == window && !hold.fired && !ItemContains(surface->items[hold.index], point)) CancelHold();
    return 0;
}

int ButtonPenUp(HWND window, LPARAM point)
{
    ButtonSurface* surface = FindSurface(window);
    if (!surface) return 1;
    ReleaseCapture();
    int pressed = PressedButtonIndex;
    PressedButtonIndex = -1;
    const bool held = hold.window == window && hold.fired && hold.index == pressed;
    CancelHold();
    // The index is shared by all surfaces; one left by another window is no button here.
    if (pressed < 0 || pressed >= surface->buttonCount) return 0;
    const ButtonItem& item = surface->items[pressed];
    if (item.state == BUTTON_AUTO) RedrawButtonItem(window, pressed, 0);
    if (!held && ItemContains(item, point)) PostCommand(*surface, pressed, BUTTON_RELEASED);
    return 0;
}

int ButtonRightClick(HWND window, LPARAM point)
{
    ButtonSurface* surface = FindSurface(window);
    if (!surface) return 1;
    const int i = HitButton(*surface, point);
    if (i >= 0) PostCommand(*surface, i, BUTTON_HELD);
    return 0;
}

int GetButtonRect(HWND window, int index, RECT* rect)
{
    ButtonItem* item = FindItem(window, index);
    if (!item) return 1;
    *rect = RECT{item->x, item->y, item->x + item->cx, item->y + item->cy};
    return 0;
}

int RedrawButtonItem(HWND window, int index, int pressed)
{
    if (DrawButtonItem(window, index, pressed) != 0) return 1;
    return ShowButtonItem(window, index);
}
