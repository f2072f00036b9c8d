// The task buttons of the taskbar (buttons 10 to 25): faces composed from the task list's
// entries, laid out in the task area, the selected entry's button drawn pressed.
#pragma once
#include <windows.h>

#include "config/shell_settings.h"

enum { TASK_BUTTON_SLOTS = 16, FIRST_TASK_BUTTON = 10 };

// Where the buttons go: the taskbar's window, its back buffer and the bar's background, and
// the settings they are laid out by.
struct TaskButtonArea {
    HWND window;
    HDC backBuffer;
    HDC background;  // TASKBAR: its first column fills the area behind the buttons
    const ShellSettings* settings;
};

// Loads TBTNU0-2 and TBTND0-2 of the settings' theme for the back buffer; 1 (logged) on failure.
int LoadTaskButtonImages(HDC backBuffer, const ShellSettings& settings);
// Makes the faces and sets up the sixteen buttons, empty; 1 on failure.
int CreateTaskButtons(const TaskButtonArea& area, HINSTANCE instance);
void ReleaseTaskButtons();

// Draws into the back buffer what a tick of the task list changed.
void DrawTaskListChanges(unsigned changes);
// Gives the width at the task area's right end to the notification area and lays the
// buttons out again in what is left, when any of them has to move or shrink.
void ReserveTaskAreaEnd(int width);
// A tap on the button at the position: its window comes to the front (restored when it
// was minimised), or is minimised when it is in front already.
void PressTaskButton(int position);
// A hold of the button at the position: the menu of its window above it, or for "More" the
// list of the windows from its own to the last.
void HoldTaskButton(int position);

// What the button at the position shows of count entries: its own entry, or, as the last
// button when more entries than buttons are tracked, "More" (TASK_BUTTON_MORE).
enum { TASK_BUTTON_MORE = -1 };
int TaskButtonEntry(int position, int count);

struct TaskButtonPlace {
    int x, width;
};
// Where button i of the shown ones stands in the task area: fixed widths while they fit,
// otherwise the area shared out without gaps.
TaskButtonPlace PlaceTaskButton(int left, int areaWidth, int buttonMaxCX, int shown, int i);
