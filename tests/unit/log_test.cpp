#include <gtest/gtest.h>

#include <regex>

#include "core/log.h"
#include "test_files.h"

TEST(Log, LinesCarryTheElapsedTimeAndTheErrorCodeAndTheFatalBoxTheLastErrorLine)
{
    LogCapture capture;
    StartLog(GetTickCount());
    LogInfo(L"Loading Settings...");
    SetLastError(ERROR_FILE_NOT_FOUND);
    LogError(L"Cannot load");
    FatalError(L"boom");
    ASSERT_EQ(2u, capture.lines.size());
    const std::string time = R"(\[\d{8}\] )";
    EXPECT_TRUE(std::regex_match(ToUtf8(capture.lines[0]), std::regex(time + R"(\[Log\] Loading Settings\.\.\.)")));
    EXPECT_TRUE(std::regex_match(ToUtf8(capture.lines[1]), std::regex(time + R"(\[ERROR:0x00000002\] Cannot load)")));
    const std::wstring box = L"A fatal error has occured.\n\nError:\nboom\n\nLast error log:\n" + capture.lines[1];
    EXPECT_EQ(std::vector<std::wstring>{box + L"\n\nThis program will exit."}, capture.fatalBoxes);
    int code = -1;
    EXPECT_TRUE(TakeQuitMessage(&code));
    EXPECT_EQ(1, code);
}
