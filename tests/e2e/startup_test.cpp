#include <gtest/gtest.h>

#include <stdio.h>

#include "shell_harness.h"
#include "test_files.h"

namespace {

// Expects the fragments to have been logged in this order; returns the last position.
int ExpectLinesInOrder(ShellHarness& shell, const std::vector<std::wstring>& fragments)
{
    int at = -1;
    for (const std::wstring& fragment : fragments) {
        int found = shell.FindLine(fragment, at + 1);
        EXPECT_NE(-1, found) << "missing after line " << at << ": " << ToUtf8(fragment);
        if (found == -1) return at;
        at = found;
    }
    return at;
}

struct BrokenSettings {
    const char* name;
    void (*breakHome)(const std::wstring& home);
    const wchar_t* failingFile;  // relative to the home directory
};

void PrintTo(const BrokenSettings& settings, std::ostream* out) { *out << settings.name; }

class BrokenSettingsTest : public ::testing::TestWithParam<BrokenSettings> {};

TEST_P(BrokenSettingsTest, ShowsTheFatalBoxRunsTheLaterStepsAndExitsWithOne)
{
    TempDirectory home;
    GetParam().breakHome(home.path());
    ShellHarness shell(home.path());
    ASSERT_TRUE(shell.Start());

    MessageBoxSeen box;
    ASSERT_TRUE(shell.AnswerMessageBox(&box));
    EXPECT_EQ(L"Zorv Fatal Error", box.caption);
    std::wstring failingPath = home / GetParam().failingFile;
    EXPECT_NE(std::wstring::npos, box.text.find(L"Failed to load Zorv settings.")) << ToUtf8(box.text);
    EXPECT_NE(std::wstring::npos, box.text.find(L"Cannot load CFG: \"" + failingPath + L"\"")) << ToUtf8(box.text);

    DWORD exitCode = 0;
    ASSERT_TRUE(shell.WaitForExit(&exitCode));
    EXPECT_EQ(1u, exitCode);
    ExpectLinesInOrder(shell, {L"Current directory: \"" + home.path() + L"\"", L"Loading Settings...",
                               L"Cannot load CFG: \"" + failingPath + L"\"", L"[NG]", L"Initializing...", L"[OK]",
                               L"Zorv Startup Done!"});
}

INSTANTIATE_TEST_SUITE_P(
    Startup, BrokenSettingsTest,
    ::testing::Values(
        BrokenSettings{"MissingSettingsFile", [](const std::wstring&) {}, L"settings\\settings.cfg"},
        BrokenSettings{"SettingsFileIsAFolder",
                       [](const std::wstring& home) { MakeDirectories(home + L"\\settings\\settings.cfg"); },
                       L"settings\\settings.cfg"},
        BrokenSettings{"EmptySettingsFile",
                       [](const std::wstring& home) {
                           ShellHarness::InstallDefaultHome(home);
                           WriteBytes(home + L"\\settings\\settings.cfg", "");
                       },
                       L"settings\\settings.cfg"},
        BrokenSettings{"MissingThemeFile",
                       [](const std::wstring& home) {
                           ShellHarness::InstallDefaultHome(home);
                           DeleteFileW((home + L"\\settings\\Lagoon.theme").c_str());
                       },
                       L"settings\\Lagoon.theme"}),
    [](const ::testing::TestParamInfo<BrokenSettings>& info) { return info.param.name; });

TEST(Startup, GoodConfigurationReservesTheTaskbarStripForEveryProcess)
{
    TempDirectory home;
    ShellHarness::InstallDefaultHome(home.path());
    ShellHarness shell(home.path());
    ASSERT_TRUE(shell.Start());
    ASSERT_TRUE(shell.WaitForLine(L"Zorv Startup Done!"));
    ExpectLinesInOrder(shell, {L"Current directory: \"" + home.path() + L"\"", L"Loading Settings...", L"[OK]",
                               L"Initializing...", L"[OK]", L"Zorv Startup Done!"});
    EXPECT_EQ(-1, shell.FindLine(L"[NG]"));
    EXPECT_EQ(-1, shell.FindLine(L"ERROR"));

    std::wstring probe = ShellHarness::BuildDirectory() + L"\\tests\\zorv_probe.exe";
    std::string workArea = RunAndCapture(L"\"" + probe + L"\" workarea");
    int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    char expected[64];
    snprintf(expected, sizeof expected, "0 0 %d %d\n", screenWidth, screenHeight - 30);  // Lagoon's bar is 30 high
    EXPECT_EQ(expected, WithoutCarriageReturns(workArea));

    std::vector<std::wstring> lines = shell.Lines();
    unsigned startupMs = 0;
    swscanf(lines[shell.FindLine(L"Zorv Startup Done!")].c_str(), L"[%u]", &startupMs);
    RecordProperty("startup_ms", static_cast<int>(startupMs));
    printf("start-up to \"Zorv Startup Done!\": %u ms\n", startupMs);
}

}  // namespace
