// The floors of start-up and of idle: a minimal Win32 program that shows one window along
// the bottom of the screen and paints it a plain colour. With --poll it also makes the task
// list's bare pass over the windows on the taskbar's beat, as any polling task list must.
#include <windows.h>

#include <wchar.h>

#include "bench_support.h"

namespace {

const UINT_PTR POLL_TIMER = 1;
const UINT POLL_MS = 500;  // the taskbar's tick

LRESULT CALLBACK BareWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(dc, &paint.rcPaint, red);
        DeleteObject(red);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_TIMER:
        BarePass();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = BareWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"ZorvBareWindow";
    RegisterClassW(&windowClass);
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HWND window = CreateWindowExW(WS_EX_TOPMOST, L"ZorvBareWindow", L"Bare", WS_POPUP | WS_VISIBLE, 0, height - 30,
                                  width, 30, NULL, NULL, instance, NULL);
    UpdateWindow(window);
    if (wcsstr(commandLine, L"--poll")) SetTimer(window, POLL_TIMER, POLL_MS, NULL);
    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
