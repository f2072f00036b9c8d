#include "exitscreen/exit_screen.h"

#include <strsafe.h>

#include <atomic>

#include "config/shell_settings.h"
#include "core/log.h"
#include "core/shell_text.h"
#include "core/window_class.h"
#include "exitscreen/fade.h"
#include "gfx/gdi_scope.h"
#include "gfx/surface.h"
#include "platform/platform.h"
#include "resource.h"

namespace {

const WCHAR EXIT_CLASS[] = L"ZORV_EXITDLG_CLASS";
const WCHAR MEMORY_FAILURE[] = L"Lumaro: Main memory is very low.";
const UINT_PTR FADE_TIMER = 1, RAISE_TIMER = 2;
const UINT FADE_INTERVAL_MS = 1500, RAISE_INTERVAL_MS = 1000;
const int FADE_STEP = 2;
const int FADE_STOPPED = -1;        // any level outside 0 to 10 ends the worker
const DWORD WORKER_POLL_MS = 100;   // how soon a new level is noticed
const INT_PTR DIALOG_OK = 1, DIALOG_CANCEL = 2, DIALOG_SOFT_RESET = 3, DIALOG_HARD_RESET = 4;
enum { CONFIRMATION_CHARS = 512 };
const DialogText EXIT_DIALOG_TEXTS[] = {
    {0, IDS_EXIT_CAPTION},            {IDC_EXIT_QUESTION, IDS_EXIT_QUESTION},
    {IDC_EXIT_SHELL, IDS_EXIT_SHELL}, {IDC_SOFT_RESET, IDS_SOFT_RESET},
    {IDC_HARD_RESET, IDS_HARD_RESET}, {IDOK, IDS_OK},
    {IDCANCEL, IDS_CANCEL},
};

// A 32-bit DIB section with its own DC, for computing in its pixels.
struct PixelSurface {
    HDC dc;
    HBITMAP bitmap;
    uint32_t* pixels;
};

HWND exitScreen;
HWND exitDialog;
HINSTANCE dialogInstance;          // whose string table the dialog's boxes read
MemorySurface snapshot;           // the screen when the exit screen opened; never changed
MemorySurface display;            // what the exit screen shows
PixelSurface fadeSurface;         // where one level is computed
std::atomic<int> fadeLevel;       // written by the UI thread, read by the worker
HANDLE fadeWorker;

int ScreenWidth() { return ScreenSize.cx; }
int ScreenHeight() { return ScreenSize.cy; }

// Computes one level afresh from the untouched snapshot into the fade surface.
void RenderFadeLevel(int level)
{
    if (level < 0 || level > FADE_STEPS) return;
    BitBlt(fadeSurface.dc, 0, 0, ScreenWidth(), ScreenHeight(), snapshot.dc, 0, 0, SRCCOPY);
    FinishPendingDrawing();  // the copy must be in the pixels before they are read
    FadePixels(fadeSurface.pixels, static_cast<size_t>(ScreenWidth()) * ScreenHeight(), level);
}

DWORD WINAPI FadeWorker(LPVOID)
{
    int shown = 0;  // the display surface starts with the unfaded snapshot
    for (;;) {
        const int level = fadeLevel.load();
        if (level < 0 || level > FADE_STEPS) return 0;
        if (level == shown) {
            Sleep(WORKER_POLL_MS);
            continue;
        }
        RenderFadeLevel(level);
        BitBlt(display.dc, 0, 0, ScreenWidth(), ScreenHeight(), fadeSurface.dc, 0, 0, SRCCOPY);
        BitBlt(ScopedWindowDc(exitScreen), 0, 0, ScreenWidth(), ScreenHeight(), display.dc, 0, 0, SRCCOPY);
        shown = level;
    }
}

int CreateFadeSurface(HDC reference)
{
    void* bits = NULL;
    fadeSurface.bitmap = CreatePixelBitmap(reference, ScreenWidth(), ScreenHeight(), &bits);
    if (!fadeSurface.bitmap) {
        LogErrorF(L"Cannot Create DIBSection - DC:\"0x%08x\"", LoggedHandle(reference));
        return 1;
    }
    fadeSurface.pixels = static_cast<uint32_t*>(bits);
    fadeSurface.dc = CreateCompatibleDC(reference);
    if (!fadeSurface.dc || !SelectObject(fadeSurface.dc, fadeSurface.bitmap)) {
        LogError(L"Cannot Create CompatibleDC");
        return 1;
    }
    return 0;
}

void TakeSnapshot()
{
    HDC screen = CreateDCW(L"DISPLAY", NULL, NULL, NULL);
    BitBlt(snapshot.dc, 0, 0, ScreenWidth(), ScreenHeight(), screen, 0, 0, SRCCOPY);
    DeleteDC(screen);
    BitBlt(display.dc, 0, 0, ScreenWidth(), ScreenHeight(), snapshot.dc, 0, 0, SRCCOPY);
}

// The snapshot, the shown picture and the fade's surface, for the window's DC.
bool CreateSurfaces(HWND window)
{
    const ScopedWindowDc windowDc(window);
    return CreateMemorySurface(windowDc, ScreenWidth(), ScreenHeight(), &snapshot) == 0 &&
           CreateMemorySurface(windowDc, ScreenWidth(), ScreenHeight(), &display) == 0 && CreateFadeSurface(windowDc) == 0;
}

void HandleCreate(HWND window)
{
    exitScreen = window;
    fadeLevel = 0;
    if (!CreateSurfaces(window)) {
        FatalError(MEMORY_FAILURE);  // its quit request ends the shell; nothing fades meanwhile
        return;
    }
    TakeSnapshot();
    fadeWorker = CreateThread(NULL, 0, FadeWorker, NULL, 0, NULL);
    if (fadeWorker) SetThreadPriority(fadeWorker, THREAD_PRIORITY_IDLE);
    SetTimer(window, FADE_TIMER, FADE_INTERVAL_MS, NULL);
    SetTimer(window, RAISE_TIMER, RAISE_INTERVAL_MS, NULL);
    // The first step and the first raise come as soon as the dialog's loop runs.
    PostMessageW(window, WM_TIMER, FADE_TIMER, 0);
    PostMessageW(window, WM_TIMER, RAISE_TIMER, 0);
}

void HandleTimer(HWND window, WPARAM timer)
{
    if (timer == RAISE_TIMER) {
        SetWindowPos(exitDialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
        SetForegroundWindow(exitDialog);
        return;
    }
    const int level = fadeLevel.load();
    if (level < 0 || level > FADE_STEPS) return;  // stopped
    fadeLevel = level + FADE_STEP;
    if (level + FADE_STEP > FADE_STEPS) KillTimer(window, FADE_TIMER);
}

void HandlePaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    BitBlt(dc, 0, 0, ScreenWidth(), ScreenHeight(), display.dc, 0, 0, SRCCOPY);
    EndPaint(window, &paint);
}

// The worker stops by itself at its next look at the level (a render in progress is
// finished first); only then are the surfaces it draws with released.
void HandleDestroy()
{
    fadeLevel = FADE_STOPPED;
    if (fadeWorker) {
        WaitForSingleObject(fadeWorker, INFINITE);
        CloseHandle(fadeWorker);
        fadeWorker = NULL;
    }
    if (fadeSurface.dc) DeleteDC(fadeSurface.dc);
    if (fadeSurface.bitmap) DeleteObject(fadeSurface.bitmap);
    fadeSurface = PixelSurface{};
    ReleaseMemorySurface(&snapshot);
    ReleaseMemorySurface(&display);
}

LRESULT CALLBACK ExitScreenWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        HandleCreate(window);
        return 0;
    case WM_TIMER:
        HandleTimer(window, wParam);
        return 0;
    case WM_PAINT:
        HandlePaint(window);
        return 0;
    case WM_DESTROY:
        HandleDestroy();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void InitializeExitDialog(HWND dialog)
{
    exitDialog = dialog;
    SetDialogTexts(dialog, dialogInstance, EXIT_DIALOG_TEXTS, ARRAYSIZE(EXIT_DIALOG_TEXTS));
    SendDlgItemMessageW(dialog, IDC_EXIT_SHELL, BM_SETCHECK, BST_CHECKED, 0);
    // Where nothing can reset, the reset choices are shown but cannot be chosen.
    const BOOL canReset = CanResetDevice() ? TRUE : FALSE;
    EnableWindow(GetDlgItem(dialog, IDC_SOFT_RESET), canReset);
    EnableWindow(GetDlgItem(dialog, IDC_HARD_RESET), canReset);
}

bool IsChecked(HWND dialog, int id) { return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// A hard reset loses everything added to the device: it is asked for a second time.
bool ConfirmHardReset(HWND dialog)
{
    WCHAR text[CONFIRMATION_CHARS], caption[CONFIRMATION_CHARS];
    LoadShellText(dialogInstance, IDS_HARD_RESET_WARNING, text, CONFIRMATION_CHARS);
    LoadShellText(dialogInstance, IDS_HARD_RESET_CAPTION, caption, CONFIRMATION_CHARS);
    return MessageBoxW(dialog, text, caption, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

// What OK means: exit unless the platform can reset and a reset is checked; 0 when the
// hard reset is not confirmed and the dialog stays.
INT_PTR ChosenEnd(HWND dialog)
{
    if (!CanResetDevice() || IsChecked(dialog, IDC_EXIT_SHELL)) return DIALOG_OK;
    if (IsChecked(dialog, IDC_SOFT_RESET)) return DIALOG_SOFT_RESET;
    return ConfirmHardReset(dialog) ? DIALOG_HARD_RESET : 0;
}

void ResetAsChosen(INT_PTR choice)
{
    if (choice == DIALOG_SOFT_RESET && SoftResetDevice() != 0) LogError(L"SoftReset Error");
    if (choice == DIALOG_HARD_RESET && HardResetDevice() != 0) LogError(L"HardReset Error");
}

INT_PTR CALLBACK ExitDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        InitializeExitDialog(dialog);
        return 0;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == IDOK) {
            const INT_PTR choice = ChosenEnd(dialog);
            if (choice) EndDialog(dialog, choice);
        } else if (id == IDCANCEL)
            EndDialog(dialog, DIALOG_CANCEL);
        else if (id >= IDC_EXIT_SHELL && id <= IDC_HARD_RESET)
            CheckRadioButton(dialog, IDC_EXIT_SHELL, IDC_HARD_RESET, id);
        return 0;
    }
    case WM_CLOSE:
        EndDialog(dialog, DIALOG_CANCEL);
        return 0;
    }
    return 0;
}

}  // namespace

int OpenExitScreen(HINSTANCE instance)
{
    LogInfo(L"func top");
    exitDialog = NULL;
    dialogInstance = instance;
    // Every opening after the first finds the class registered, and uses it.
    if (!RegisterShellWindowClass(instance, EXIT_CLASS, ExitScreenWindowProc)) LogError(L"RegClass Error");
    LogInfo(L"class");
    HWND window = CreateWindowExW(WS_EX_TOPMOST, EXIT_CLASS, L"Zorv ExitDlalog", WS_POPUP, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), NULL, NULL, instance,
                                  NULL);
    if (!window) {
        LogError(L"CreateWnd Eoor");
        return 1;
    }
    LogInfo(L"CreateWnd");
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    SetForegroundWindow(window);
    const INT_PTR choice = RunTemplateDialog(instance, L"EXITDLG", exitScreen, ExitDialogProc);
    if (choice == DIALOG_OK) PostQuitMessage(0);
    ResetAsChosen(choice);
    SendMessageW(window, WM_CLOSE, 0, 0);
    return 0;
}
