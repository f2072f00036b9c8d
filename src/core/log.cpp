#include "core/log.h"

#include <stdarg.h>
#include <strsafe.h>

#include "platform/platform.h"

WCHAR LastErrorLine[LAST_ERROR_LINE_CHARS];

static DWORD logStartTick;                // GetTickCount at entry: time base of every line
static LogSink logSink;                   // null: the debug output
static FatalBoxPresenter fatalPresenter;  // null: a real message box

static const UINT FATAL_BOX_TYPE = MB_ICONHAND | MB_SETFOREGROUND | MB_TOPMOST;

void StartLog(DWORD startTick)
{
    logStartTick = startTick;
    LastErrorLine[0] = L'\0';
}

void SetLogSink(LogSink sink) { logSink = sink; }
void SetFatalBoxPresenter(FatalBoxPresenter presenter) { fatalPresenter = presenter; }

static void WriteLine(LPCWSTR line)
{
    if (logSink)
        logSink(line);
    else
        WriteDebugOutput(line);
}

// Unsigned, so that the 32-bit wrap-around of the tick count is harmless.
static DWORD ElapsedMilliseconds() { return GetTickCount() - logStartTick; }

void LogInfo(LPCWSTR text)
{
    WCHAR line[LOG_LINE_CHARS];
    StringCchPrintfW(line, LOG_LINE_CHARS, L"[%08lu] [Log] %ls", ElapsedMilliseconds(), text);
    WriteLine(line);
}

// The error code is the one the caller's failure left, read before anything else runs.
static void WriteErrorLine(DWORD error, LPCWSTR text)
{
    DWORD elapsed = ElapsedMilliseconds();
    WCHAR line[LOG_LINE_CHARS];
    StringCchPrintfW(line, LOG_LINE_CHARS, L"[%08lu] [ERROR:0x%08lx] %ls", elapsed, error, text);
    StringCchCopyW(LastErrorLine, LAST_ERROR_LINE_CHARS, line);
    WriteLine(line);
}

void LogError(LPCWSTR text) { WriteErrorLine(GetLastError(), text); }

// NOLINTNEXTLINE(cert-dcl50-cpp): a printf format handed on to StringCchVPrintfW, as the device has it
void LogErrorF(LPCWSTR format, ...)
{
    DWORD error = GetLastError();
    WCHAR text[LOG_LINE_CHARS];
    va_list arguments;
    va_start(arguments, format);
    StringCchVPrintfW(text, LOG_LINE_CHARS, format, arguments);
    va_end(arguments);
    WriteErrorLine(error, text);
}

// NOLINTNEXTLINE(cert-dcl50-cpp): a printf format handed on to StringCchVPrintfW, as the device has it
void LogInfoF(LPCWSTR format, ...)
{
    WCHAR text[LOG_LINE_CHARS];
    va_list arguments;
    va_start(arguments, format);
    StringCchVPrintfW(text, LOG_LINE_CHARS, format, arguments);
    va_end(arguments);
    LogInfo(text);
}

void ShowFatalBox(LPCWSTR text)
{
    WCHAR boxText[FATAL_TEXT_CHARS];
    // The box's text is the shell's own as people and tests know it, "occured" included.
    StringCchPrintfW(boxText, FATAL_TEXT_CHARS,
                     L"A fatal error has occured.\n\nError:\n%ls\n\nLast error log:\n%ls\n\nThis program will exit.",
                     text, LastErrorLine);
    if (fatalPresenter)
        fatalPresenter(boxText, L"Zorv Fatal Error", FATAL_BOX_TYPE);
    else
        MessageBoxW(NULL, boxText, L"Zorv Fatal Error", FATAL_BOX_TYPE);
}

void FatalError(LPCWSTR text)
{
    ShowFatalBox(text);
    PostQuitMessage(1);
}

int RunLoggedStep(LPCWSTR progressText, int (*step)(), LPCWSTR failureText)
{
    LogInfo(progressText);
    int result = step();
    if (result != 0) {
        LogInfo(L"[NG]");
        FatalError(failureText);
    } else {
        LogInfo(L"[OK]");
    }
    return result;
}
