// The calls that differ between the device and desktop Win32: each operation says what the
// shell wants, and beside it stands what the device (32-bit ARM, the Windows CE core
// library) offers for it. Every other module calls only what both have; on the device
// this layer is swapped for one built on those equivalents.
#pragma once
#include <windows.h>

// Replaces the target file by the source file in one step; 0 on success, 1 on failure,
// when the target is left as it was.
// Device: no MoveFileExW; DeleteAndRenameFile(target, source), MoveFileW when no target exists.
int ReplaceFileWith(LPCWSTR source, LPCWSTR target);

// Sets the desktop work area for every process of the desktop; 0 on success.
// Device: SystemParametersInfoW(SPI_SETWORKAREA) alone, with no tray window to claim.
int SetDesktopWorkArea(const RECT& workArea);

// Writes a line to the debug output, whole in UTF-16 for a debugger that takes it so.
// Device: OutputDebugStringW, which hands the debugger UTF-16; no vectored handlers there.
void WriteDebugOutput(LPCWSTR line);

// The exception through which a debugger receives a UTF-16 debug-output line:
// parameters are the length with terminator, the text, and the same in the ANSI code page.
enum : DWORD { DEBUG_PRINT_WIDE_EXCEPTION = 0x4001000A };

// Loads a BMP file into a bitmap, as the device's SHLoadDIBitmap does; NULL for a file that
// is missing, truncated or not a BMP.
// Device: SHLoadDIBitmap(path); LoadImageW there cannot load files, nor is GetFileSizeEx there.
HBITMAP LoadDIBitmapFile(LPCWSTR path);

// The full path of the executable file of a process; 0 on success.
// Device: no QueryFullProcessImageNameW; the toolhelp snapshot's PROCESSENTRY32W names it.
int GetProcessImagePath(DWORD processId, LPWSTR path, DWORD capacity);

// Ends a process at once, as the user's End task asks; 0 on success.
// Device: OpenProcess takes no access rights there (0), then TerminateProcess.
int EndProcessById(DWORD processId);

// Minimises a window of another process without waiting for its thread to answer.
// Device: neither ShowWindowAsync nor a minimised state; ShowWindow(window, SW_HIDE).
void MinimiseWindowAsync(HWND window);

// Restores a window minimised by MinimiseWindowAsync, without waiting for its thread.
// Device: ShowWindow(window, SW_SHOWNORMAL) shows the hidden window again.
void RestoreWindowAsync(HWND window);

// Whether the window is minimised.
// Device: no IsIconic; a window the shell minimised is hidden (IsWindowVisible is FALSE).
bool IsWindowMinimised(HWND window);

// Sends a message to a window of another process and waits at most timeoutMs for the
// answer, less when its thread is hung; 0 with the answer, 1 when none came.
// Device: SendMessageTimeoutW takes SMTO_NORMAL only, which waits out the time-out.
int AskWindowWithoutHanging(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs,
                            DWORD_PTR* answer);

// The icon of a window's class, NULL when it has none; not the caller's to destroy.
// Device: no GetClassLongPtrW; GetClassLongW(window, GCL_HICON), handles being 32 bits there.
HICON GetWindowClassIcon(HWND window);

// The first large or small icon of a program file, NULL when it has none; the caller
// destroys it.
// Device: ExtractIconExW returns the icon itself, not the number of icons extracted.
HICON ExtractProgramIcon(LPCWSTR path, bool smallIcon);

// Draws an icon scaled to size x size pixels.
// Device: DrawIconEx draws only at the icon's own size (0 for both sizes); its small icons
// are already 16 x 16.
void DrawIconAtSize(HDC dc, int x, int y, HICON icon, int size);

// Whether the _wfopen that has just failed found no such file or folder.
// Device: no errno; GetLastError() is ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND.
bool IsMissingFileFailure();

// Waits for the drawing this thread has queued, so that a DIB section's pixels can be read.
// Device: no GdiFlush; its GDI does not batch, so there is nothing to wait for.
void FinishPendingDrawing();

// The path as the shell-execute service takes it: a path that starts at the root ("\" or
// "\NAND3\...") is given the drive of the current directory; 0 on success, 1 when it does
// not fit. Device: one file system without drives; the path passes unchanged.
int ResolveRootedPath(LPCWSTR path, LPWSTR resolved, DWORD capacity);

// Shows the input panel when it is hidden and hides it when it is shown; 1 when the
// platform has none (the desktop).
// Device: SipGetInfo (SIPINFO.fdwFlags & SIPF_ON says whether it is shown), then SipShowIM
// with SIPF_ON or SIPF_OFF; sipapi.h, core library.
int ToggleInputPanel();

// What the shell does about a fault no handler took, on the faulting thread: the process
// then ends with the exit code it returns.
typedef UINT (*CrashHandler)(DWORD code, const void* address);
// Hands the first unhandled fault of any thread of this process to the handler. A fault in
// the handler ends the process at once; another thread's fault meanwhile waits for its end.
// Desktop: the filter every thread's start routine applies (ntdll's
// RtlSetUnhandledExceptionFilter); SetUnhandledExceptionFilter's is skipped under a
// debugger, which zorv-log is. Device: no process-wide filter to rely on; __try/__except
// around the message loop and the body of each thread the shell starts.
void CatchShellCrashes(CrashHandler handler);

// Whether this platform can restart the machine; false on the desktop, which only ends
// the shell. Device: true.
bool CanResetDevice();
// Restarts the machine, keeping its files and settings; 1 when it cannot.
// Device: SetSystemPowerState(NULL, POWER_STATE_RESET, POWER_FORCE) (pm.h), or on older
// devices KernelIoControl(IOCTL_HAL_REBOOT, NULL, 0, NULL, 0, NULL).
int SoftResetDevice();
// Restarts the machine cold, clearing the object store (the files, settings and programs
// added since it left the factory); 1 when it cannot.
// Device: KernelIoControl(IOCTL_HAL_COLDBOOT) where the OEM offers it; otherwise
// SetCleanRebootFlag() and then KernelIoControl(IOCTL_HAL_REBOOT), so that the next boot
// starts with a clean object store (pkfuncs.h).
int HardResetDevice();

// Added to a hot key's modifiers so that a held key reports its first press only.
// Device: 0; CE's RegisterHotKey knows no such flag, and a held key repeats.
extern const UINT HOT_KEY_NO_REPEAT;

// Closes the menu that TrackPopupMenuEx shows, if any, as if dismissed.
// Device: SendMessageW(owner, WM_CANCELMODE, 0, 0) to the menu's owner, as CE has no EndMenu.
void CloseOpenMenu();

// Posts the message (wParam and lParam 0) to the window each time another window comes to the
// front, for as long as the window's thread runs; false where the system does not tell.
// Device: false; CE has no window-event hooks, and the window in front is followed on the
// taskbar's tick instead.
bool WatchFrontWindow(HWND window, UINT message);

// Raises a topmost window above every other, on the screen as well as in the system's order.
// Out of the topmost band and back in: under Wine's virtual desktop a raise to where the order
// already has the window moves nothing, while another program's window, raised as it came to
// the front, can stand over it on the screen.
// Device: SetWindowPos(window, HWND_TOPMOST, ...) alone.
void RaiseTopmostWindow(HWND window);
