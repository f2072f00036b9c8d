#include <gtest/gtest.h>

#include <stdio.h>

#include <tuple>

#include "config/section_store.h"
#include "test_files.h"

namespace {

const std::wstring MISSING = L"!<untouched>";

class SectionStore : public ::testing::Test {
protected:
    void SetUp() override { ClearSectionStore(); }
    int Load(const std::string& bytes, const std::wstring& section = L"Main")
    {
        WriteBytes(file, bytes);
        return LoadSection(file.c_str(), section.c_str());
    }
    // The value; for a failed look-up "!" and what the destination then holds.
    std::wstring Get(const std::wstring& key, int capacity = SECTION_VALUE_CHARS)
    {
        WCHAR value[SECTION_VALUE_CHARS] = L"<untouched>";
        const bool found = GetSectionString(value, capacity, key.c_str()) == 0;
        return (found ? L"" : L"!") + std::wstring(value);
    }
    // Every pair held, in order.
    std::string Pairs()
    {
        FILE* stream = _wfopen(dump.c_str(), L"wb");
        EXPECT_EQ(0, WriteSectionEntries(stream));
        fclose(stream);
        return ReadBytes(dump);
    }
    std::string Written() { return WithoutCarriageReturns(ReadBytes(file)); }

    TempDirectory home;
    std::wstring file = home / L"settings.cfg", dump = home / L"pairs.txt";
};

TEST_F(SectionStore, LoadKeepsThePairsOfTheFirstOccurrenceOfTheSection)
{
    const std::string bom = "\xEF\xBB\xBF", sections = "A=0\n[main]\nA=1\n[Taskbar]\nX=2\n[Main]\nB=3\n",
                      v1017(1017, 'v');
    const std::tuple<std::string, LPCWSTR, int, std::string> cases[] = {  // file, section, result, pairs
        {bom + "[Main]\r\nTheme=Lagoon.theme\r\n" + bom + "FontName=Tahoma\r\n", L"Main", 0,
         "Theme=Lagoon.theme\nFontName=Tahoma\n"},
        {sections, L"Main", 0, "A=1\n"},
        {sections, L"TASKBAR", 0, "X=2\n"},
        {"[Main] \nA=1\n", L"Main", 1, ""},
        {"A=1\n[Main]", L"Main", 1, ""},  // a last line without its line feed is no header
        {"[Main]\n#A=1\n:B=2\n\nno pair here\n[Other]\nC=3\n", L"Main", 1, ""},
        {"", L"Main", 1, ""},
        {"[Main]\nKey=a=b\nSpaced = v\n;semi=1\n=empty key\nDup=1\nDup=2\n", L"Main", 0,
         "Key=a=b\nSpaced = v\n;semi=1\n=empty key\nDup=1\nDup=2\n"},
        // A line longer than a piece of 1023 bytes is split before a character, not inside it.
        {"[Main]\nKey=" + v1017 + "\xE3\x82\xA2" "tail=x\n", L"Main", 0, "Key=" + v1017 + "\n\xE3\x82\xA2" "tail=x\n"},
        {"[Main]\nBad=\xFF\xFE\xC3(\n", L"Main", 0, "Bad=\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD(\n"},
    };
    for (const auto& [bytes, section, result, pairs] : cases) {
        EXPECT_EQ(result, Load(bytes, section)) << bytes;
        EXPECT_EQ(pairs, Pairs()) << bytes;  // after a failure too: nothing of the load before
    }
    EXPECT_EQ(1, LoadSection((home / L"missing.cfg").c_str(), L"Main"));
    EXPECT_EQ(1, LoadSection(home.path().c_str(), L"Main")) << "a folder is no settings file";

    ASSERT_EQ(0, Load("[Main]\nLong=" + std::string(200, 'x') + "\nKey=a=b\nNeg=-12\nSpace= 42\nDup=1\nDup=2\n"));
    EXPECT_EQ(std::wstring(127, L'x'), Get(L"LONG", 128));
    EXPECT_EQ(L"", Get(L"Long", 1));
    EXPECT_EQ(L"1", Get(L"dup")) << "the first of a key counts";
    EXPECT_EQ(L"a=b", Get(L"key"));
    EXPECT_EQ(MISSING, Get(L"Nope"));
    EXPECT_EQ((std::vector<int>{-12, 42, 0}),
              (std::vector<int>{GetSectionInt(L"neg"), GetSectionInt(L"Space"), GetSectionInt(L"Nope")}));
}

TEST_F(SectionStore, ALineEndingInsideACharacterKeepsNothingOfThePreviousLine)
{
    ASSERT_EQ(0, Load("[Main]\nx=abcdefgh\nb=\xF3\n"));
    EXPECT_EQ(std::wstring::npos, Get(L"b").find(L"bcdefgh")) << ToUtf8(Get(L"b"));
}

TEST_F(SectionStore, OverlongKeysAreCutAndAFullTableTakesOnlyKnownKeys)
{
    std::string text = "[Main]\n" + std::string(300, 'k') + "=long key\n";
    for (int i = 0; i < 1100; ++i) text += "K" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    ASSERT_EQ(0, Load(text));
    EXPECT_EQ(SECTION_STORE_SLOTS, CountSectionEntries());
    EXPECT_EQ(L"long key", Get(std::wstring(127, L'k')));
    EXPECT_EQ(L"1022", Get(L"K1022"));
    EXPECT_EQ(MISSING, Get(L"K1023"));
    EXPECT_EQ(0, SetSectionString(L"Extra", L"1"));
    EXPECT_EQ(MISSING, Get(L"Extra"));
    EXPECT_EQ(0, SetSectionString(L"k5", L"replaced"));
    EXPECT_EQ(L"replaced", Get(L"K5"));
}

TEST_F(SectionStore, GarbageAndFailedAllocationsLeaveAUsableStore)
{
    std::string noise;
    for (unsigned i = 0, seed = 12345; i < 20000; ++i)
        noise += static_cast<char>((seed = seed * 1103515245 + 12345) >> 16);
    Load("[Main]\n" + noise + "\nA=1\n");
    Pairs();
    SetSectionAllocator([](size_t) -> void* { return nullptr; });
    EXPECT_EQ(1, Load("[Main]\nA=1\n"));
    EXPECT_EQ(1, SetSectionString(L"A", L"1"));
    EXPECT_EQ(0, CountSectionEntries());
    SetSectionAllocator(nullptr);
}

TEST_F(SectionStore, SetReplacesAKnownKeyDeleteKeepsTheOrderAndWritesAreCutToWholeCharacters)
{
    SetSectionString(L"FontName", L"Tahoma");
    SetSectionInt(L"Size", -12);
    SetSectionString(L"Third", L"3");
    SetSectionString(L"FONTNAME", L"Arial");
    EXPECT_EQ("FONTNAME=Arial\nSize=-12\nThird=3\n", Pairs());
    EXPECT_EQ(0, DeleteSectionKey(L"size"));
    EXPECT_EQ(1, DeleteSectionKey(L"size"));
    EXPECT_EQ("FONTNAME=Arial\nThird=3\n", Pairs());
    // Cut to 127 and 1023 characters, then written in lines of at most 1023 bytes the reader takes.
    SetSectionString(std::wstring(200, L'K').c_str(), std::wstring(2000, L'a').c_str());
    EXPECT_EQ(std::wstring(1023, L'a'), Get(std::wstring(127, L'K')));
    SetSectionString(L"Key", std::wstring(1023, L'\x30A2').c_str());
    ASSERT_EQ(0, WriteSection(file.c_str(), L"Main"));
    EXPECT_EQ("[Main]\nFONTNAME=Arial\nThird=3\n" + std::string(127, 'K') + "=" + std::string(894, 'a') + "\nKey=" +
                  ToUtf8(std::wstring(339, L'\x30A2')) + "\n",
              Written());
}

TEST_F(SectionStore, WriteReplacesEveryOccurrenceOfTheSectionOrAppendsItOnAFreshLine)
{
    SetSectionInt(L"X", 1);
    SetSectionString(L"Name", L"\x30A2\x30D7\x30EA");
    const std::string pairs = "X=1\nName=\xE3\x82\xA2\xE3\x83\x97\xE3\x83\xAA\n";
    const std::tuple<const char*, LPCWSTR, std::string> cases[] = {  // file before (null: none), section, after
        {nullptr, L"Taskbar", "[Taskbar]\n" + pairs},
        {"\xEF\xBB\xBF# top\n[Main]\nA=1\n[taskbar]\n# old\nOld=0\n\n[Start]\nS=1\n", L"Taskbar",
         "\xEF\xBB\xBF# top\n[Main]\nA=1\n[taskbar]\n" + pairs + "\n[Start]\nS=1\n"},
        {"[Main]\nA=1", L"Taskbar", "[Main]\nA=1\n\n[Taskbar]\n" + pairs},
        {"[Main]\nA=1\n\n", L"Taskbar", "[Main]\nA=1\n\n[Taskbar]\n" + pairs},
        {"[T]\nA=1\n[Other]\nB=2\n[T]\nC=3\n", L"T", "[T]\n" + pairs + "\n[Other]\nB=2\n[T]\n" + pairs + "\n"},
        // The header that ends a replaced section is copied, never compared.
        {"[T]\nA=1\n[T]\nC=3\n", L"T", "[T]\n" + pairs + "\n[T]\nC=3\n"},
    };
    for (const auto& [before, section, after] : cases) {
        DeleteFileW(file.c_str());
        if (before) WriteBytes(file, before);
        EXPECT_EQ(0, WriteSection(file.c_str(), section));
        EXPECT_EQ(after, Written()) << (before ? before : "no file");
        EXPECT_FALSE(FileExists(file + L"_"));
    }
}

TEST_F(SectionStore, FailedOrRefusedWritesLeaveTheOriginalAsItWas)
{
    SetSectionInt(L"X", 1);
    // 259 characters: with the temporary file's "_" cut off, the file would be written over itself.
    const std::wstring longest = home / std::wstring(SECTION_PATH_CHARS - 2 - home.path().size(), L'p');
    for (const std::wstring& path : {file, longest}) WriteBytes(path, "[Main]\nA=1\n");
    MakeDirectories(file + L"_");
    EXPECT_EQ(1, WriteSection(file.c_str(), L"Main")) << "the temporary path is a folder";
    RemoveTree(file + L"_");
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(1, WriteSection(file.c_str(), L"Main")) << "the file is read-only";
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(1, WriteSection(longest.c_str(), L"Main"));
    for (const std::wstring& path : {file, longest}) EXPECT_EQ("[Main]\nA=1\n", ReadBytes(path));
    EXPECT_FALSE(FileExists(file + L"_")) << "the temporary file is removed";
    EXPECT_EQ(1, WriteSection(home.path().c_str(), L"Main")) << "a folder is no settings file";
    EXPECT_EQ(0, WriteSection(longest.substr(0, longest.size() - 1).c_str(), L"Main")) << "258 characters fit";
    // Paths and section names too long for the buffers are refused, not cut.
    WriteBytes(longest + L"x", "[Main]\nA=1\n");
    EXPECT_EQ(1, LoadSection((longest + L"x").c_str(), L"Main"));
    const std::wstring section(SECTION_NAME_MAX_CHARS, L's');
    EXPECT_EQ(0, Load("[" + ToUtf8(section) + "]\nA=1\n", section));
    EXPECT_EQ(1, Load("[" + ToUtf8(section) + "s]\nA=1\n", section + L"s"));
}

}  // namespace
