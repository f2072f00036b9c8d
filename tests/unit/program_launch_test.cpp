#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "launch/program_launch.h"
#include "startmenu/all_programs.h"
#include "test_files.h"

namespace fs = std::filesystem;

namespace {

// Two volumes in a temporary folder, filled by each case.
class AllProgramsMenu : public ::testing::Test {
protected:
    // Each volume's applications folder.
    fs::path Folder(int volume) const { return fs::path(root / (volume ? L"Card" : L"NAND3")) / L"\u30A2\u30D7\u30EA"; }
    void Add(int volume, const std::wstring& name) { fs::create_directories(Folder(volume) / name); }
    // The menu as text: "[heading]" for a grayed item, "|" for a separator, "id:name" otherwise;
    // each id's path is the program in that name's folder on the volume of the heading above.
    std::wstring Build()
    {
        const std::wstring nand = root / L"NAND3", card = root / L"Card";
        const ApplicationVolume volumes[] = {{nand.c_str(), L"NAND3:"}, {card.c_str(), L"SD Card:"}};
        HMENU menu = CreatePopupMenu();
        AppendApplicationItems(menu, volumes, 2, &paths);
        std::wstring text;
        for (int i = 0, volume = 0; i < GetMenuItemCount(menu); ++i) {
            WCHAR name[MAX_PATH] = L"";
            GetMenuStringW(menu, i, name, MAX_PATH, MF_BYPOSITION);
            const UINT state = GetMenuState(menu, i, MF_BYPOSITION), id = GetMenuItemID(menu, i);
            if (state & MF_GRAYED) volume = wcscmp(name, L"SD Card:") == 0;
            if (!(state & (MF_GRAYED | MF_SEPARATOR)) && id <= MAX_APPLICATIONS) {
                EXPECT_EQ((Folder(volume) / name / L"AppMain.exe").wstring(), paths.path[id - 1]) << id;
            }
            text += state & MF_SEPARATOR ? L"| "
                    : state & MF_GRAYED  ? L"[" + std::wstring(name) + L"] "
                                         : std::to_wstring(id) + L":" + name + L" ";
        }
        DestroyMenu(menu);
        return text;
    }

    TempDirectory root;
    ApplicationPaths paths;
};

TEST_F(AllProgramsMenu, ListsEachVolumesFoldersUnderItsHeadingWithIdsWithoutGaps)
{
    Add(1, L"Maps");
    WriteBytes((Folder(1) / L"readme.txt").wstring(), "a file is no application");
    EXPECT_EQ(L"[SD Card:] 1:Maps ", Build()) << "the card alone: no separator";
    Add(0, L"\u30E1\u30E2");
    Add(1, L"\u30E1\u30E2");
    const std::wstring menu = Build();
    EXPECT_TRUE(menu == L"[NAND3:] 1:\u30E1\u30E2 | [SD Card:] 2:Maps 3:\u30E1\u30E2 " ||
                menu == L"[NAND3:] 1:\u30E1\u30E2 | [SD Card:] 2:\u30E1\u30E2 3:Maps ") << ToUtf8(menu);
    EXPECT_EQ(3, paths.count);
}

TEST_F(AllProgramsMenu, KeepsWithinItsTableAndLeavesOutNamesTooLongForAPath)
{
    const size_t room = MAX_PATH - 1 - (Folder(0).wstring() + L"\\\\AppMain.exe").size();
    Add(0, std::wstring(room, L'a'));
    Add(0, std::wstring(room + 1, L'b'));
    EXPECT_EQ(L"[NAND3:] 1:" + std::wstring(room, L'a') + L" ", Build()) << "the longest path that fits, not one more";

    for (int i = 0; i < MAX_APPLICATIONS + 2; ++i) Add(i % 2, L"App " + std::to_wstring(i));
    EXPECT_EQ(std::wstring::npos, Build().find(L" 129:")) << "ids end with the table";
    EXPECT_EQ(MAX_APPLICATIONS, paths.count);
}

// Typed commands split against real files, one of them in a folder whose name has a space
// beside a folder named as its leading part; what cannot be started is logged and reported.
TEST(SplitCommand, TakesAQuotedPathOrTheLongestPartThatNamesAFileOrTheFirstWordAndLaunchProgramSaysWhatFails)
{
    TempDirectory root;
    const std::wstring folder = root / L"My Apps", app = folder + L"\\App Main.exe";
    WriteBytes(app, "MZ");
    CreateDirectoryW((folder + L"\\App").c_str(), NULL);
    const std::wstring cases[][3] = {  // command, program, arguments
        {L"\"" + app + L"\" --title=\"a b\"", app, L"--title=\"a b\""},
        {L"  \"" + app + L"\"", app, L""},
        {app + L"  --title=X Y", app, L"--title=X Y"},
        {folder + L" --x", folder, L"--x"},
        {root / L"My --x", root / L"My", L"--x"},  // nothing named: the first word
        {L"notepad  readme.txt ", L"notepad", L"readme.txt "},
        {app + L"x --y", folder + L"\\App", L"Main.exex --y"},
    };
    for (const auto& [command, program, arguments] : cases) {
        WCHAR splitProgram[MAX_PATH] = L"", splitArguments[64] = L"";
        EXPECT_EQ(0, SplitCommand(command.c_str(), splitProgram, MAX_PATH, splitArguments, 64)) << ToUtf8(command);
        EXPECT_EQ(program + L"|" + arguments, std::wstring(splitProgram) + L"|" + splitArguments) << ToUtf8(command);
    }
    WCHAR program[MAX_PATH], arguments[8];
    for (LPCWSTR nothing : {L"   ", L"\"\" --x", L"a 123456789"})  // the last: arguments too long
        EXPECT_EQ(1, SplitCommand(nothing, program, MAX_PATH, arguments, 8)) << ToUtf8(nothing);

    LogCapture log;
    DWORD failure = 0;
    EXPECT_EQ(1, LaunchProgram(L"C:\\no such folder\\AppMain.exe", L"--x", &failure));
    EXPECT_TRUE(failure == ERROR_FILE_NOT_FOUND || failure == ERROR_PATH_NOT_FOUND) << failure;
    ASSERT_EQ(1u, log.lines.size());
    EXPECT_NE(std::wstring::npos, log.lines[0].find(L"Cannot Execute - Path:\"C:\\no such folder\\AppMain.exe\" Arg:\"--x\""));
}

}  // namespace
