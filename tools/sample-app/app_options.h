// Options of the sample application: what its windows are called, which icon they show
// and where the task list finds it, and what they do over time. The same "--name=value"
// parser reads the command line and, when there is none, the app.cfg beside the program.
#pragma once

#include <windows.h>

enum { kMaxAppWindows = 100, kAppTitleChars = 512 };

enum IconSource {
  ICON_FROM_MESSAGE,  // WM_SETICON: the window answers WM_GETICON
  ICON_FROM_CLASS,    // only the window class's hIcon; WM_GETICON answers NULL
  ICON_FROM_FILE,     // neither: only the executable's first icon group is left
};

struct AppOptions {
  wchar_t title[kAppTitleChars];  // by default the name of the program's folder
  int icon;                       // embedded icon 0..SAMPLE_ICON_COUNT-1; default: the file icon
  IconSource icon_source;
  bool retitle;                   // --retitle was given (its text may be empty)
  wchar_t retitle_text[kAppTitleChars];
  int retitle_after_ms;
  bool dialog;                    // open an owned popup window in front
  bool show_as_given;             // the first show uses the launcher's show command, nothing more
  bool refuse_close;              // WM_CLOSE leaves the windows open, as an unsaved document's prompt would
  int hang_after_ms;              // -1: never
  int exit_after_ms;              // -1: never
  int windows;                    // 1..kMaxAppWindows top-level windows
  int notify_id;                  // the notification icon's id; -1: no icon
  bool notify_listen;             // the icon is added again when a shell announces itself
  int notify_change_after_ms;     // -1: the icon never changes
  bool full_screen;               // the first window is a popup covering the whole screen
  int flip_every_ms;              // -1: never; else the full-screen window shrinks and grows again each time
  bool has_x, has_y;
  int x, y;
  int width, height;
};

// Fills in the defaults: one window titled after the program's folder, showing the file's
// own icon through WM_GETICON, 400 x 240; nothing happens over time.
void ResetAppOptions(AppOptions* options);

// Applies one "--name=value" (or "--dialog") argument. 0 when it was understood, 1 when
// the name is unknown or a number is malformed or out of range; then nothing changes.
// Texts longer than kAppTitleChars - 1 are cut.
int ApplyAppOption(AppOptions* options, const wchar_t* argument);

// Applies every line of a UTF-8 file (byte order mark optional, LF or CRLF line ends); blank
// lines and lines starting with '#' are skipped, spaces around a line are trimmed. Lines that
// are not understood are reported with OutputDebugStringW and skipped. 0 when the file was
// read, 1 when it could not be opened or is larger than 64 KB.
int LoadAppOptionsFile(AppOptions* options, const wchar_t* path);

// The program's options: its command-line arguments when it has any, otherwise app.cfg in
// the executable's folder (a missing file leaves the defaults). Always returns 0.
int LoadAppOptions(AppOptions* options);

// The name of the folder that holds the running executable ("Notes" for
// \NAND3\アプリ\Notes\AppMain.exe).
void GetProgramFolderName(wchar_t* name, size_t chars);
