#include "app_notify.h"

#include <shellapi.h>
#include <strsafe.h>

static const UINT kNotifyCallback = WM_APP + 7;
enum { kMenuOpen = 1, kMenuExit = 2 };

static NOTIFYICONDATAW icon_data;  // cbSize 0 while there is no icon
static bool listens;               // adds the icon again when a shell announces itself
static UINT taskbar_created;

// Standard output, line by line, for the tests that read it.
static void report(const wchar_t* format, UINT first, UINT second) {
  char line[96];
  int length = 0;
  wchar_t text[64];
  StringCchPrintfW(text, ARRAYSIZE(text), format, first, second);
  length = WideCharToMultiByte(CP_UTF8, 0, text, -1, line, sizeof line, nullptr, nullptr);
  if (length <= 1) return;
  line[length - 1] = '\n';
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, (DWORD)length, &written, nullptr);
}

static void show_menu() {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, kMenuOpen, L"Open");
  AppendMenuW(menu, MF_STRING, kMenuExit, L"Exit");
  POINT point;
  GetCursorPos(&point);
  // In front first, so that a tap elsewhere closes the menu.
  SetForegroundWindow(icon_data.hWnd);
  int chosen = TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_BOTTOMALIGN, point.x, point.y, icon_data.hWnd, nullptr);
  DestroyMenu(menu);
  report(L"menu %u %u", icon_data.uID, (UINT)chosen);
  if (chosen == kMenuExit) DestroyWindow(icon_data.hWnd);
}

void add_notify_icon(HWND window, HICON icon, const AppOptions& options) {
  if (options.notify_id < 0) return;
  icon_data = NOTIFYICONDATAW{};
  icon_data.cbSize = sizeof icon_data;
  icon_data.hWnd = window;
  icon_data.uID = (UINT)options.notify_id;
  icon_data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  icon_data.uCallbackMessage = kNotifyCallback;
  icon_data.hIcon = icon;
  StringCchCopyW(icon_data.szTip, ARRAYSIZE(icon_data.szTip), options.title);
  listens = options.notify_listen;
  taskbar_created = RegisterWindowMessageW(L"TaskbarCreated");
  report(L"added %u %u", icon_data.uID, (UINT)Shell_NotifyIconW(NIM_ADD, &icon_data));
}

void change_notify_icon(HICON icon, const AppOptions& options) {
  if (icon_data.cbSize == 0) return;
  icon_data.hIcon = icon;
  StringCchPrintfW(icon_data.szTip, ARRAYSIZE(icon_data.szTip), L"%ls changed", options.title);
  report(L"changed %u %u", icon_data.uID, (UINT)Shell_NotifyIconW(NIM_MODIFY, &icon_data));
}

void delete_notify_icon() {
  if (icon_data.cbSize == 0) return;
  Shell_NotifyIconW(NIM_DELETE, &icon_data);
  icon_data.cbSize = 0;
}

bool handle_notify_message(UINT message, WPARAM wparam, LPARAM lparam) {
  if (icon_data.cbSize == 0) return false;
  if (message == taskbar_created) {
    if (listens) report(L"added %u %u", icon_data.uID, (UINT)Shell_NotifyIconW(NIM_ADD, &icon_data));
    return true;
  }
  if (message != kNotifyCallback) return false;
  report(L"notify %u 0x%04X", (UINT)wparam, (UINT)lparam);
  if (lparam == WM_RBUTTONUP) show_menu();
  return true;
}
