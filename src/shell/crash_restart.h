// The restart after a crash: a fault no handler took is logged, and a new shell, started as a
// restart starts it, takes over once this process has ended. Each shell hands on how often the
// shells before it crashed, so that a shell crashing at start-up ends in the fatal box instead
// of a loop.
#pragma once
#include <windows.h>

enum {
    CRASH_WINDOW_MS = 60000,  // the crashes that count are those within a minute of the first
    CRASHES_TO_GIVE_UP = 3,   // the crash in that minute that starts no new shell
};

// The crashes of the shells before this one, as "--crashes=<first>,<count>" hands them on.
struct CrashHistory {
    DWORD firstTick;  // GetTickCount at the first crash that counts
    DWORD count;      // 0: none
};

// Reads the history from the command line. A missing, malformed or impossible value (a count
// that no shell hands on) reads as none.
CrashHistory ReadCrashHistory(LPCWSTR commandLine);

// The history with a crash at the given tick: counted with the ones before while it is within
// a minute of their first, or else the first of its own.
CrashHistory AddCrash(const CrashHistory& history, DWORD tick);

// From now on a crash of this process logs "Shell crashed: exception 0x... at 0x...", starts the
// new shell with the history and ends the process; the third within a minute shows the fatal box
// instead and ends it with exit code 1.
void RestartAfterCrashes(LPCWSTR commandLine);
