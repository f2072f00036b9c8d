#include <gtest/gtest.h>

#include <stdlib.h>

#include "config/section_store.h"
#include "test_files.h"

namespace {

class SectionStoreTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        ClearSectionStore();
        SetSectionAllocator(nullptr);
    }

    // Writes the bytes to a file and loads the section from it.
    int Load(const std::string& bytes, LPCWSTR section = L"Main")
    {
        WriteBytes(file, bytes);
        return LoadSection(file.c_str(), section);
    }

    std::wstring Get(LPCWSTR key, int capacity = SECTION_VALUE_CHARS)
    {
        WCHAR value[SECTION_VALUE_CHARS] = L"<untouched>";
        return GetSectionString(value, capacity, key) == 0 ? value : L"<missing>";
    }

    TempDirectory home;
    std::wstring file = home / L"settings.cfg";
};

TEST_F(SectionStoreTest, ByteOrderMarksAndWindowsLineEndsReadLikePlainLines)
{
    ASSERT_EQ(0, Load("\xEF\xBB\xBF[Main]\r\nTheme=Lagoon.theme\r\n\xEF\xBB\xBF" "FontName=Tahoma\r\n"));
    EXPECT_EQ(L"Lagoon.theme", Get(L"Theme"));
    EXPECT_EQ(L"Tahoma", Get(L"FontName"));
    EXPECT_EQ(2, CountSectionEntries());
}

TEST_F(SectionStoreTest, HeadersMatchWholeLinesWithoutRegardToCase)
{
    EXPECT_EQ(0, Load("[main]\nA=1\n"));
    EXPECT_EQ(L"1", Get(L"a"));
    EXPECT_EQ(1, Load("[Main] \nA=1\n")) << "a space after the bracket makes another header";
    EXPECT_EQ(1, Load("[Main]   ; comment\nA=1\n"));
    EXPECT_EQ(1, Load("A=1\n[Main]")) << "a last line without a line feed is no header";
    EXPECT_EQ(0, CountSectionEntries());
}

TEST_F(SectionStoreTest, SectionWithoutPairsFailsAndLeavesTheStoreEmpty)
{
    EXPECT_EQ(1, Load("[Main]\n# comment\n: comment\n\nno pair here\n[Other]\nA=1\n"));
    EXPECT_EQ(0, CountSectionEntries());
    EXPECT_EQ(1, Load(""));
    EXPECT_EQ(1, LoadSection((home / L"missing.cfg").c_str(), L"Main"));
    EXPECT_EQ(1, LoadSection(home.path().c_str(), L"Main")) << "a folder is no settings file";
}

TEST_F(SectionStoreTest, OnlyTheFirstOccurrenceOfASectionIsRead)
{
    ASSERT_EQ(0, Load("A=0\n[Main]\nA=1\n[Taskbar]\nX=2\n[Main]\nB=3\n"));
    EXPECT_EQ(L"1", Get(L"A"));
    EXPECT_EQ(L"<missing>", Get(L"B"));
    EXPECT_EQ(L"<missing>", Get(L"X"));
    ASSERT_EQ(0, LoadSection(file.c_str(), L"Taskbar"));
    EXPECT_EQ(L"<missing>", Get(L"A")) << "loading a section discards the previous one";
}

TEST_F(SectionStoreTest, PairsSplitAtTheFirstEqualsSignAndKeepTheirSpaces)
{
    ASSERT_EQ(0, Load("[Main]\nKey=a=b\nSpaced = v\n;semi=1\n=empty key\nDup=first\nDup=second\n"));
    EXPECT_EQ(L"a=b", Get(L"Key"));
    EXPECT_EQ(L"<missing>", Get(L"Spaced"));
    EXPECT_EQ(L" v", Get(L"Spaced "));
    EXPECT_EQ(L"1", Get(L";semi"));
    EXPECT_EQ(L"empty key", Get(L""));
    EXPECT_EQ(L"first", Get(L"dup"));
    EXPECT_EQ(6, CountSectionEntries());
}

TEST_F(SectionStoreTest, GetStringCutsToTheCapacityAndLeavesMissingKeysAlone)
{
    ASSERT_EQ(0, Load("[Main]\nLong=" + std::string(200, 'x') + "\n"));
    EXPECT_EQ(std::wstring(127, L'x'), Get(L"Long", 128));
    EXPECT_EQ(L"", Get(L"Long", 1));
    EXPECT_EQ(L"<missing>", Get(L"Nope"));
}

TEST_F(SectionStoreTest, GetIntReadsLikeTheRuntimeAndGivesZeroForMissingKeys)
{
    ASSERT_EQ(0, Load("[Main]\nNeg=-12\nSpace= 42\nFraction=3.5\nEmpty=\nWord=abc\n"));
    EXPECT_EQ(-12, GetSectionInt(L"Neg"));
    EXPECT_EQ(42, GetSectionInt(L"Space"));
    EXPECT_EQ(3, GetSectionInt(L"Fraction"));
    EXPECT_EQ(0, GetSectionInt(L"Empty"));
    EXPECT_EQ(0, GetSectionInt(L"Word"));
    EXPECT_EQ(0, GetSectionInt(L"Missing"));
}

TEST_F(SectionStoreTest, OverlongKeysAreCutAndPairsBeyondTheTableIgnored)
{
    std::string text = "[Main]\n" + std::string(300, 'k') + "=long key\n";
    for (int i = 0; i < 1100; ++i) text += "K" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    ASSERT_EQ(0, Load(text));
    EXPECT_EQ(SECTION_STORE_SLOTS, CountSectionEntries());
    EXPECT_EQ(L"long key", Get(std::wstring(127, L'k').c_str()));
    EXPECT_EQ(1022, GetSectionInt(L"K1022"));
    EXPECT_EQ(L"<missing>", Get(L"K1023"));
}

TEST_F(SectionStoreTest, LongLinesAreReadInPiecesWithoutSplittingCharacters)
{
    // "Key=" and 1017 ASCII bytes, then a three-byte character across the 1023-byte boundary.
    std::string value = std::string(1017, 'v') + "\xE3\x82\xA2" "tail=x";
    ASSERT_EQ(0, Load("[Main]\nKey=" + value + "\n"));
    EXPECT_EQ(std::wstring(1017, L'v'), Get(L"Key")) << "the first piece ends before the character";
    EXPECT_EQ(L"x", Get(L"\x30A2tail")) << "the character starts the next piece whole";
}

TEST_F(SectionStoreTest, GarbageNeverCrashesTheReader)
{
    std::string noise;
    unsigned seed = 12345;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245 + 12345;
        noise += static_cast<char>((seed >> 16) & 0xFF);
    }
    Load("[Main]\n" + noise + "\nA=1\n");
    EXPECT_LE(CountSectionEntries(), SECTION_STORE_SLOTS);
    ASSERT_EQ(0, Load("[Main]\nBad=\xFF\xFE\xC3(\n" + std::string(5000, '=') + "\n"));
    EXPECT_EQ(L"\xFFFD\xFFFD\xFFFD(", Get(L"Bad"));
}

TEST_F(SectionStoreTest, FailedAllocationStoresNothing)
{
    SetSectionAllocator([](size_t) -> void* { return nullptr; });
    EXPECT_EQ(1, Load("[Main]\nA=1\n"));
    EXPECT_EQ(0, CountSectionEntries());
    EXPECT_EQ(1, SetSectionString(L"A", L"1"));
    EXPECT_EQ(0, CountSectionEntries());
}

TEST_F(SectionStoreTest, PathsTooLongForTheBufferAreRefused)
{
    std::wstring longPath = home / std::wstring(260, L'a');
    EXPECT_EQ(1, LoadSection(longPath.c_str(), L"Main"));
    EXPECT_EQ(1, WriteSection(longPath.c_str(), L"Main"));
    EXPECT_EQ(1, LoadSection(file.c_str(), std::wstring(253, L's').c_str()));
}

TEST_F(SectionStoreTest, SetReplacesCaseAndValueDeleteKeepsOrder)
{
    SetSectionString(L"FontName", L"Tahoma");
    SetSectionInt(L"Size", -12);
    SetSectionString(L"Third", L"3");
    SetSectionString(L"FONTNAME", L"Arial");
    EXPECT_EQ(L"Arial", Get(L"fontname"));
    EXPECT_EQ(L"-12", Get(L"Size"));
    EXPECT_EQ(3, CountSectionEntries());

    EXPECT_EQ(0, DeleteSectionKey(L"fontname"));
    EXPECT_EQ(1, DeleteSectionKey(L"fontname"));
    EXPECT_EQ(2, CountSectionEntries());
    EXPECT_EQ(0, WriteSection(file.c_str(), L"Main"));
    EXPECT_EQ("[Main]\nSize=-12\nThird=3\n", WithoutCarriageReturns(ReadBytes(file)));
}

TEST_F(SectionStoreTest, SetCutsOverlongKeysAndValuesAndIgnoresAFullTable)
{
    SetSectionString(std::wstring(200, L'k').c_str(), std::wstring(2000, L'v').c_str());
    EXPECT_EQ(std::wstring(1023, L'v'), Get(std::wstring(127, L'k').c_str()));
    for (int i = 1; i < SECTION_STORE_SLOTS; ++i) SetSectionInt((L"K" + std::to_wstring(i)).c_str(), i);
    EXPECT_EQ(0, SetSectionString(L"Extra", L"1"));
    EXPECT_EQ(L"<missing>", Get(L"Extra"));
    EXPECT_EQ(0, SetSectionString(L"k5", L"replaced")) << "a known key is still replaced in a full table";
    EXPECT_EQ(L"replaced", Get(L"K5"));
}

TEST_F(SectionStoreTest, WriteSectionCreatesAMissingFile)
{
    SetSectionInt(L"X", 1);
    SetSectionString(L"Name", L"\x30A2\x30D7\x30EA");
    ASSERT_EQ(0, WriteSection(file.c_str(), L"Taskbar"));
    EXPECT_EQ("[Taskbar]\nX=1\nName=\xE3\x82\xA2\xE3\x83\x97\xE3\x83\xAA\n", WithoutCarriageReturns(ReadBytes(file)));
    EXPECT_FALSE(FileExists(file + L"_"));
    ASSERT_EQ(0, LoadSection(file.c_str(), L"Taskbar"));
    EXPECT_EQ(L"\x30A2\x30D7\x30EA", Get(L"Name"));
}

TEST_F(SectionStoreTest, WriteSectionReplacesTheSectionAndKeepsEverythingElse)
{
    WriteBytes(file, "\xEF\xBB\xBF# top\n[Main]\nA=1\n[taskbar]\n# old comment\nOld=0\n\n[Start]\nS=1\n");
    SetSectionInt(L"X", 1);
    SetSectionInt(L"Y", 2);
    ASSERT_EQ(0, WriteSection(file.c_str(), L"Taskbar"));
    EXPECT_EQ("\xEF\xBB\xBF# top\n[Main]\nA=1\n[taskbar]\nX=1\nY=2\n\n[Start]\nS=1\n", WithoutCarriageReturns(ReadBytes(file)));
    EXPECT_FALSE(FileExists(file + L"_"));
}

TEST_F(SectionStoreTest, WriteSectionAppendsOnAFreshLine)
{
    SetSectionInt(L"X", 1);
    WriteBytes(file, "[Main]\nA=1");
    ASSERT_EQ(0, WriteSection(file.c_str(), L"Taskbar"));
    EXPECT_EQ("[Main]\nA=1\n\n[Taskbar]\nX=1\n", WithoutCarriageReturns(ReadBytes(file)));
    WriteBytes(file, "[Main]\nA=1\n\n");
    ASSERT_EQ(0, WriteSection(file.c_str(), L"Taskbar"));
    EXPECT_EQ("[Main]\nA=1\n\n[Taskbar]\nX=1\n", WithoutCarriageReturns(ReadBytes(file)));
}

TEST_F(SectionStoreTest, WriteSectionFillsEveryOccurrenceOfTheHeader)
{
    SetSectionInt(L"X", 1);
    WriteBytes(file, "[T]\nA=1\n[Other]\nB=2\n[T]\nC=3\n");
    ASSERT_EQ(0, WriteSection(file.c_str(), L"T"));
    EXPECT_EQ("[T]\nX=1\n\n[Other]\nB=2\n[T]\nX=1\n\n", WithoutCarriageReturns(ReadBytes(file)));
    WriteBytes(file, "[T]\nA=1\n[T]\nC=3\n");
    ASSERT_EQ(0, WriteSection(file.c_str(), L"T"));
    EXPECT_EQ("[T]\nX=1\n\n[T]\nC=3\n", WithoutCarriageReturns(ReadBytes(file)))
        << "a header that ends the replaced section is only copied";
}

TEST_F(SectionStoreTest, WriteSectionCutsLinesTheReaderCouldNotTake)
{
    SetSectionString(L"Key", std::wstring(1023, L'\x30A2').c_str());
    ASSERT_EQ(0, WriteSection(file.c_str(), L"Main"));
    std::string written = WithoutCarriageReturns(ReadBytes(file));
    std::string pairLine = written.substr(written.find('\n') + 1);
    EXPECT_EQ(4 + 3 * 339 + 1, static_cast<int>(pairLine.size())) << "1023 bytes at most, whole characters";
    ASSERT_EQ(0, LoadSection(file.c_str(), L"Main"));
    EXPECT_EQ(std::wstring(339, L'\x30A2'), Get(L"Key"));
}

TEST_F(SectionStoreTest, FailedWriteLeavesTheOriginalAsItWas)
{
    const std::string original = "[Main]\nA=1\n";
    SetSectionInt(L"X", 1);

    WriteBytes(file, original);
    ASSERT_TRUE(CreateDirectoryW((file + L"_").c_str(), NULL));
    EXPECT_EQ(1, WriteSection(file.c_str(), L"Main")) << "the temporary path is a folder";
    EXPECT_EQ(original, ReadBytes(file));
    RemoveDirectoryW((file + L"_").c_str());

    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(1, WriteSection(file.c_str(), L"Main")) << "the file is read-only";
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(original, ReadBytes(file));
    EXPECT_FALSE(FileExists(file + L"_")) << "the temporary file is removed";

    EXPECT_EQ(1, WriteSection(home.path().c_str(), L"Main")) << "a folder is no settings file";
}

}  // namespace
