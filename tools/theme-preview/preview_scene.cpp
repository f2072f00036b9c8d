#include "preview_scene.h"

#include <shellapi.h>
#include <strsafe.h>

#include "config/shell_settings.h"
#include "gfx/gdi_scope.h"
#include "gfx/surface.h"
#include "startmenu/start_menu.h"
#include "taskbar/notify_area.h"
#include "taskbar/battery.h"
#include "taskbar/task_buttons.h"
#include "taskbar/task_list.h"
#include "taskbar/taskbar.h"
#include "theme/start_menu_layout.h"
#include "theme/theme_parts.h"

namespace {

// Example windows for the task buttons, the selected one drawn pressed. They are only
// handles to the task list, which asks the icon finder rather than the windows.
const LPCWSTR EXAMPLE_TITLES[] = {L"Notepad", L"メモ帳", L"Photos of the summer by the lagoon, day two"};
const int EXAMPLE_SELECTED = 1;

// What the All Programs popup lists on a device with applications on both volumes.
struct PopupEntry {
    LPCWSTR text;  // NULL: the separator
    bool heading;
};
const PopupEntry EXAMPLE_POPUP[] = {
    {L"NAND3:", true}, {L"メモ帳", false}, {L"Camera", false}, {NULL, false}, {L"SD Card:", true}, {L"Maps", false},
};
// The item outlines of the layout picture: a colour seldom in a theme, and small names.
const COLORREF LAYOUT_OUTLINE = RGB(255, 0, 128);
const int LAYOUT_NAME_HEIGHT = -9;
// The system draws the popup; these approach its measures.
const int POPUP_BORDER = 3, POPUP_TEXT_MARGIN = 18, POPUP_SEPARATOR_CY = 9;

HRGN startMenuShape;  // in the menu's coordinates

HWND ExampleWindow(int i) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(i + 1)); }

HICON ExampleIcon(HWND, bool* owned)
{
    *owned = true;
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(NULL), L"APPLICATION", IMAGE_ICON, 16, 16, 0));
}

void ShowExampleTasks()
{
    const int count = ARRAYSIZE(EXAMPLE_TITLES);
    TaskEntry enumerated[MAX_TASKS] = {};
    // New windows are appended the one enumerated last first.
    for (int i = 0; i < count; ++i) {
        enumerated[count - 1 - i].window = ExampleWindow(i);
        StringCchCopyW(enumerated[count - 1 - i].title, TASK_TITLE_CHARS, EXAMPLE_TITLES[i]);
    }
    DrawTaskListChanges(UpdateTaskList(enumerated, ExampleWindow(EXAMPLE_SELECTED), NULL, ExampleIcon));
}

// Two programs' icons in the notification area, so that its place shows.
void ShowExampleNotifyIcons(HWND owner)
{
    for (UINT id = 1; id <= 2; ++id) {
        NotifyRecord* record = new NotifyRecord();
        record->operation = NOTIFY_ADD;
        record->owner = owner;
        record->id = id;
        record->flags = NIF_ICON;
        bool owned = false;
        record->icon = ExampleIcon(owner, &owned);
        ReceiveNotifyRecord(reinterpret_cast<LPARAM>(record));
    }
}

// A window that is never shown, only a key for the button manager and a DC's reference.
HWND CreateHiddenOwner() { return CreateWindowExW(0, L"Message", NULL, 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL); }

int StartMenuTop() { return ScreenSize.cy - Settings.taskbarHeight - Settings.startHeight; }

void FillDesktop(HDC dc)
{
    RECT screen = {0, 0, ScreenSize.cx, ScreenSize.cy};
    FillRect(dc, &screen, GetSysColorBrush(COLOR_DESKTOP));
}

void PaintBarAtBottom(HDC dc, bool startButtonPressed)
{
    SetStartButtonPressed(startButtonPressed);
    SetViewportOrgEx(dc, 0, ScreenSize.cy - Settings.taskbarHeight, NULL);
    PaintTaskbar(dc);
    SetViewportOrgEx(dc, 0, 0, NULL);
}

// The window's shape clips the menu as SetWindowRgn does.
void PaintShapedMenu(HDC dc)
{
    HRGN clip = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(clip, startMenuShape, NULL, RGN_COPY);
    OffsetRgn(clip, 0, StartMenuTop());
    SelectClipRgn(dc, clip);
    SetViewportOrgEx(dc, 0, StartMenuTop(), NULL);
    PaintStartMenu(dc);
    SetViewportOrgEx(dc, 0, 0, NULL);
    SelectClipRgn(dc, NULL);
    DeleteObject(clip);
}

// The popup's bottom-left corner at the anchor, moved onto the screen as the system moves it,
// in the system's menu font and colours, outlined.
void PaintAllProgramsPlace(HDC dc)
{
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    ScopedGdiObject<HFONT> font(CreateFontIndirectW(&metrics.lfMenuFont));
    ScopedSelection menuFont(dc, font);
    TEXTMETRICW text;
    GetTextMetricsW(dc, &text);
    const int itemCY = text.tmHeight + 4;
    int width = 0, height = 2 * POPUP_BORDER;
    for (const PopupEntry& entry : EXAMPLE_POPUP) {
        SIZE extent = {};
        if (entry.text) GetTextExtentPoint32W(dc, entry.text, static_cast<int>(wcslen(entry.text)), &extent);
        if (extent.cx > width) width = extent.cx;
        height += entry.text ? itemCY : POPUP_SEPARATOR_CY;
    }
    width += 2 * (POPUP_BORDER + POPUP_TEXT_MARGIN);
    POINT anchor = AllProgramsAnchor();
    RECT popup = {anchor.x, StartMenuTop() + anchor.y - height, anchor.x + width, StartMenuTop() + anchor.y};
    if (popup.right > ScreenSize.cx) OffsetRect(&popup, ScreenSize.cx - popup.right, 0);
    if (popup.top < 0) OffsetRect(&popup, 0, -popup.top);

    FillRect(dc, &popup, GetSysColorBrush(COLOR_MENU));
    ScopedGdiObject<HPEN> outline(CreatePen(PS_DOT, 1, GetSysColor(COLOR_MENUTEXT)));
    ScopedSelection pen(dc, outline), brush(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, popup.left, popup.top, popup.right, popup.bottom);
    SetBkMode(dc, TRANSPARENT);
    int y = popup.top + POPUP_BORDER;
    for (const PopupEntry& entry : EXAMPLE_POPUP) {
        if (!entry.text) {
            MoveToEx(dc, popup.left + POPUP_BORDER, y + POPUP_SEPARATOR_CY / 2, NULL);
            LineTo(dc, popup.right - POPUP_BORDER, y + POPUP_SEPARATOR_CY / 2);
            y += POPUP_SEPARATOR_CY;
            continue;
        }
        SetTextColor(dc, GetSysColor(entry.heading ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
        TextOutW(dc, popup.left + POPUP_BORDER + POPUP_TEXT_MARGIN, y + 2, entry.text, static_cast<int>(wcslen(entry.text)));
        y += itemCY;
    }
}

}  // namespace

int ComposeScenes(const SettingsFiles& files, SIZE screen)
{
    ScreenSize = screen;
    if (LoadShellSettings(files, &Settings) != 0) return 1;
    // Drive-relative paths (the shortcuts' programs, for their icons) resolve on the home
    // directory's drive, as for the shell started from its folder.
    SetCurrentDirectoryW(files.home);
    CreateShellFonts();
    HINSTANCE instance = GetModuleHandleW(NULL);
    HWND taskbarOwner = CreateHiddenOwner(), startMenuOwner = CreateHiddenOwner();
    if (!taskbarOwner || !startMenuOwner) return 1;
    if (ComposeTaskbar(taskbarOwner, instance, Settings) != 0) return 1;
    UpdateClock();
    ShowExampleTasks();
    ShowExampleNotifyIcons(taskbarOwner);
    return ComposeStartMenu(startMenuOwner, instance, Settings, &startMenuShape);
}

SIZE TaskbarSceneSize() { return SIZE{ScreenSize.cx, Settings.taskbarHeight}; }

void PaintTaskbarScene(HDC dc)
{
    SetStartButtonPressed(false);
    PaintTaskbar(dc);
}

void PaintStartMenuScene(HDC dc)
{
    FillDesktop(dc);
    PaintBarAtBottom(dc, true);
    PaintShapedMenu(dc);
    PaintAllProgramsPlace(dc);
}

SIZE LayoutSceneSize() { return SIZE{Settings.startWidth, Settings.startHeight}; }

void PaintLayoutScene(HDC dc)
{
    PaintStartMenu(dc);
    ScopedGdiObject<HPEN> outline(CreatePen(PS_DOT, 1, LAYOUT_OUTLINE));
    ScopedGdiObject<HFONT> font(CreateFontW(LAYOUT_NAME_HEIGHT, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                            DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                            NONANTIALIASED_QUALITY, DEFAULT_PITCH, L"Tahoma"));
    ScopedSelection pen(dc, outline), nameFont(dc, font), brush(dc, GetStockObject(NULL_BRUSH));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, LAYOUT_OUTLINE);
    const StartMenuPlaces places = StartMenuLayout(Settings);
    for (int i = 0; i < START_MENU_ITEM_COUNT; ++i) {
        const LayoutItem& item = places[i];
        const RECT r = {static_cast<LONG>(item.x), static_cast<LONG>(item.y), static_cast<LONG>(item.x + item.cx),
                        static_cast<LONG>(item.y + item.cy)};
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
        RECT name = {r.left + 2, r.top + 1, r.right - 2, r.bottom};  // at the right, clear of glyphs and texts
        DrawTextW(dc, LayoutItemName(i).c_str(), -1, &name, DT_RIGHT | DT_SINGLELINE | DT_NOCLIP);
    }
}

SIZE BatterySceneSize()
{
    const ShellSettings& s = Settings;
    return SIZE{2 * s.taskbarNotifyPadCX + (BATTERY_FACE_COUNT - 1) * s.taskbarNotifyIconStep + s.taskbarNotifyIconSize,
                s.taskbarHeight};
}

void PaintBatteryScene(HDC dc)
{
    const ShellSettings& s = Settings;
    MemorySurface bar;
    if (LoadThemeBitmap(dc, s.themeFolder, THEME_PARTS[PART_TASKBAR].name, &bar) != 0) return;  // composing read it
    StretchBlt(dc, 0, 0, BatterySceneSize().cx, s.taskbarHeight, bar.dc, 0, 0, 1, s.taskbarHeight, SRCCOPY);
    ReleaseMemorySurface(&bar);
    for (int face = 0; face < BATTERY_FACE_COUNT; ++face)
        DrawBatteryFace(dc, s.taskbarNotifyPadCX + face * s.taskbarNotifyIconStep, s.taskbarNotifyIconY,
                        s.taskbarNotifyIconSize, static_cast<BatteryFace>(face));
}

void PaintDesktopScene(HDC dc)
{
    FillDesktop(dc);
    PaintBarAtBottom(dc, false);
}
