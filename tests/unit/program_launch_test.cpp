#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "startmenu/program_launch.h"
#include "test_files.h"

namespace fs = std::filesystem;

namespace {

const std::wstring APPLICATIONS = L"\u30A2\u30D7\u30EA";

struct Item {
    UINT id;
    std::wstring text;
    bool grayed, separator;
    bool operator==(const Item& o) const
    {
        return id == o.id && text == o.text && grayed == o.grayed && separator == o.separator;
    }
};

std::ostream& operator<<(std::ostream& out, const Item& item)
{
    return out << item.id << " \"" << ToUtf8(item.text) << "\"" << (item.grayed ? " grayed" : "")
               << (item.separator ? " separator" : "");
}

std::vector<Item> ReadMenu(HMENU menu)
{
    std::vector<Item> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        WCHAR text[MAX_PATH] = L"";
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = MAX_PATH;
        GetMenuItemInfoW(menu, i, TRUE, &info);
        const bool separator = (info.fType & MFT_SEPARATOR) != 0;  // some platforms also gray these
        items.push_back({info.wID, text, !separator && (info.fState & MFS_GRAYED) != 0, separator});
    }
    return items;
}

// Two volumes in a temporary folder, filled by each case.
class AllProgramsMenu : public ::testing::Test {
protected:
    void AddFolders(int volume, std::initializer_list<std::wstring> names)
    {
        for (const std::wstring& name : names) fs::create_directories(Folder(volume) / name);
    }
    fs::path Folder(int volume) const { return fs::path(root.path()) / (volume == 0 ? L"NAND3" : L"Card") / APPLICATIONS; }
    std::vector<Item> Build()
    {
        const std::wstring nand = root / L"NAND3", card = root / L"Card";
        const ApplicationVolume volumes[] = {{nand.c_str(), L"NAND3:"}, {card.c_str(), L"SD Card:"}};
        HMENU menu = CreatePopupMenu();
        AppendApplicationItems(menu, volumes, 2, &paths);
        std::vector<Item> items = ReadMenu(menu);
        DestroyMenu(menu);
        return items;
    }
    std::wstring PathOf(UINT id) const { return paths.path[id - 1]; }

    TempDirectory root;
    ApplicationPaths paths;
};

const Item NAND_HEADING = {0, L"NAND3:", true, false}, CARD_HEADING = {0, L"SD Card:", true, false},
           SEPARATOR = {0, L"", false, true};

TEST_F(AllProgramsMenu, ListsEachVolumesFoldersUnderItsHeadingWithIdsWithoutGaps)
{
    EXPECT_EQ(std::vector<Item>{}, Build()) << "no volumes: nothing";
    AddFolders(1, {L"Maps"});
    WriteBytes((Folder(1) / L"readme.txt").wstring(), "a file is no application");
    EXPECT_EQ((std::vector<Item>{CARD_HEADING, {1, L"Maps", false, false}}), Build()) << "the card alone: no separator";

    AddFolders(0, {L"\u30E1\u30E2"});
    AddFolders(1, {L"\u30E1\u30E2"});
    std::vector<Item> items = Build();
    ASSERT_EQ(6u, items.size());
    EXPECT_EQ(NAND_HEADING, items[0]);
    EXPECT_EQ((Item{1, L"\u30E1\u30E2", false, false}), items[1]);
    EXPECT_EQ(SEPARATOR, items[2]);
    EXPECT_EQ(CARD_HEADING, items[3]);
    EXPECT_EQ(2u, items[4].id);
    EXPECT_EQ(3u, items[5].id);
    ASSERT_EQ(3, paths.count);
    EXPECT_EQ(root / (L"NAND3\\" + APPLICATIONS + L"\\\u30E1\u30E2\\AppMain.exe"), PathOf(1));
    EXPECT_EQ(root / (L"Card\\" + APPLICATIONS + L"\\" + items[4].text + L"\\AppMain.exe"), PathOf(2))
        << "the same name on the card starts the card's own program";
}

TEST_F(AllProgramsMenu, KeepsWithinItsTableAndLeavesOutNamesTooLongForAPath)
{
    const size_t fixed = root.path().size() + (L"\\NAND3\\" + APPLICATIONS + L"\\\\AppMain.exe").size();
    AddFolders(0, {std::wstring(MAX_PATH - 1 - fixed, L'a'), std::wstring(MAX_PATH - fixed, L'b')});
    std::vector<Item> items = Build();
    ASSERT_EQ(2u, items.size()) << "the longest path that fits is listed, one character more is not";
    EXPECT_EQ(MAX_PATH - 1 - fixed, items[1].text.size());

    for (int i = 0; i < MAX_APPLICATIONS + 2; ++i) AddFolders(i % 2, {L"App " + std::to_wstring(i)});
    items = Build();
    EXPECT_EQ(MAX_APPLICATIONS, paths.count);
    UINT id = 0;
    for (const Item& item : items) {
        if (item.id) {
            EXPECT_EQ(++id, item.id);
        }
    }
    EXPECT_EQ(static_cast<UINT>(MAX_APPLICATIONS), id);
}

TEST(LaunchProgram, LogsWhatCannotBeStarted)
{
    LogCapture log;
    EXPECT_EQ(0, LaunchProgram(L"C:\\no such folder\\AppMain.exe", L"--x"));
    EXPECT_TRUE(log.Contains(L"Cannot Execute - Path:\"C:\\no such folder\\AppMain.exe\" Arg:\"--x\"")) << ToUtf8(log.lines.back());
}

}  // namespace
