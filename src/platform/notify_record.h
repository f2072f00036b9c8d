// Programs' notification icons as the platform delivers them: one record per call, decoded
// and length-checked here, so that the rest of the shell never reads a caller's bytes.
//
// Desktop: the shell library sends WM_COPYDATA to the top-level window of class
// "Shell_TrayWnd" (dwData = the NIM_ operation) with a record of 32-bit fields and the icon's
// bits after it. Device: ShellRegisterCallbacks (shellcb.h, CE 2.12 and later) hands the
// replacement shell CE's NOTIFYICONDATA (cbSize, hWnd, uID, uFlags, uCallbackMessage,
// hIcon, szTip[64]) on the calling program's thread; the callback copies it into this
// record (CopyIcon of its icon) and posts it to the receiver.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

enum { NOTIFY_TIP_CHARS = 128 };

// The operations, numbered as NIM_ADD, NIM_MODIFY, NIM_DELETE and NIM_SETVERSION.
enum NotifyOperation : DWORD { NOTIFY_ADD = 0, NOTIFY_MODIFY = 1, NOTIFY_DELETE = 2, NOTIFY_SET_VERSION = 4 };

// Why a call was refused before the shell looked at it.
enum NotifyRefusal {
    NOTIFY_DECODED,
    NOTIFY_TOO_SHORT,       // fewer bytes than the record's header
    NOTIFY_BAD_SIZE,        // more or fewer bytes than the header and its icon's format give
    NOTIFY_BAD_ICON,        // an icon format no icon has, or bits the system refuses
    NOTIFY_BAD_OPERATION,   // not one of NotifyOperation
};

struct NotifyRecord {
    NotifyRefusal refusal;
    DWORD bytes;  // as received, for the log
    DWORD operation;
    HWND owner;
    UINT id;
    UINT flags;  // NIF_MESSAGE, NIF_ICON and NIF_TIP: which of the fields below were given
    UINT callbackMessage;
    HICON icon;    // the shell's own copy, NULL when none came; see NotifyRecordRelease
    UINT version;  // NIM_SETVERSION's
    WCHAR tip[NOTIFY_TIP_CHARS];  // always terminated
};

// Destroys the icon a record still holds, then the record: whoever takes the icon sets the
// field to NULL.
struct NotifyRecordRelease {
    void operator()(NotifyRecord* record) const;
};
using NotifyRecordPtr = std::unique_ptr<NotifyRecord, NotifyRecordRelease>;

// Decodes one WM_COPYDATA of the desktop's shell library; never reads past size bytes. The
// record's refusal says whether it can be used.
NotifyRecordPtr DecodeNotifyCopyData(ULONG_PTR operation, const void* data, DWORD size);
// The same bytes for a record, as the shell library sends them: the hand-over between two
// shells carries its icons this way. The record's icon stays the caller's.
std::vector<BYTE> EncodeNotifyRecord(const NotifyRecord& record);

// Records arrive as `message` at the receiver, lParam a NotifyRecord* that the receiver takes
// (into a NotifyRecordPtr); the answer is the caller's result. Desktop: sent from the
// "Shell_TrayWnd" window, on the receiver's own thread. Device: posted by the callback that
// ShellRegisterCallbacks registers; the caller is told TRUE. A registration the device
// refuses (its own shell holds it) leaves 1; 0 when records will arrive.
int ReceiveNotifyIcons(HWND receiver, UINT message);

// Writes records to a file in the form EncodeNotifyRecord gives, each after its length;
// 0 on success. Reads them back, refused ones left out; 1 when the file cannot be read.
int WriteNotifyRecords(LPCWSTR path, const std::vector<const NotifyRecord*>& records);
int ReadNotifyRecords(LPCWSTR path, std::vector<NotifyRecordPtr>* records);

// Lets the owner of an icon take the foreground, so that the menu it opens gets the focus.
// Device: nothing to do; CE has no foreground lock.
void LetWindowTakeForeground(HWND window);
