#include <gtest/gtest.h>

#include <regex>

#include "core/log.h"
#include "test_files.h"

TEST(Log, InfoAndErrorLinesCarryTheElapsedTimeAndTheErrorCode)
{
    LogCapture capture;
    StartLog(GetTickCount());
    LogInfo(L"Loading Settings...");
    SetLastError(ERROR_FILE_NOT_FOUND);
    LogError(L"Cannot load CFG");
    ASSERT_EQ(2u, capture.lines.size());
    EXPECT_TRUE(std::regex_match(ToUtf8(capture.lines[0]), std::regex(R"(\[\d{8}\] \[Log\] Loading Settings\.\.\.)")))
        << ToUtf8(capture.lines[0]);
    EXPECT_TRUE(std::regex_match(ToUtf8(capture.lines[1]), std::regex(R"(\[\d{8}\] \[ERROR:0x00000002\] Cannot load CFG)")))
        << ToUtf8(capture.lines[1]);
    EXPECT_EQ(capture.lines[1], std::wstring(LastErrorLine));
}

TEST(Log, ErrorCodeZeroIsPrintedToo)
{
    LogCapture capture;
    StartLog(GetTickCount());
    SetLastError(0);
    LogError(L"GetDC Error");
    EXPECT_NE(std::wstring::npos, capture.lines.at(0).find(L"[ERROR:0x00000000] GetDC Error"));
}

TEST(Log, ElapsedTimeBeyondEightDigitsTakesNine)
{
    LogCapture capture;
    StartLog(GetTickCount() - 100000000);  // about 27.8 hours ago
    LogInfo(L"x");
    EXPECT_TRUE(std::regex_match(ToUtf8(capture.lines.at(0)), std::regex(R"(\[1\d{8}\] \[Log\] x)")))
        << ToUtf8(capture.lines[0]);
}

TEST(Log, LongTextsAreCutToTheirBuffers)
{
    LogCapture capture;
    StartLog(GetTickCount());
    std::wstring longText(3000, L'a');
    LogInfo(longText.c_str());
    LogError(longText.c_str());
    EXPECT_EQ(LOG_LINE_CHARS - 1u, capture.lines.at(0).size());
    EXPECT_EQ(LOG_LINE_CHARS - 1u, capture.lines.at(1).size());
    EXPECT_EQ(LOG_LINE_CHARS - 1u, wcslen(LastErrorLine));
    FatalError(longText.c_str());
    EXPECT_EQ(FATAL_TEXT_CHARS - 1u, capture.fatalBoxes.at(0).size());
}

TEST(Log, FatalErrorShowsTheLastErrorLineAndPostsQuitWithCodeOne)
{
    {
        LogCapture capture;
        StartLog(GetTickCount());
        FatalError(L"Failed to load Zorv settings.");
        ASSERT_EQ(1u, capture.fatalBoxes.size());
        EXPECT_EQ(std::wstring(L"A fatal error has occured.\n\nError:\nFailed to load Zorv settings.\n\n"
                               L"Last error log:\n\n\nThis program will exit."),
                  capture.fatalBoxes[0]);
        int code = -1;
        EXPECT_TRUE(TakeQuitMessage(&code));
        EXPECT_EQ(1, code);
    }
    LogCapture capture;
    LogError(L"first");
    LogError(L"second");
    FatalError(L"boom");
    const std::wstring& box = capture.fatalBoxes.at(0);
    EXPECT_EQ(std::wstring::npos, box.find(L"first"));
    EXPECT_NE(std::wstring::npos, box.find(L"Last error log:\n" + capture.lines.at(1) + L"\n\nThis program will exit."));
    EXPECT_TRUE(TakeQuitMessage());
}
