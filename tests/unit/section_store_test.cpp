#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "config/section_store.h"
#include "test_files.h"

namespace {

class SectionStore : public ::testing::Test {
protected:
    void SetUp() override { ClearSectionStore(); }
    TempDirectory home;
    std::wstring file = home / L"settings.cfg";
};

TEST_F(SectionStore, LoadKeepsTheFirstOccurrenceOfTheSectionAndReadsWholeCharactersUpToTheTableSize)
{
    const std::string bom = "\xEF\xBB\xBF", sections = "A=0\n[main]\nA=1\n[Taskbar]\nB=2\n[Main]\nC=3\n";
    std::string full = "[Main]\n";  // more pairs than the table takes
    for (int i = 0; i < 1100; ++i) full += "K" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    const std::tuple<std::string, LPCWSTR, LPCWSTR, LPCWSTR> cases[] = {  // file, section, key, value
        {bom + "[Main]\r\n" + bom + "Theme=Lagoon.theme\r\n", L"Main", L"Theme", L"Lagoon.theme"},
        {sections, L"MAIN", L"a", L"1"},
        {sections, L"Main", L"B", L"!"},
        {"[Main]\nKey=a=b\nDup=1\nDup=2\n", L"Main", L"key", L"a=b"},
        {full, L"Main", L"K1023", L"1023"},
        {full, L"Main", L"K1024", L"!"},
        // A line longer than a piece of 1023 bytes is split before a character, not inside it.
        {"[Main]\nKey=" + std::string(1017, 'v') + "\xE3\x82\xA2" "tail=x\n", L"Main", L"\x30A2tail", L"x"},
        // Invalid bytes read as U+FFFD; a line ending inside a character keeps nothing of the line before.
        {"[Main]\nx=abcdefgh\nb=\xF3\n", L"Main", L"b", L"\xFFFD"},
        // A section of nothing but comments, blank lines and lines without "=" fails, holding nothing.
        {"[Main]\n#A=1\n:B=2\n\nno pair here\n[Other]\nC=3\n", L"Main", L"b", L"!"},
    };
    for (const auto& [bytes, section, key, value] : cases) {
        WriteBytes(file, bytes);
        LoadSection(file.c_str(), section);
        WCHAR held[SECTION_VALUE_CHARS] = L"!";  // left as it was for a missing key
        GetSectionString(held, SECTION_VALUE_CHARS, key);
        EXPECT_EQ(std::wstring(value), held) << bytes;
    }
}

TEST_F(SectionStore, WriteReplacesEveryOccurrenceOfTheSectionOrAppendsItAndLeavesAReadOnlyFile)
{
    SetSectionInt(L"X", 0);
    SetSectionString(L"Name", L"\x30A2\x30D7\x30EA");
    SetSectionInt(L"x", 1);  // the value and the key's case are replaced in place
    const std::string pairs = "x=1\nName=\xE3\x82\xA2\xE3\x83\x97\xE3\x83\xAA\n";
    const std::tuple<const char*, LPCWSTR, std::string> cases[] = {  // file before (null: none yet), section, after
        {nullptr, L"Taskbar", "[Taskbar]\n" + pairs},
        {"\xEF\xBB\xBF# top\n[Main]\nA=1\n[taskbar]\n# old\nOld=0\n\n[Start]\nS=1\n", L"Taskbar",
         "\xEF\xBB\xBF# top\n[Main]\nA=1\n[taskbar]\n" + pairs + "\n[Start]\nS=1\n"},
        {"[Main]\nA=1", L"Taskbar", "[Main]\nA=1\n\n[Taskbar]\n" + pairs},
        {"[T]\nA=1\n[Other]\nB=2\n[T]\nC=3\n", L"T", "[T]\n" + pairs + "\n[Other]\nB=2\n[T]\n" + pairs + "\n"},
        // The header that ends a replaced section is copied, never compared.
        {"[T]\nA=1\n[T]\nC=3\n", L"T", "[T]\n" + pairs + "\n[T]\nC=3\n"},
    };
    for (const auto& [before, section, after] : cases) {
        if (before) WriteBytes(file, before);
        EXPECT_EQ(0, WriteSection(file.c_str(), section));
        std::string written = ReadBytes(file);
        written.erase(std::remove(written.begin(), written.end(), '\r'), written.end());  // text mode writes CR LF
        EXPECT_EQ(after, written) << (before ? before : "no file");
    }
    // A read-only original is left as it was, with no temporary file beside it.
    WriteBytes(file, "[Main]\nA=1\n");
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(1, WriteSection(file.c_str(), L"Main"));
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ("[Main]\nA=1\n", ReadBytes(file));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((file + L"_").c_str()));
}

}  // namespace
