#include "taskbar/full_screen.h"

#include "config/shell_settings.h"
#include "platform/platform.h"

namespace {

bool barBehind;

// Whether the window's rectangle contains the whole screen.
bool CoversScreen(const RECT& window, SIZE screen)
{
    return window.left <= 0 && window.top <= 0 && window.right >= screen.cx && window.bottom >= screen.cy;
}

// The rectangle first: each tick asks, and it alone rules out nearly every window.
bool TakesTheScreen(HWND front)
{
    RECT rect;
    if (!front || !GetWindowRect(front, &rect) || !CoversScreen(rect, ScreenSize)) return false;
    if (!IsWindowVisible(front) || IsWindowMinimised(front)) return false;
    DWORD processId = 0;
    GetWindowThreadProcessId(front, &processId);
    return processId != GetCurrentProcessId();  // not the start menu, nor a dialog of the shell
}

}  // namespace

void FollowFrontWindow(HWND bar, HWND front)
{
    const bool behind = TakesTheScreen(front);
    if (behind == barBehind) return;  // no move, so a window that flips makes no flicker
    barBehind = behind;
    // Hidden rather than moved down the order: a topmost bar put at the bottom does not come
    // back above every window when made topmost again under the desktop simulation.
    if (behind) {
        ShowWindow(bar, SW_HIDE);
        return;
    }
    ShowWindow(bar, SW_SHOWNA);
    RaiseTopmostWindow(bar);
}

void RaiseBarAgain(HWND bar)
{
    if (!barBehind) RaiseTopmostWindow(bar);
}

bool BarBehindFullScreen() { return barBehind; }
