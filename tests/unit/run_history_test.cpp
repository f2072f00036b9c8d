#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/run_dialog.h"
#include "test_files.h"

namespace {

std::vector<std::wstring> Commands(const RunHistory& history)
{
    return std::vector<std::wstring>(history.command, history.command + history.count);
}

TEST(RunHistory, KeepsTheLastTenNewestFirstWithoutRepeats)
{
    RunHistory history{};
    for (int i = 0; i < 12; ++i) AddToRunHistory(&history, (L"app " + std::to_wstring(i)).c_str());
    for (const wchar_t* again : {L"app 5", L"app 2"}) AddToRunHistory(&history, again);
    const std::vector<std::wstring> expected = {L"app 2", L"app 5", L"app 11", L"app 10", L"app 9",
                                                L"app 8", L"app 7", L"app 6", L"app 4", L"app 3"};
    EXPECT_EQ(expected, Commands(history)) << "the oldest two dropped out; a repeat moves up, and none drops for it";
}

TEST(RunHistory, IsReadFromItsSectionAndWrittenBackKeepingTheRestOfTheFile)
{
    TempDirectory home;
    const std::wstring file = home / L"settings.cfg";
    static RunHistory history;
    const std::string before = "# the user's note\n[Main]\nTheme=Lagoon.theme\n\n[RunHistory]\n# old\nCommand0=a\n"
                               "Command2=\xE3\x83\xA1 c\nCommand1=\nKept=1\nCommand10=x\n\n[Start]\nUserName=Me\n";
    WriteBytes(file, before);
    LoadRunHistory(file.c_str(), &history);
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"\u30E1 c"}), Commands(history)) << "empty and missing keys left out";

    AddToRunHistory(&history, L"b --x=1");
    ASSERT_EQ(0, SaveRunHistory(file.c_str(), history));
    EXPECT_EQ("# the user's note\n[Main]\nTheme=Lagoon.theme\n\n[RunHistory]\n# old\nCommand0=b --x=1\nCommand2=\xE3\x83\xA1 c\n"
              "Command1=a\nKept=1\nCommand10=x\n\n[Start]\nUserName=Me\n", ReadText(file));
}

}  // namespace
