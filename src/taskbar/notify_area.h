// The notification area of the taskbar (buttons 26 to 42): the battery, the shell's own icon,
// first, then the programs' icons in the order they came, right-aligned against the clock,
// each a button of the bar with its tip as a tooltip. The task buttons' space shrinks by the
// area's width.
#pragma once
#include <windows.h>

#include "config/shell_settings.h"
#include "taskbar/notify_icons.h"
#include "taskbar/task_buttons.h"

enum { FIRST_NOTIFY_BUTTON = 26, NOTIFY_BUTTON_COUNT = NOTIFY_ICON_SLOTS + 1 };

// The message in which the platform hands the taskbar's window one call (lParam a
// NotifyRecord* it takes); the answer is the caller's result.
const UINT NOTIFY_RECORD_MESSAGE = WM_APP + 1;

// Makes the icons' faces and their tooltips and lays the empty area out; 1 (logged) when the
// faces cannot be made.
int CreateNotifyArea(const TaskButtonArea& area);
void ReleaseNotifyArea();
// The programs' calls go to the window from now on. A platform that does not hand them to the
// shell is logged, not fatal.
void StartReceivingNotifyIcons(HWND window);

// NOTIFY_RECORD_MESSAGE: applies the call and draws what it changed.
LRESULT ReceiveNotifyRecord(LPARAM message);
// Drops the icons of owners that are gone and reads the battery when its time has come; draws
// the area again when either changed it.
void TickNotifyArea();
// Reads the battery now (forced: the platform announced a change) or when its time has come.
void RefreshNotifyBattery(bool force);
// The WM_COMMAND of a button of the area: a tap, a double tap or a hold tells the icon's owner.
void HandleNotifyButton(int button, LPARAM command);
// WM_NOTIFY from the area's tooltips: the tip of the icon under the mouse. Nonzero when it was
// theirs.
bool HandleNotifyAreaTip(const NMHDR* header);

// Tells every program that the shell's area stands, so that they add their icons again: the
// registered message "TaskbarCreated", posted to every top-level window.
void AnnounceNotifyArea();

// A restart between two shells keeps the icons, also those of programs that never listen for
// "TaskbarCreated": the shell that hands over writes its table for the one that follows this
// process, which adds the icons whose owners still stand and draws them.
void HandNotifyIconsOver();
void TakeNotifyIconsOver(DWORD predecessorProcessId);

// The width the area takes on the bar for this many icons; 0 for none.
int NotifyAreaWidth(int icons, const ShellSettings& settings);
