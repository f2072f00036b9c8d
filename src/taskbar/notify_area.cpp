#include "taskbar/notify_area.h"

#include <commctrl.h>

#include "core/log.h"
#include "gfx/button_manager.h"
#include "gfx/gdi_scope.h"
#include "gfx/surface.h"
#include "platform/platform.h"
#include "taskbar/battery.h"
#include "taskbar/taskbar.h"

namespace {

const int BATTERY_BUTTON = FIRST_NOTIFY_BUTTON + NOTIFY_ICON_SLOTS;

TaskButtonArea area;
MemorySurface faces[NOTIFY_BUTTON_COUNT];  // one per button, the icon on the bar's background
HICON faceIcons[NOTIFY_ICON_SLOTS];        // the icon each face shows, NULL when none
HWND tooltips;
int laidOutWidth;  // of the area as last drawn
// The last tap, for a second one on the same icon within the double-click time.
HWND lastTapOwner;
UINT lastTapId;
DWORD lastTapTime;

int IconLeft(int position, int width)
{
    const ShellSettings& s = *area.settings;
    return ScreenSize.cx - s.taskbarClockCX - width + s.taskbarNotifyPadCX + position * s.taskbarNotifyIconStep;
}

// The tooltip's tool of a button, its text asked for when shown.
TOOLINFOW ToolOf(int button)
{
    TOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = area.window;
    tool.uId = static_cast<UINT_PTR>(button);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    return tool;
}

void SetToolRect(int button, const RECT& rect)
{
    TOOLINFOW tool = ToolOf(button);
    tool.rect = rect;
    SendMessageW(tooltips, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

// The face of a button of the area, cleared to the bar's background behind it.
HDC ClearedFace(int face)
{
    const ShellSettings& s = *area.settings;
    const int size = s.taskbarNotifyIconSize;
    StretchBlt(faces[face].dc, 0, 0, size, size, area.background, 0, s.taskbarNotifyIconY, 1, size, SRCCOPY);
    return faces[face].dc;
}

// Composes the icon's face, unless it already shows that icon, and draws it into the back
// buffer.
void DrawIconButton(int position)
{
    HICON icon = CurrentNotifyIcon(position).icon;
    if (!icon || icon != faceIcons[position]) {
        HDC face = ClearedFace(position);
        if (icon) DrawIconAtSize(face, 0, 0, icon, area.settings->taskbarNotifyIconSize);
        faceIcons[position] = icon;
    }
    DrawButtonItem(area.window, FIRST_NOTIFY_BUTTON + position, 0);
}

void DrawBatteryButton()
{
    DrawBatteryIcon(ClearedFace(NOTIFY_ICON_SLOTS), 0, 0, area.settings->taskbarNotifyIconSize);
    DrawButtonItem(area.window, BATTERY_BUTTON, 0);
}

// Places a button of the area at a slot, or takes it off the bar (slot -1).
void PlaceAreaButton(int button, HDC face, int slot, int width)
{
    const ShellSettings& s = *area.settings;
    const int x = slot >= 0 ? IconLeft(slot, width) : 0, cx = slot >= 0 ? s.taskbarNotifyIconSize : 0;
    SetButtonItem(area.window, button, x, s.taskbarNotifyIconY, cx, cx, face, face, slot >= 0, BUTTON_UP);
    SetToolRect(button, RECT{x, s.taskbarNotifyIconY, x + cx, s.taskbarNotifyIconY + cx});
}

void LayOutNotifyArea()
{
    const ShellSettings& s = *area.settings;
    const int battery = BatteryShown() ? 1 : 0, count = NotifyIconCount();
    const int width = NotifyAreaWidth(battery + count, s);
    const int cleared = width > laidOutWidth ? width : laidOutWidth;
    const int clockLeft = ScreenSize.cx - s.taskbarClockCX;
    StretchBlt(area.backBuffer, clockLeft - cleared, 0, cleared, s.taskbarHeight, area.background, 0, 0, 1,
               s.taskbarHeight, SRCCOPY);
    if (width != laidOutWidth) ReserveTaskAreaEnd(width);
    laidOutWidth = width;
    PlaceAreaButton(BATTERY_BUTTON, faces[NOTIFY_ICON_SLOTS].dc, battery ? 0 : -1, width);
    if (battery) DrawBatteryButton();
    for (int i = 0; i < NOTIFY_ICON_SLOTS; ++i) {
        PlaceAreaButton(FIRST_NOTIFY_BUTTON + i, faces[i].dc, i < count ? battery + i : -1, width);
        if (i < count)
            DrawIconButton(i);
        else
            faceIcons[i] = NULL;  // the icon may be destroyed, and its handle given to a new one
    }
    PaintTaskbar(ScopedWindowDc(area.window));
}

void AddTool(int button)
{
    TOOLINFOW tool = ToolOf(button);
    tool.uFlags = TTF_SUBCLASS;
    SendMessageW(tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CreateTooltips()
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    tooltips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, NULL, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0,
                               area.window, NULL, NULL, NULL);
    if (!tooltips) {
        LogError(L"The notification area's tooltips cannot be made");
        return;
    }
    for (int i = 0; i < NOTIFY_BUTTON_COUNT; ++i) AddTool(FIRST_NOTIFY_BUTTON + i);
}

// The tooltip of an icon shows its new tip at once, also while it is up.
void RefreshTip(int position)
{
    TOOLINFOW tool = ToolOf(FIRST_NOTIFY_BUTTON + position);
    SendMessageW(tooltips, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void DrawChanges(const NotifyOutcome& outcome)
{
    if (outcome.changes & NOTIFY_ICONS_MOVED) {
        LayOutNotifyArea();
        return;
    }
    if (outcome.changes & NOTIFY_ICON_REDRAWN) {
        DrawIconButton(outcome.position);
        ShowButtonItem(area.window, FIRST_NOTIFY_BUTTON + outcome.position);
    }
    if (outcome.changes & NOTIFY_TIP_CHANGED) RefreshTip(outcome.position);
}

// A tap that follows a tap on the same icon within the double-click time is a double tap.
NotifyGesture TapGesture(const NotifyIcon& icon)
{
    const DWORD now = GetTickCount();
    const bool second = icon.owner == lastTapOwner && icon.id == lastTapId && now - lastTapTime <= GetDoubleClickTime();
    lastTapOwner = second ? NULL : icon.owner;
    lastTapId = icon.id;
    lastTapTime = now;
    return second ? NOTIFY_DOUBLE_TAP : NOTIFY_TAP;
}

// The tooltip's text for a button of the area; empty for a place without an icon.
LPWSTR TipOf(int button)
{
    if (button == BATTERY_BUTTON) {
        static WCHAR batteryTip[NOTIFY_TIP_CHARS];
        FormatBatteryTip(batteryTip, NOTIFY_TIP_CHARS);
        return batteryTip;
    }
    const int position = button - FIRST_NOTIFY_BUTTON;
    if (position < 0 || position >= NotifyIconCount()) return const_cast<LPWSTR>(L"");
    return const_cast<LPWSTR>(CurrentNotifyIcon(position).tip);
}

}  // namespace

int CreateNotifyArea(const TaskButtonArea& buttonArea)
{
    area = buttonArea;
    laidOutWidth = 0;
    lastTapOwner = NULL;
    ZeroMemory(faceIcons, sizeof faceIcons);
    ResetNotifyIcons();
    const int size = area.settings->taskbarNotifyIconSize;
    for (MemorySurface& face : faces)
        if (CreateMemorySurface(area.backBuffer, size > 0 ? size : 1, size > 0 ? size : 1, &face) != 0) return 1;
    CreateTooltips();
    RefreshBattery(GetTickCount(), true);
    LayOutNotifyArea();
    return 0;
}

void StartReceivingNotifyIcons(HWND window)
{
    if (ReceiveNotifyIcons(window, NOTIFY_RECORD_MESSAGE) != 0)
        LogError(L"Programs' notification icons cannot be received on this platform");
}

void ReleaseNotifyArea()
{
    ReceiveNotifyIcons(NULL, 0);
    ResetNotifyIcons();
    for (MemorySurface& face : faces) ReleaseMemorySurface(&face);
    if (tooltips) DestroyWindow(tooltips);
    tooltips = NULL;
}

LRESULT ReceiveNotifyRecord(LPARAM message)
{
    NotifyRecordPtr record(reinterpret_cast<NotifyRecord*>(message));
    if (!record) return FALSE;
    const NotifyOutcome outcome = ApplyNotifyRecord(record.get());
    DrawChanges(outcome);
    return outcome.answer;
}

void TickNotifyArea()
{
    const bool batteryChanged = RefreshBattery(GetTickCount(), false);
    if (DropIconsOfGoneOwners() || batteryChanged) LayOutNotifyArea();
}

void RefreshNotifyBattery(bool force)
{
    if (RefreshBattery(GetTickCount(), force)) LayOutNotifyArea();
}

void HandleNotifyButton(int button, LPARAM command)
{
    const int position = button - FIRST_NOTIFY_BUTTON;
    if (position < 0 || position >= NotifyIconCount() || command == BUTTON_PRESSED) return;
    POINT point;
    GetCursorPos(&point);
    const NotifyIcon& icon = CurrentNotifyIcon(position);
    TellNotifyIconOwner(position, command == BUTTON_HELD ? NOTIFY_HOLD : TapGesture(icon), point);
}

bool HandleNotifyAreaTip(const NMHDR* header)
{
    if (!tooltips || header->hwndFrom != tooltips || header->code != TTN_GETDISPINFOW) return false;
    NMTTDISPINFOW* info = reinterpret_cast<NMTTDISPINFOW*>(const_cast<NMHDR*>(header));
    info->lpszText = TipOf(static_cast<int>(header->idFrom));
    return true;
}

void AnnounceNotifyArea()
{
    PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
}

void HandNotifyIconsOver()
{
    WCHAR path[MAX_PATH];
    FormatIconHandOverPath(GetCurrentProcessId(), path);
    if (SaveNotifyIcons(path) != 0) LogErrorF(L"The notification icons cannot be handed over in \"%ls\"", path);
}

void TakeNotifyIconsOver(DWORD predecessorProcessId)
{
    WCHAR path[MAX_PATH];
    FormatIconHandOverPath(predecessorProcessId, path);
    const int taken = RestoreNotifyIcons(path);
    if (taken == 0) return;
    LogInfoF(L"Notification icons handed over: %d", taken);
    LayOutNotifyArea();
}

int NotifyAreaWidth(int icons, const ShellSettings& s)
{
    if (icons <= 0) return 0;
    return 2 * s.taskbarNotifyPadCX + (icons - 1) * s.taskbarNotifyIconStep + s.taskbarNotifyIconSize;
}
