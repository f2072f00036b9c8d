#include "icon_calls.h"

#include <shellapi.h>
#include <stdio.h>
#include <wchar.h>

#include "gfx/gdi_scope.h"

namespace {

const WCHAR TRAY_CLASS[] = L"Shell_TrayWnd";
const UINT ICON_CALLBACK = WM_APP + 7;

WNDPROC trayProcedure;  // the tray window's own, once it is diverted
IconCall* recording;    // while set, the tray window's next call is kept here
HWND forwardedTo;       // while set, the tray window's calls go to this window

LRESULT CALLBACK DivertedTray(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_COPYDATA || (!recording && !forwardedTo))
        return CallWindowProcW(trayProcedure, window, message, wParam, lParam);
    if (!recording) return SendMessageW(forwardedTo, message, wParam, lParam);
    const COPYDATASTRUCT* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    const BYTE* bytes = static_cast<const BYTE*>(data->lpData);
    *recording = IconCall{wParam, data->dwData, std::vector<BYTE>(bytes, bytes + data->cbData)};
    return TRUE;
}

}  // namespace

HICON MakeSolidIcon(COLORREF colour)
{
    const int size = GetSystemMetrics(SM_CXSMICON);
    const ScopedWindowDc screen(NULL);
    const ScopedGdiObject<HBITMAP> colourBits(CreateCompatibleBitmap(screen, size, size));
    const HDC dc = CreateCompatibleDC(screen);
    {
        const ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(colour));
        const ScopedSelection selected(dc, colourBits);
        const RECT all = {0, 0, size, size};
        FillRect(dc, &all, brush);
    }
    DeleteDC(dc);
    // All zeros: every pixel of the colour bits is drawn.
    const std::vector<BYTE> maskRows((size + 15) / 16 * 2 * size, 0);
    const ScopedGdiObject<HBITMAP> mask(CreateBitmap(size, size, 1, 1, maskRows.data()));
    ICONINFO info = {TRUE, 0, 0, mask, colourBits};
    return CreateIconIndirect(&info);
}

NOTIFYICONDATAW IconData(HWND owner, UINT id, HICON icon)
{
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof data;
    data.hWnd = owner;
    data.uID = id;
    data.uFlags = NIF_MESSAGE | NIF_TIP | (icon ? NIF_ICON : 0);
    data.uCallbackMessage = ICON_CALLBACK;
    data.hIcon = icon;
    swprintf(data.szTip, ARRAYSIZE(data.szTip), L"Bench icon %u", id);
    return data;
}

HWND TrayWindowOf(DWORD processId)
{
    struct Search {
        DWORD processId;
        HWND found;
    } search = {processId, NULL};
    EnumWindows(
        [](HWND window, LPARAM lParam) -> BOOL {
            Search& s = *reinterpret_cast<Search*>(lParam);
            WCHAR name[32];
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != s.processId || !GetClassNameW(window, name, ARRAYSIZE(name)) || wcscmp(name, TRAY_CLASS) != 0)
                return TRUE;
            s.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND OwnTrayWindow()
{
    const HWND tray = TrayWindowOf(GetCurrentProcessId());
    if (!tray) {
        fprintf(stderr, "this process has no tray window\n");
        return NULL;
    }
    if (FindWindowW(TRAY_CLASS, NULL) != tray) {
        fprintf(stderr, "the shell library reaches another process's tray window\n");
        return NULL;
    }
    if (!trayProcedure)
        trayProcedure =
            reinterpret_cast<WNDPROC>(SetWindowLongPtrW(tray, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DivertedTray)));
    return tray;
}

IconCall RecordIconCall(DWORD operation, HWND owner, UINT id, HICON icon)
{
    IconCall call = {};
    if (!OwnTrayWindow()) return call;
    NOTIFYICONDATAW data = IconData(owner, id, icon);
    recording = &call;
    Shell_NotifyIconW(operation, &data);
    recording = NULL;
    return call;
}

bool RecordIcons(const std::vector<HWND>& owners, int count, HICON icon, std::vector<IconCalls>* calls)
{
    calls->clear();
    for (int i = 0; i < count; ++i) {
        const HWND owner = owners[i % owners.size()];
        calls->push_back(
            IconCalls{RecordIconCall(NIM_ADD, owner, i, icon), RecordIconCall(NIM_DELETE, owner, i, NULL)});
        if (calls->back().add.bytes.empty() || calls->back().remove.bytes.empty()) return false;
    }
    return true;
}

LRESULT SendIconCall(HWND window, const IconCall& call)
{
    COPYDATASTRUCT data = {call.operation, static_cast<DWORD>(call.bytes.size()), const_cast<BYTE*>(call.bytes.data())};
    return SendMessageW(window, WM_COPYDATA, call.wParam, reinterpret_cast<LPARAM>(&data));
}

int SendIconCalls(HWND window, const std::vector<IconCalls>& calls, IconCall IconCalls::*which)
{
    int accepted = 0;
    for (const IconCalls& icon : calls) accepted += SendIconCall(window, icon.*which) != FALSE;
    return accepted;
}

void ForwardTrayCalls(HWND window) { forwardedTo = window; }
