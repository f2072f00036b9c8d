#include "gfx/button_manager.h"

#include <stdlib.h>

int PressedButtonIndex = -1;

namespace {

ButtonSurface registry[BUTTON_SURFACE_COUNT];  // entries are never unregistered

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

template <typename Field, typename Value>
int SetButtonField(HWND window, int index, Field ButtonItem::*field, Value value)
{
    ButtonItem* item = FindItem(window, index);
    if (!item) return 1;
    item->*field = static_cast<Field>(value);
    return 0;
}

// Both edges count: the sensitive area is one pixel wider and taller than the face.
bool ItemContains(const ButtonItem& item, LPARAM point)
{
    int px = static_cast<SHORT>(LOWORD(point));
    int py = static_cast<SHORT>(HIWORD(point));
    return item.hitTestable && item.x <= px && px <= item.x + item.cx && item.y <= py && py <= item.y + item.cy;
}

void PostCommand(const ButtonSurface& surface, int index, LPARAM pressed)
{
    const int command = surface.commandBase + index;
    PostMessageW(surface.window, WM_COMMAND, static_cast<WPARAM>(command), pressed);
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

int ResetButtonItems(HWND window)
{
    ButtonSurface* surface = FindSurface(window);
    if (!surface) return 1;
    ZeroMemory(surface->items, surface->buttonCount * sizeof(ButtonItem));
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

int SetButtonState(HWND window, int index, ButtonState state) { return SetButtonField(window, index, &ButtonItem::state, state); }
int SetButtonX(HWND window, int index, int x) { return SetButtonField(window, index, &ButtonItem::x, x); }
int SetButtonY(HWND window, int index, int y) { return SetButtonField(window, index, &ButtonItem::y, y); }
int SetButtonCX(HWND window, int index, int cx) { return SetButtonField(window, index, &ButtonItem::cx, cx); }
int SetButtonCY(HWND window, int index, int cy) { return SetButtonField(window, index, &ButtonItem::cy, cy); }
int SetButtonUpImage(HWND window, int index, HDC image) { return SetButtonField(window, index, &ButtonItem::upImage, image); }
int SetButtonDownImage(HWND window, int index, HDC image) { return SetButtonField(window, index, &ButtonItem::downImage, image); }
int SetButtonHitTest(HWND window, int index, int hitTestable)
{
    return SetButtonField(window, index, &ButtonItem::hitTestable, hitTestable);
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
    HDC dc = GetDC(window);
    BitBlt(dc, item->x, item->y, item->cx, item->cy, surface->backBuffer, item->x, item->y, SRCCOPY);
    ReleaseDC(window, dc);
    return 0;
}

int ButtonPenDown(HWND window, LPARAM point)
{
    ButtonSurface* surface = FindSurface(window);
    if (!surface) return 1;
    SetCapture(window);
    for (int i = 0; i < surface->buttonCount; ++i) {
        if (!ItemContains(surface->items[i], point)) continue;
        PressedButtonIndex = i;
        PostCommand(*surface, i, 1);  // the command goes out before the face is drawn
        if (surface->items[i].state == BUTTON_AUTO) RedrawButtonItem(window, i, 1);
        break;
    }
    return 0;
}

int ButtonPenUp(HWND window, LPARAM point)
{
    ButtonSurface* surface = FindSurface(window);
    if (!surface) return 1;
    ReleaseCapture();
    int pressed = PressedButtonIndex;
    PressedButtonIndex = -1;
    // The index is shared by all surfaces; one left by another window is no button here.
    if (pressed < 0 || pressed >= surface->buttonCount) return 0;
    const ButtonItem& item = surface->items[pressed];
    if (item.state == BUTTON_AUTO) RedrawButtonItem(window, pressed, 0);
    if (ItemContains(item, point)) PostCommand(*surface, pressed, 0);
    return 0;
}

int RedrawButtonItem(HWND window, int index, int pressed)
{
    if (DrawButtonItem(window, index, pressed) != 0) return 1;
    return ShowButtonItem(window, index);
}
