#include <gtest/gtest.h>

#include "shell/crash_restart.h"
#include "test_files.h"

namespace {

bool Same(const CrashHistory& expected, const CrashHistory& actual)
{
    return expected.firstTick == actual.firstTick && expected.count == actual.count;
}

// What a shell hands on, among other options; and what reads as no history: malformed,
// impossible or hostile values, and the option's text inside the program's quoted path.
TEST(CrashHistory, ReadsWhatAShellHandsOnAndNothingElse)
{
    EXPECT_TRUE(Same({4000000000u, 2}, ReadCrashHistory(L"zorv.exe --after=12 --crashes=4000000000,2")));
    EXPECT_TRUE(Same({7, 1}, ReadCrashHistory(L"--crashes=7,1 --after=12")));
    for (const wchar_t* commandLine :
         {L"zorv.exe", L"zorv.exe --crashes=", L"--crashes=,1", L"--crashes=7", L"--crashes=7,", L"--crashes=7;1",
          L"--crashes=7,1x", L"--crashes=-7,1", L"--crashes=4294967296,1", L"--crashes=7,4294967297", L"--crashes=7,0",
          L"--crashes=7,3", L"x--crashes=7,1", L"\"C:\\--crashes=7,1\\zorv.exe\""})
        EXPECT_TRUE(Same({0, 0}, ReadCrashHistory(commandLine))) << ToUtf8(commandLine);
}

// A crash counts with those before while it is within a minute of their first, across the
// tick count's wrap-around; a later one, or one "before" the first, starts afresh.
TEST(CrashHistory, CountsTheCrashesWithinAMinuteOfTheFirst)
{
    const CrashHistory first = AddCrash({0, 0}, 5000);
    EXPECT_TRUE(Same({5000, 1}, first));
    EXPECT_TRUE(Same({5000, 2}, AddCrash(first, 5000 + CRASH_WINDOW_MS)));
    EXPECT_TRUE(Same({5000, 3}, AddCrash(AddCrash(first, 6000), 7000)));
    EXPECT_TRUE(Same({5001 + CRASH_WINDOW_MS, 1}, AddCrash({5000, 2}, 5001 + CRASH_WINDOW_MS)));
    EXPECT_TRUE(Same({4000, 1}, AddCrash(first, 4000)));
    EXPECT_TRUE(Same({0xFFFFF000, 2}, AddCrash({0xFFFFF000, 1}, 0x1000)));
}

}  // namespace
