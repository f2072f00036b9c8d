#include "taskbar/task_menu.h"

#include <strsafe.h>

#include "config/shell_settings.h"
#include "core/log.h"
#include "core/shell_text.h"
#include "gfx/gdi_scope.h"
#include "gfx/surface.h"
#include "platform/platform.h"
#include "resource.h"
#include "taskbar/task_close.h"
#include "taskbar/task_list.h"

namespace {

// Menu item ids; 0 is what TrackPopupMenuEx returns when the menu is dismissed. A window of
// the list menu has the id of its line plus one.
enum TaskMenuCommand { TASK_MENU_FRONT = 1, TASK_MENU_MINIMISE, TASK_MENU_CLOSE };

const UINT POPUP_FLAGS = TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_RETURNCMD;
const int LINE_CY = 24, LINE_MIN_CX = 120, LINE_MAX_CX = 320, LINE_MARGIN = 4, TEXT_X = 26;
const UINT LINE_TEXT_FORMAT = DT_LEFT | DT_VCENTER | DT_WORD_ELLIPSIS | DT_NOPREFIX;

// One line of the open menu.
struct MenuLine {
    HICON icon;  // NULL for none; the icon belongs to the task list
    WCHAR text[TASK_TITLE_CHARS];
    HWND window;  // the window the line stands for, NULL for a command
};
MenuLine lines[MAX_TASKS];  // of the menu open now, or of the last one
int lineCount;
bool menuOpen;  // one menu at a time: a hold that arrives while one is open is ignored

void AddLine(HMENU menu, UINT id, UINT flags, HICON icon, LPCWSTR text, HWND window)
{
    if (lineCount >= MAX_TASKS) return;
    MenuLine& line = lines[lineCount];
    line.icon = icon;
    line.window = window;
    StringCchCopyW(line.text, TASK_TITLE_CHARS, text);
    AppendMenuW(menu, MF_OWNERDRAW | flags, id, reinterpret_cast<LPCWSTR>(static_cast<INT_PTR>(lineCount)));
    ++lineCount;
}

void AddCommandLine(HMENU menu, HINSTANCE instance, TaskMenuCommand command, UINT textId, UINT flags)
{
    WCHAR text[TASK_TITLE_CHARS];
    if (LoadShellText(instance, textId, text, TASK_TITLE_CHARS) != 0) LogError(L"LoadString Error");
    AddLine(menu, command, flags, NULL, text, NULL);
}

HMENU BeginMenu()
{
    lineCount = 0;
    HMENU menu = CreatePopupMenu();
    if (!menu) LogError(L"CreatePopupMenu Error");
    return menu;
}

// The chosen id, 0 when the menu was dismissed.
UINT TrackMenu(HMENU menu, HWND owner, POINT anchor)
{
    menuOpen = true;
    HoldTaskIcons(true);  // the ticks run inside the menu's loop, and its lines draw the icons
    UINT chosen = static_cast<UINT>(TrackPopupMenuEx(menu, POPUP_FLAGS, anchor.x, anchor.y, owner, NULL));
    HoldTaskIcons(false);
    menuOpen = false;
    DestroyMenu(menu);
    return chosen;
}

const MenuLine* FindLine(ULONG_PTR itemData)
{
    return itemData < static_cast<ULONG_PTR>(lineCount) ? &lines[itemData] : NULL;
}

}  // namespace

void ShowTaskMenu(const TaskMenuOwner& owner, int position, POINT anchor, bool minimising)
{
    if (menuOpen || position < 0 || position >= TaskCount()) return;
    const TaskEntry& task = CurrentTask(position);
    HWND window = task.window;  // the list may change while the menu is open
    HMENU menu = BeginMenu();
    if (!menu) return;
    const bool minimised = minimising || IsWindowMinimised(window);
    AddLine(menu, 0, MF_GRAYED, task.icon, task.title, window);
    AddCommandLine(menu, owner.instance, TASK_MENU_FRONT, minimised ? IDS_TASK_RESTORE : IDS_TASK_BRING_TO_FRONT, 0);
    AddCommandLine(menu, owner.instance, TASK_MENU_MINIMISE, IDS_TASK_MINIMISE, minimised ? MF_GRAYED : 0);
    AddCommandLine(menu, owner.instance, TASK_MENU_CLOSE, IDS_TASK_CLOSE, 0);
    const UINT chosen = TrackMenu(menu, owner.window, anchor);
    if (!IsWindow(window)) return;  // gone meanwhile: nothing to do, nothing to say
    switch (chosen) {
    case TASK_MENU_FRONT:
        if (minimising) RestoreWindowAsync(window);  // queued behind the press's minimise
        BringWindowToFront(window);
        break;
    case TASK_MENU_MINIMISE:
        MinimiseWindowAsync(window);
        break;
    case TASK_MENU_CLOSE:
        CloseTaskWindow(owner.window, owner.instance, window);
        break;
    }
}

bool TaskMenuShown() { return menuOpen; }

HMENU BuildTaskListMenu(int first)
{
    if (first < 0 || first >= TaskCount()) return NULL;
    HMENU menu = BeginMenu();
    if (!menu) return NULL;
    for (int position = first; position < TaskCount(); ++position) {
        const TaskEntry& task = CurrentTask(position);
        AddLine(menu, lineCount + 1, 0, task.icon, task.title, task.window);
    }
    return menu;
}

void ShowTaskListMenu(const TaskMenuOwner& owner, int first, POINT anchor)
{
    if (menuOpen) return;
    HMENU menu = BuildTaskListMenu(first);
    if (!menu) return;
    const UINT chosen = TrackMenu(menu, owner.window, anchor);
    if (chosen < 1 || chosen > static_cast<UINT>(lineCount)) return;
    HWND window = lines[chosen - 1].window;
    if (IsWindow(window)) BringWindowToFront(window);
}

void BringWindowToFront(HWND window)
{
    if (IsWindowMinimised(window)) RestoreWindowAsync(window);
    SetForegroundWindow(window);
}

BOOL MeasureTaskMenuLine(MEASUREITEMSTRUCT* measure)
{
    const MenuLine* line = measure->CtlType == ODT_MENU ? FindLine(measure->itemData) : NULL;
    if (!line) return FALSE;
    RECT extent = {0, 0, 0, 0};
    {
        ScopedWindowDc dc(NULL);
        ScopedSelection font(dc, NormalFont);
        DrawTextW(dc, line->text, -1, &extent, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    }
    const int width = TEXT_X + extent.right + LINE_MARGIN;
    measure->itemWidth = width < LINE_MIN_CX ? LINE_MIN_CX : width > LINE_MAX_CX ? LINE_MAX_CX : width;
    measure->itemHeight = LINE_CY;
    return TRUE;
}

BOOL DrawTaskMenuLine(const DRAWITEMSTRUCT* draw)
{
    const MenuLine* line = draw->CtlType == ODT_MENU ? FindLine(draw->itemData) : NULL;
    if (!line) return FALSE;
    const RECT& box = draw->rcItem;
    const bool grayed = (draw->itemState & ODS_GRAYED) != 0;
    const bool selected = (draw->itemState & ODS_SELECTED) && !grayed;
    FillRect(draw->hDC, &box, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    // A window's line is its name, never dimmed; a command that does not apply is.
    const int textColor = selected ? COLOR_HIGHLIGHTTEXT : grayed && !line->window ? COLOR_GRAYTEXT : COLOR_MENUTEXT;
    SetTextColor(draw->hDC, GetSysColor(textColor));
    SetBkMode(draw->hDC, TRANSPARENT);
    if (line->icon)
        DrawIconAtSize(draw->hDC, box.left + LINE_MARGIN, (box.top + box.bottom - TASK_ICON_SIZE) / 2, line->icon,
                       TASK_ICON_SIZE);
    {
        ScopedSelection font(draw->hDC, NormalFont);
        DrawTextInRect(draw->hDC, line->text, box.left + TEXT_X, box.top, box.right - LINE_MARGIN, box.bottom,
                       LINE_TEXT_FORMAT);
    }
    if (grayed && line->window) {  // the title over a window's commands is underlined
        const RECT rule = {box.left + LINE_MARGIN, box.bottom - 1, box.right - LINE_MARGIN, box.bottom};
        FillRect(draw->hDC, &rule, GetSysColorBrush(COLOR_GRAYTEXT));
    }
    return TRUE;
}
