#include "platform/platform.h"

#include <errno.h>
#include <initializer_list>
#include <shellapi.h>
#include <strsafe.h>

int ReplaceFileWith(LPCWSTR source, LPCWSTR target)
{
    // Windows refuses to replace a read-only file; Wine replaces it, so ask first.
    DWORD attributes = GetFileAttributesW(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return 1;
    }
    return MoveFileExW(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 0 : 1;
}

namespace {

// Wine's OutputDebugStringW hands debuggers the ANSI text only, which loses every character
// outside the code page (the folder "アプリ", for one). The line goes first as the UTF-16
// exception that newer systems raise; a debugger that does not take it gets the plain call.
bool widePrintUnhandled;  // set when no debugger took the last UTF-16 line

LONG CALLBACK CatchUnhandledWidePrint(EXCEPTION_POINTERS* pointers)
{
    if (pointers->ExceptionRecord->ExceptionCode != DEBUG_PRINT_WIDE_EXCEPTION) return EXCEPTION_CONTINUE_SEARCH;
    widePrintUnhandled = true;
    return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

void WriteDebugOutput(LPCWSTR line)
{
    static PVOID handler;
    if (!IsDebuggerPresent()) {
        OutputDebugStringW(line);
        return;
    }
    if (!handler) handler = AddVectoredExceptionHandler(1, CatchUnhandledWidePrint);
    char ansi[2048];
    int ansiLength = WideCharToMultiByte(CP_ACP, 0, line, -1, ansi, sizeof ansi, NULL, NULL);
    if (ansiLength == 0) ansi[0] = '\0';
    ULONG_PTR arguments[4] = {wcslen(line) + 1, reinterpret_cast<ULONG_PTR>(line),
                              static_cast<ULONG_PTR>(ansiLength > 0 ? ansiLength : 1), reinterpret_cast<ULONG_PTR>(ansi)};
    widePrintUnhandled = false;
    RaiseException(DEBUG_PRINT_WIDE_EXCEPTION, 0, 4, arguments);
    if (widePrintUnhandled) OutputDebugStringW(line);
}

namespace {

// Checks the headers against the file's size before the loader reads it: Wine's loader
// trusts them, and a truncated file would be read past its end.
bool IsCompleteBitmapFile(LPCWSTR path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size = {};
    BITMAPFILEHEADER fileHeader = {};
    BITMAPINFOHEADER info = {};
    DWORD read = 0, readInfo = 0;
    bool complete = GetFileSizeEx(file, &size) && ReadFile(file, &fileHeader, sizeof fileHeader, &read, NULL) &&
                    read == sizeof fileHeader && ReadFile(file, &info, sizeof info, &readInfo, NULL) &&
                    readInfo == sizeof info;
    CloseHandle(file);
    if (!complete || fileHeader.bfType != 0x4D42 || info.biSize < sizeof info) return false;
    if (info.biWidth <= 0 || info.biHeight == 0 || info.biPlanes != 1 || info.biWidth > 32767) return false;
    LONGLONG height = info.biHeight < 0 ? -static_cast<LONGLONG>(info.biHeight) : info.biHeight;
    if (height > 32767) return false;
    LONGLONG pixelBytes;
    if (info.biCompression == BI_RGB || info.biCompression == BI_BITFIELDS)
        pixelBytes = ((static_cast<LONGLONG>(info.biWidth) * info.biBitCount + 31) / 32) * 4 * height;
    else if (info.biCompression == BI_RLE8 || info.biCompression == BI_RLE4)
        pixelBytes = info.biSizeImage ? info.biSizeImage : size.QuadPart + 1;
    else
        return false;
    // The pixels start after the headers, the bit masks and the colour table; an offset into
    // them has the loader read outside the file.
    LONGLONG masks = info.biCompression == BI_BITFIELDS && info.biSize == sizeof info ? 3 * sizeof(DWORD) : 0;
    LONGLONG colors = info.biClrUsed ? info.biClrUsed : (info.biBitCount <= 8 ? 1LL << info.biBitCount : 0);
    LONGLONG headers = static_cast<LONGLONG>(sizeof fileHeader) + info.biSize + masks +
                       colors * static_cast<LONGLONG>(sizeof(RGBQUAD));
    if (fileHeader.bfOffBits < headers) return false;
    return fileHeader.bfOffBits + pixelBytes <= size.QuadPart;
}

}  // namespace

HBITMAP LoadDIBitmapFile(LPCWSTR path)
{
    if (!IsCompleteBitmapFile(path)) return NULL;
    return static_cast<HBITMAP>(LoadImageW(NULL, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}

int GetProcessImagePath(DWORD processId, LPWSTR path, DWORD capacity)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) return 1;
    DWORD length = capacity;
    BOOL found = QueryFullProcessImageNameW(process, 0, path, &length);
    CloseHandle(process);
    return found ? 0 : 1;
}

int EndProcessById(DWORD processId)
{
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, processId);
    if (!process) return 1;
    BOOL ended = TerminateProcess(process, 1);
    CloseHandle(process);
    return ended ? 0 : 1;
}

void MinimiseWindowAsync(HWND window) { ShowWindowAsync(window, SW_MINIMIZE); }

void RestoreWindowAsync(HWND window) { ShowWindowAsync(window, SW_RESTORE); }

bool IsWindowMinimised(HWND window) { return IsIconic(window) != FALSE; }

int AskWindowWithoutHanging(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs,
                            DWORD_PTR* answer)
{
    *answer = 0;
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK, timeoutMs, answer)
               ? 0
               : 1;
}

HICON GetWindowClassIcon(HWND window) { return reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICON)); }

HICON ExtractProgramIcon(LPCWSTR path, bool smallIcon)
{
    HICON icon = NULL;
    if (ExtractIconExW(path, 0, smallIcon ? NULL : &icon, smallIcon ? &icon : NULL, 1) == 0) return NULL;
    return icon;
}

void DrawIconAtSize(HDC dc, int x, int y, HICON icon, int size)
{
    DrawIconEx(dc, x, y, icon, size, size, 0, NULL, DI_NORMAL);
}

bool IsMissingFileFailure() { return errno == ENOENT; }

void FinishPendingDrawing() { GdiFlush(); }

int ResolveRootedPath(LPCWSTR path, LPWSTR resolved, DWORD capacity)
{
    // "\\server\share" names a share, not the root of a drive.
    const bool rooted = path[0] == L'\\' && path[1] != L'\\';
    WCHAR current[MAX_PATH] = L"";
    if (rooted) {
        // ShellExecuteExW refuses "\" alone (error 87); a drive's root is what it means.
        DWORD length = GetCurrentDirectoryW(MAX_PATH, current);
        current[length >= 2 && length < MAX_PATH && current[1] == L':' ? 2 : 0] = L'\0';
    }
    return FAILED(StringCchPrintfW(resolved, capacity, L"%ls%ls", current, path)) ? 1 : 0;
}

namespace {

CrashHandler crashHandler;
volatile LONG crashingThread;  // the thread in the handler; 0 before the first fault

LONG CALLBACK HandleUnhandledFault(EXCEPTION_POINTERS* pointers)
{
    const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
    const LONG self = static_cast<LONG>(GetCurrentThreadId());
    const LONG handling = InterlockedCompareExchange(&crashingThread, self, 0);
    if (handling == self) TerminateProcess(GetCurrentProcess(), record->ExceptionCode);  // the handler's own fault
    if (handling != 0) Sleep(INFINITE);  // the first fault's handler ends the process
    TerminateProcess(GetCurrentProcess(), crashHandler(record->ExceptionCode, record->ExceptionAddress));
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

// Not in the headers: ntdll's own filter setter, which kernel32 calls with its
// UnhandledExceptionFilter.
extern "C" __declspec(dllimport) void WINAPI RtlSetUnhandledExceptionFilter(PTOP_LEVEL_EXCEPTION_FILTER filter);

void CatchShellCrashes(CrashHandler handler)
{
    crashHandler = handler;
    RtlSetUnhandledExceptionFilter(HandleUnhandledFault);
}

int ToggleInputPanel() { return 1; }

bool CanResetDevice() { return false; }

int SoftResetDevice() { return 1; }

int HardResetDevice() { return 1; }

const UINT HOT_KEY_NO_REPEAT = MOD_NOREPEAT;

void CloseOpenMenu() { EndMenu(); }

namespace {

HWND frontWatcher;
UINT frontMessage;

void CALLBACK FrontChanged(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD)
{
    PostMessageW(frontWatcher, frontMessage, 0, 0);
}

}  // namespace

bool WatchFrontWindow(HWND window, UINT message)
{
    frontWatcher = window;
    frontMessage = message;
    // Out of context: called on this thread from its message loop, for every process.
    static HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, NULL, FrontChanged, 0, 0, WINEVENT_OUTOFCONTEXT);
    return hook != NULL;
}

void RaiseTopmostWindow(HWND window)
{
    for (HWND band : {HWND_NOTOPMOST, HWND_TOPMOST})
        SetWindowPos(window, band, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}
