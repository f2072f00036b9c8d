#include <gtest/gtest.h>

#include <utility>

#include "shell/crash_restart.h"
#include "test_files.h"

namespace {

std::pair<DWORD, DWORD> Pair(const CrashHistory& history) { return {history.firstTick, history.count}; }

// What a shell hands on, among other options; and what reads as no history: malformed,
// impossible or hostile values, and the option's text inside the program's quoted path.
TEST(CrashHistory, ReadsWhatAShellHandsOnAndNothingElse)
{
    EXPECT_EQ(std::make_pair(4000000000ul, 2ul), Pair(ReadCrashHistory(L"zorv.exe --after=12 --crashes=4000000000,2")));
    EXPECT_EQ(std::make_pair(7ul, 1ul), Pair(ReadCrashHistory(L"--crashes=7,1 --after=12")));
    for (const wchar_t* commandLine :
         {L"zorv.exe", L"zorv.exe --crashes=", L"--crashes=,1", L"--crashes=7", L"--crashes=7,", L"--crashes=7;1",
          L"--crashes=7,1x", L"--crashes=-7,1", L"--crashes=4294967296,1", L"--crashes=7,4294967297", L"--crashes=7,0",
          L"--crashes=7,3", L"x--crashes=7,1", L"\"C:\\--crashes=7,1\\zorv.exe\""})
        EXPECT_EQ(std::make_pair(0ul, 0ul), Pair(ReadCrashHistory(commandLine))) << ToUtf8(commandLine);
}

// A crash counts with those before while it is within a minute of their first, across the
// tick count's wrap-around; a later one, or one "before" the first, starts afresh.
TEST(CrashHistory, CountsTheCrashesWithinAMinuteOfTheFirst)
{
    EXPECT_EQ(std::make_pair(5000ul, 1ul), Pair(AddCrash({0, 0}, 5000)));
    EXPECT_EQ(std::make_pair(5000ul, 2ul), Pair(AddCrash({5000, 1}, 5000 + CRASH_WINDOW_MS)));
    EXPECT_EQ(std::make_pair(5000ul, 3ul), Pair(AddCrash({5000, 2}, 7000)));
    EXPECT_EQ(std::make_pair(5001ul + CRASH_WINDOW_MS, 1ul), Pair(AddCrash({5000, 2}, 5001 + CRASH_WINDOW_MS)));
    EXPECT_EQ(std::make_pair(4000ul, 1ul), Pair(AddCrash({5000, 1}, 4000)));
    EXPECT_EQ(std::make_pair(0xFFFFF000ul, 2ul), Pair(AddCrash({0xFFFFF000, 1}, 0x1000)));
}

}  // namespace
