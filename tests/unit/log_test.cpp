#include <gtest/gtest.h>

#include <regex>

#include "core/log.h"
#include "test_files.h"

TEST(Log, LinesCarryTheElapsedTimeAndTheErrorCodeAndTheFatalBoxTheLastErrorLine)
{
    LogCapture capture;
    LogError(L"before the start");
    StartLog(GetTickCount() - 100000000);  // 27.8 hours ago: the time takes nine digits
    FatalError(L"Failed to load Zorv settings.");
    LogInfo(L"x");
    StartLog(GetTickCount());
    LogInfo(L"Loading Settings...");
    SetLastError(0);
    LogError(L"GetDC Error");
    SetLastError(ERROR_FILE_NOT_FOUND);
    LogError(L"Cannot load CFG");
    FatalError(L"boom");
    const std::wstring longText(3000, L'a');
    LogInfo(longText.c_str());
    LogError(longText.c_str());
    FatalError(longText.c_str());
    const char* patterns[] = {R"(\[\d{8}\] \[ERROR:0x[0-9a-f]{8}\] before the start)", R"(\[1\d{8}\] \[Log\] x)",
                              R"(\[\d{8}\] \[Log\] Loading Settings\.\.\.)",
                              R"(\[\d{8}\] \[ERROR:0x00000000\] GetDC Error)",
                              R"(\[\d{8}\] \[ERROR:0x00000002\] Cannot load CFG)", R"(\[\d{8}\] \[Log\] a{1006})",
                              R"(\[\d{8}\] \[ERROR:0x00000002\] a{993})"};
    ASSERT_EQ(std::size(patterns), capture.lines.size());
    for (size_t i = 0; i < capture.lines.size(); ++i)
        EXPECT_TRUE(std::regex_match(ToUtf8(capture.lines[i]), std::regex(patterns[i]))) << ToUtf8(capture.lines[i]);
    EXPECT_EQ(capture.lines.back(), LastErrorLine);
    auto box = [](const std::wstring& error, const std::wstring& last) {
        return L"A fatal error has occured.\n\nError:\n" + error + L"\n\nLast error log:\n" + last +
               L"\n\nThis program will exit.";
    };
    ASSERT_EQ(3u, capture.fatalBoxes.size());
    EXPECT_EQ(box(L"Failed to load Zorv settings.", L""), capture.fatalBoxes[0]) << "the start empties the last line";
    EXPECT_EQ(box(L"boom", capture.lines[4]), capture.fatalBoxes[1]);
    EXPECT_EQ(FATAL_TEXT_CHARS - 1u, capture.fatalBoxes[2].size());
    int code = -1;
    EXPECT_TRUE(TakeQuitMessage(&code));
    EXPECT_EQ(1, code);
}
