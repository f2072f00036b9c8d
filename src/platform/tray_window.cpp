// The desktop's tray window: an invisible top-level window of class "Shell_TrayWnd" that
// claims the bar's strip of the screen and receives the programs' notification icons.
#include "platform/notify_record.h"
#include "platform/platform.h"

namespace {

// Wine keeps SPI_SETWORKAREA per process. Inside its virtual desktop, other processes take
// the work area from the top edge of the visible tray window, so the strip below the work
// area is also claimed by an invisible window of that class (an empty window region: it
// neither paints nor takes input).
const WCHAR TRAY_CLASS[] = L"Shell_TrayWnd";
HWND trayWindow;  // made on first use
HWND notifyReceiver;
UINT notifyMessage;

LRESULT CALLBACK TrayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_COPYDATA) return DefWindowProcW(window, message, wParam, lParam);
    const COPYDATASTRUCT* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!notifyReceiver || !data) return FALSE;
    NotifyRecordPtr record = DecodeNotifyCopyData(data->dwData, data->lpData, data->cbData);
    return SendMessageW(notifyReceiver, notifyMessage, 0, reinterpret_cast<LPARAM>(record.release()));
}

bool MakeTrayWindow()
{
    if (trayWindow) return true;
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = TrayWindowProc;
    windowClass.hInstance = GetModuleHandleW(NULL);
    windowClass.lpszClassName = TRAY_CLASS;
    RegisterClassW(&windowClass);
    // Topmost: the shell library and Wine's work area both take the first window of the class
    // in the z-order, and Wine's desktop process has one of its own.
    trayWindow = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST, TRAY_CLASS, L"", WS_POPUP, 0, 0,
                                 0, 0, NULL, NULL, windowClass.hInstance, NULL);
    if (!trayWindow) return false;
    SetWindowRgn(trayWindow, CreateRectRgn(0, 0, 0, 0), FALSE);
    return true;
}

void ClaimTrayStrip(const RECT& workArea)
{
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (!MakeTrayWindow()) return;
    if (workArea.bottom >= screenHeight) {
        ShowWindow(trayWindow, SW_HIDE);
        return;
    }
    // Left in its place in the z-order: Wine ignores a tray window sent to the bottom.
    SetWindowPos(trayWindow, NULL, 0, workArea.bottom, screenWidth, screenHeight - workArea.bottom,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

}  // namespace

int SetDesktopWorkArea(const RECT& workArea)
{
    RECT area = workArea;
    BOOL set = SystemParametersInfoW(SPI_SETWORKAREA, 0, &area, SPIF_SENDCHANGE);
    ClaimTrayStrip(workArea);
    return set ? 0 : 1;
}

int ReceiveNotifyIcons(HWND receiver, UINT message)
{
    notifyReceiver = receiver;
    notifyMessage = message;
    return MakeTrayWindow() ? 0 : 1;
}
