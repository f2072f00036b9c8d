// Diagnostic log: time-stamped lines on the debug output, and the fatal-error box.
#pragma once
#include <windows.h>

enum { LOG_LINE_CHARS = 1024, LAST_ERROR_LINE_CHARS = 2048, FATAL_TEXT_CHARS = 2048 };

// The complete text of the last line written by LogError; empty until then.
extern WCHAR LastErrorLine[LAST_ERROR_LINE_CHARS];

// Records the time base of every log line and empties LastErrorLine.
void StartLog(DWORD startTick);

void LogInfo(LPCWSTR text);
void LogError(LPCWSTR text);
// The same with a line formatted as StringCchPrintfW does, cut to LOG_LINE_CHARS.
void LogInfoF(LPCWSTR format, ...);
void LogErrorF(LPCWSTR format, ...);
// A handle as the value a line prints with "0x%08x": its low 32 bits, whatever its width.
inline unsigned LoggedHandle(const void* handle) { return static_cast<unsigned>(reinterpret_cast<UINT_PTR>(handle)); }
// Shows the fatal-error box: the text and the last error line, and that the shell exits.
void ShowFatalBox(LPCWSTR text);
// Shows the fatal-error box, then posts the quit request with exit code 1.
void FatalError(LPCWSTR text);

// Logs the progress text, runs the step and logs "[OK]", or "[NG]" and calls FatalError
// with the failure text. The step's result is returned: the caller decides whether to go on.
int RunLoggedStep(LPCWSTR progressText, int (*step)(), LPCWSTR failureText);

// Seams for in-process tests: where finished lines go (OutputDebugStringW by default)
// and what shows the fatal box (MessageBoxW by default). Null restores the default.
typedef void (*LogSink)(LPCWSTR line);
typedef void (*FatalBoxPresenter)(LPCWSTR text, LPCWSTR caption, UINT type);
void SetLogSink(LogSink sink);
void SetFatalBoxPresenter(FatalBoxPresenter presenter);
