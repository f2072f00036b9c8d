// The programs' notification icons: up to sixteen, in the order they came, each known by its
// owner window and id, with the icon the shell owns, the tip and the message that tells the
// owner of a tap. The notification area draws them.
#pragma once
#include <windows.h>

#include "platform/notify_record.h"

enum { NOTIFY_ICON_SLOTS = 16 };

// The versions NIM_SETVERSION sets: 3 adds NIN_SELECT and WM_CONTEXTMENU to the mouse's
// messages, 4 also puts the message and the id in lParam and the point in wParam.
enum { NOTIFY_VERSION_SELECT = 3, NOTIFY_VERSION_POINT = 4 };

struct NotifyIcon {
    HWND owner;
    UINT id;
    UINT callbackMessage;  // 0: the owner is told nothing
    HICON icon;            // NULL draws an empty place
    UINT version;          // NIM_SETVERSION's
    WCHAR tip[NOTIFY_TIP_CHARS];
};

// What a call or a tick changed.
enum NotifyIconChange : unsigned {
    NOTIFY_ICONS_MOVED = 1,   // icons came or went: the area is laid out again
    NOTIFY_ICON_REDRAWN = 2,  // the icon at the outcome's position has a new picture
    NOTIFY_TIP_CHANGED = 4,   // the tip at the outcome's position
};

struct NotifyOutcome {
    BOOL answer;  // what Shell_NotifyIcon returns to the program
    unsigned changes;
    int position;
};

// Empties the table, destroying its icons.
void ResetNotifyIcons();
// Applies a decoded call: an add of a (window, id) already there modifies it, a modify or a
// delete of one that is not there fails, a seventeenth icon is refused. The icon the record
// holds is taken when the call uses it.
NotifyOutcome ApplyNotifyRecord(NotifyRecord* record);
// Notes a window that stands: its icons need no further look at the next drop.
void NoteStandingWindow(HWND window);
// Drops the icons whose owner window is gone, asking the system only of owners not noted
// since the last drop; NOTIFY_ICONS_MOVED when there were any.
unsigned DropIconsOfGoneOwners();

int NotifyIconCount();
const NotifyIcon& CurrentNotifyIcon(int position);

enum NotifyGesture { NOTIFY_TAP, NOTIFY_DOUBLE_TAP, NOTIFY_HOLD };
// Posts the owner of the icon its callback messages for the gesture (never sent: a hung owner
// cannot stop the bar), the point being where the pen was, in screen coordinates.
void TellNotifyIconOwner(int position, NotifyGesture gesture, POINT point);

// The file in which a shell that hands over leaves its icons for the one that follows it.
void FormatIconHandOverPath(DWORD handingProcessId, WCHAR (&path)[MAX_PATH]);
// Writes every icon to the file; 0 on success.
int SaveNotifyIcons(LPCWSTR path);
// Adds the icons of the file whose owners still stand, then deletes the file; how many came.
int RestoreNotifyIcons(LPCWSTR path);
