#include "core/log.h"

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

void LogError(LPCWSTR text)
{
    DWORD elapsed = ElapsedMilliseconds();
    DWORD error = GetLastError();
    WCHAR line[LOG_LINE_CHARS];
    StringCchPrintfW(line, LOG_LINE_CHARS, L"[%08lu] [ERROR:0x%08lx] %ls", elapsed, error, text);
    StringCchCopyW(LastErrorLine, LAST_ERROR_LINE_CHARS, line);
    WriteLine(line);
}

void FatalError(LPCWSTR text)
{
    WCHAR boxText[FATAL_TEXT_CHARS];
    StringCchPrintfW(boxText, FATAL_TEXT_CHARS,
                     L"A fatal error has occured.\n\nError:\n%ls\n\nLast error log:\n%ls\n\nThis program will exit.",
                     text, LastErrorLine);
    if (fatalPresenter)
        fatalPresenter(boxText, L"Zorv Fatal Error", FATAL_BOX_TYPE);
    else
        MessageBoxW(NULL, boxText, L"Zorv Fatal Error", FATAL_BOX_TYPE);
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
