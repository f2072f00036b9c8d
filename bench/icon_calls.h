// Programs' notification icon calls for the benchmarks: recorded as the desktop's shell
// library sends them to this process's tray window, then replayed, the same bytes, to any
// window; and, while the tray window is diverted, the library's own calls handed to another
// window in the shell's stead.
#pragma once
#include <windows.h>

#include <shellapi.h>

#include <vector>

// One WM_COPYDATA of the shell library: its wParam, the operation and the record's bytes.
struct IconCall {
    WPARAM wParam;
    ULONG_PTR operation;
    std::vector<BYTE> bytes;
};

// An icon's add and delete, recorded for one (owner, id).
struct IconCalls {
    IconCall add, remove;
};

// An opaque icon of the small icon size, all of one colour, so that any of its pixels on the
// screen tells which icon is drawn there.
HICON MakeSolidIcon(COLORREF colour);

// What a program gives Shell_NotifyIconW: the icon, a tip and a callback message.
NOTIFYICONDATAW IconData(HWND owner, UINT id, HICON icon);

// The tray window of this process (made with the taskbar), when it is the one the shell
// library reaches; NULL, having said why, when it is not.
HWND OwnTrayWindow();

// The call the shell library makes for Shell_NotifyIconW(operation, IconData(...)), kept
// instead of applied; no bytes when it did not reach this process's tray window.
IconCall RecordIconCall(DWORD operation, HWND owner, UINT id, HICON icon);

// The add and delete of each of count icons, id i on owner i % owners; false when one could not
// be recorded.
bool RecordIcons(const std::vector<HWND>& owners, int count, HICON icon, std::vector<IconCalls>* calls);

// Sends the call to a window as the shell library does; the window's answer.
LRESULT SendIconCall(HWND window, const IconCall& call);
// Sends each icon's add (or delete) and returns how many the window accepted.
int SendIconCalls(HWND window, const std::vector<IconCalls>& calls, IconCall IconCalls::*which);

// While a window is given, what the library sends to this process's tray window goes to that
// window instead; NULL gives the tray window its own calls again.
void ForwardTrayCalls(HWND window);

// The "Shell_TrayWnd" window of a process; NULL when it has none.
HWND TrayWindowOf(DWORD processId);
