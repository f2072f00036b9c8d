// The few calls that differ between the device and desktop Win32. Every other module
// calls Win32 directly; on the device this layer is swapped for one built on its own calls.
#pragma once
#include <windows.h>

// Replaces the target file by the source file in one step; 0 on success, 1 on failure,
// when the target is left as it was.
int ReplaceFileWith(LPCWSTR source, LPCWSTR target);

// Sets the desktop work area for every process of the desktop; 0 on success.
int SetDesktopWorkArea(const RECT& workArea);

// Writes a line to the debug output, whole in UTF-16 for a debugger that takes it so.
void WriteDebugOutput(LPCWSTR line);

// The exception through which a debugger receives a UTF-16 debug-output line:
// parameters are the length with terminator, the text, and the same in the ANSI code page.
enum : DWORD { DEBUG_PRINT_WIDE_EXCEPTION = 0x4001000A };

// Loads a BMP file into a bitmap, as the device's SHLoadDIBitmap does; NULL for a file that
// is missing, truncated or not a BMP.
HBITMAP LoadDIBitmapFile(LPCWSTR path);

// The full path of the executable file of a process; 0 on success.
int GetProcessImagePath(DWORD processId, LPWSTR path, DWORD capacity);
