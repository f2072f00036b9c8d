#include "shell/crash_restart.h"

#include <strsafe.h>
#include <wchar.h>

#include "core/log.h"
#include "platform/platform.h"
#include "shell/restart.h"

namespace {

const WCHAR CRASHES_OPTION[] = L"--crashes=";
const WCHAR CRASH_FAILURE[] = L"Zorv crashed and cannot restart.";

CrashHistory crashesBefore;  // read at start-up: the handler parses nothing

// Reads a decimal number that fits in 32 bits; the first character after it, or NULL.
LPCWSTR ReadNumber(LPCWSTR text, DWORD* value)
{
    ULONGLONG number = 0;
    LPCWSTR at = text;
    for (; *at >= L'0' && *at <= L'9'; ++at)
        if ((number = number * 10 + (*at - L'0')) > MAXDWORD) return NULL;
    *value = static_cast<DWORD>(number);
    return at == text ? NULL : at;
}

// On the faulting thread of a broken process: the line, and the new shell or the box.
UINT HandleCrash(DWORD code, const void* address)
{
    LogErrorF(L"Shell crashed: exception 0x%08lX at 0x%p", code, address);
    const CrashHistory crashes = AddCrash(crashesBefore, GetTickCount());
    WCHAR arguments[32];
    StringCchPrintfW(arguments, ARRAYSIZE(arguments), L"%ls%lu,%lu", CRASHES_OPTION, crashes.firstTick, crashes.count);
    HANDLE successor = crashes.count < CRASHES_TO_GIVE_UP ? StartSuccessor(arguments) : NULL;
    if (successor) {
        CloseHandle(successor);
        return code;
    }
    ShowFatalBox(CRASH_FAILURE);
    return 1;
}

}  // namespace

CrashHistory ReadCrashHistory(LPCWSTR commandLine)
{
    const CrashHistory none = {0, 0};
    CrashHistory history = none;
    LPCWSTR at = FindShellOption(commandLine, CRASHES_OPTION);
    if (!at || !(at = ReadNumber(at, &history.firstTick)) || *at != L',') return none;
    if (!(at = ReadNumber(at + 1, &history.count)) || (*at && *at != L' ')) return none;
    return history.count > 0 && history.count < CRASHES_TO_GIVE_UP ? history : none;
}

CrashHistory AddCrash(const CrashHistory& history, DWORD tick)
{
    // Unsigned, so that the tick count's wrap-around is harmless; a first crash "in the
    // future" is more than a minute ago.
    if (history.count > 0 && tick - history.firstTick <= CRASH_WINDOW_MS) return {history.firstTick, history.count + 1};
    return {tick, 1};
}

void RestartAfterCrashes(LPCWSTR commandLine)
{
    crashesBefore = ReadCrashHistory(commandLine);
    CatchShellCrashes(HandleCrash);
}
