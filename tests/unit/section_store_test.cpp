#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "config/section_store.h"
#include "test_files.h"

namespace {

class SectionStore : public ::testing::Test {
protected:
    void SetUp() override { ClearSectionStore(); }
    TempDirectory home;
    std::wstring file = home / L"settings.cfg";
};

// The format's rules, written apart from the store: what a section file holds, and random
// files that stress them.
using Pairs = std::vector<std::pair<std::wstring, std::wstring>>;

// Bytes at the end that start a UTF-8 character without finishing it; 0 when it ends whole.
size_t IncompleteTail(const std::string& bytes)
{
    size_t back = 1;
    while (back < 3 && (bytes[bytes.size() - back] & 0xC0) == 0x80) ++back;  // back to a lead byte
    const unsigned char lead = bytes[bytes.size() - back];
    const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;  // by its leading ones
    return (lead & 0xC0) != 0x80 && back < length ? back : 0;
}

// The pairs of section Main that a reader following the format takes from the file.
Pairs ModelLoad(const std::string& file)
{
    std::string text;  // as a text-mode stream gives it: CR LF read as LF, Ctrl-Z ends the file
    for (size_t i = 0; i < file.size() && file[i] != '\x1A'; ++i)
        if (file.compare(i, 2, "\r\n") != 0) text += file[i];
    Pairs pairs;
    bool inSection = false;
    for (size_t at = 0, n; at < text.size(); at += n) {
        n = std::min<size_t>(1023, std::min(text.find('\n', at), text.size() - 1) + 1 - at);  // through the line feed
        std::string piece = text.substr(at, n);
        if (n == 1023 && piece.back() != '\n') piece.resize(n -= IncompleteTail(piece));  // split between characters
        piece.resize(strlen(piece.c_str()));  // a NUL byte ends the text
        const int bom = piece.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
        std::wstring line(piece.size(), L'\0');
        line.resize(MultiByteToWideChar(CP_UTF8, 0, &piece[bom], piece.size() - bom, &line[0], line.size()));
        if (line.empty() || wcschr(L"\n:#", line[0])) continue;
        if (line[0] == L'[' && inSection) break;  // the next header ends the section
        if (line[0] == L'[') inSection = _wcsicmp(line.c_str(), L"[Main]\n") == 0;
        if (line.back() == L'\n') line.pop_back();
        const size_t equals = line.find(L'=');
        // A pair line of the section while the table has room; long keys are cut.
        if (line[0] != L'[' && inSection && equals != std::wstring::npos && pairs.size() < SECTION_STORE_SLOTS)
            pairs.push_back({line.substr(0, std::min<size_t>(equals, SECTION_KEY_CHARS - 1)), line.substr(equals + 1)});
    }
    return pairs;
}

std::string RandomFile(std::mt19937& random)
{
    // Whole characters of 1 to 4 bytes, characters cut short, stray and invalid bytes, an
    // encoded surrogate, and runs that make keys longer than the store keeps.
    static const std::string pieces[] = {"=", "=", "k", "K", "v", " ", "[", "#", ":", "\xEF\xBB\xBF", "\xC3\xA9",
        "\xE3\x82\xA2", "\xF0\x9F\x98\x80", "\xE3\x82", "\xF0\x9F", "\x82", "\xFF", "\xC0\xAF", "\xED\xA0\x80", "\r",
        std::string(62, 'k'), "\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80"};
    static const char* const starts[] = {"[Main]", "[main]", "[MAIN]", "[Other]", "#", ":", "", "", "", ""};
    static const char* const ends[] = {"\n", "\n", "\r\n", "\r", ""};
    auto pick = [&](auto& from) { return std::string(from[random() % std::size(from)]); };
    std::string file;
    if (random() % 50 == 0)  // more pairs than the table takes, some keys twice
        for (int i = 0; i < 1100; ++i) file += i ? "k" + std::to_string(i % 1050) + "=v\n" : "[Main]\n";
    for (int lines = random() % 24; lines > 0; --lines) {
        std::string line = random() % 8 ? "" : "\xEF\xBB\xBF";
        line += pick(starts);
        for (int n = random() % 12 ? random() % 8 : 100 + random() % 600; n > 0; --n) line += pick(pieces);
        if (random() % 30 == 0) line += random() % 10 ? '\0' : '\x1A';  // a NUL cuts the line's text, Ctrl-Z the file
        file += line + pick(ends);
    }
    return file;
}

// The pairs read out in order: each lookup, in other case, must find the first pair left,
// which is then deleted.
Pairs TakeStore(const Pairs& expected)
{
    Pairs held;
    for (const auto& [key, value] : expected) {
        std::wstring other = key;
        for (WCHAR& c : other) c = c < 128 && iswalpha(c) ? c ^ 0x20 : c;
        WCHAR found[SECTION_VALUE_CHARS] = L"(missing)";
        GetSectionString(found, SECTION_VALUE_CHARS, other.c_str());
        DeleteSectionKey(other.c_str());
        held.push_back({key, found});
    }
    if (CountSectionEntries()) held.push_back({L"(more)", std::to_wstring(CountSectionEntries())});
    return held;
}

TEST_F(SectionStore, LoadsWhatTheFormatsRulesGiveFromRandomFilesAndWritesItBack)
{
    const char* replay = getenv("ZORV_SEED");
    const unsigned first = replay ? strtoul(replay, NULL, 10) : std::random_device()();
    const int files = replay ? 1 : 2000;
    printf("%d files, seeds %u to %u (ZORV_SEED=N replays one)\n", files, first, first + files - 1);
    for (unsigned seed = first; seed != first + files; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        const std::string bytes = RandomFile(random);
        WriteBytes(file, bytes);
        const Pairs expected = ModelLoad(bytes);
        ASSERT_EQ(expected.empty(), LoadSection(file.c_str(), L"Main"));
        ASSERT_EQ(0, WriteSection(file.c_str(), L"main"));
        ASSERT_EQ(expected, TakeStore(expected));
        // Unchanged pairs keep their lines, so the file reads back the same.
        LoadSection(file.c_str(), L"Main");
        ASSERT_EQ(expected, TakeStore(expected));
    }
}

TEST_F(SectionStore, WriteMergesIntoTheFirstOccurrenceKeepingCommentsOrAppendsLeavesAReadOnlyFileAndCutsLongValues)
{
    SetSectionInt(L"X", 0);
    SetSectionString(L"Name", L"\x30A2\x30D7\x30EA");
    SetSectionInt(L"x", 1);  // the value and the key's case are replaced in place
    const std::string pairs = "x=1\nName=\xE3\x82\xA2\xE3\x83\x97\xE3\x83\xAA\n";
    const std::tuple<const char*, LPCWSTR, std::string> cases[] = {  // file before (null: none yet), section, after
        {nullptr, L"Taskbar", "[Taskbar]\n" + pairs},
        // A deleted key goes, comments stay, new pairs come before the blank lines that end it.
        {"\xEF\xBB\xBF# top\n[Main]\nA=1\n[taskbar]\n# old\nOld=0\n\n[Start]\nS=1\n", L"Taskbar",
         "\xEF\xBB\xBF# top\n[Main]\nA=1\n[taskbar]\n# old\n" + pairs + "\n[Start]\nS=1\n"},
        {"[Main]\nA=1", L"Taskbar", "[Main]\nA=1\n\n[Taskbar]\n" + pairs},
        // Pairs change in place, in the file's order and key case; an unchanged pair keeps
        // its bytes; only the first occurrence, which readers take, is merged.
        {"[T]\n# n\nNAME=x\n:c\nX=1\xFF\nx=1\nrest\n[Other]\nB=2\n[T]\nC=3", L"T",
         "[T]\n# n\nName=\xE3\x82\xA2\xE3\x83\x97\xE3\x83\xAA\n:c\nx=1\nrest\n[Other]\nB=2\n[T]\nC=3"},
        {"[T]\nx=1\nName=\xE3\x82\xA2\xE3\x83\x97\xE3\x83\xAA", L"T", "[T]\nx=1\nName=\xE3\x82\xA2\xE3\x83\x97\xE3\x83\xAA"},
    };
    for (const auto& [before, section, after] : cases) {
        if (before) WriteBytes(file, before);
        EXPECT_EQ(0, WriteSection(file.c_str(), section));
        EXPECT_EQ(after, ReadText(file)) << (before ? before : "no file");
    }
    // A read-only original is left as it was, with no temporary file beside it.
    WriteBytes(file, "[Main]\nA=1\n");
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(1, WriteSection(file.c_str(), L"Main"));
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ("[Main]\nA=1\n", ReadBytes(file));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((file + L"_").c_str()));

    // A long Japanese value is cut between characters to what a reader takes: "Command0=" and
    // as many whole characters as fit 1022 bytes before the line feed.
    ClearSectionStore();
    const std::wstring value(SECTION_VALUE_CHARS - 1, L'\x3042');  // 3 bytes each in UTF-8
    SetSectionString(L"Command0", value.c_str());
    ASSERT_EQ(0, WriteSection(file.c_str(), L"RunHistory"));
    EXPECT_EQ("[Main]\nA=1\n\n[RunHistory]\nCommand0=" + ToUtf8(value.substr(0, (1022 - 9) / 3)) + "\n", ReadText(file));
}

// On a real full volume: drive Q: of the test prefix is a small file system of its own
// (tests/support/full_volume.sh), filled before the write; its unmounting removes the files.
// The script leaves the reason of a skip only where the run has no right to mount.
TEST(FullVolume, AWriteThatFailsPartWayLeavesTheFileAsItWasAndSaysSo)
{
    const std::string noRightToMount = ReadBytes(L"Q:\\skipped.txt");
    if (!noRightToMount.empty()) GTEST_SKIP() << noRightToMount;
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(L"Q:\\")) << "drive Q: is missing: tests/support/full_volume.sh makes it for ctest";
    const std::wstring file = L"Q:\\settings.cfg";
    const std::string original = "; the user's note\n[Main]\nTheme=Lagoon\n\n[Start]\nWidth=400\n";
    WriteBytes(file, original);

    // Filled to the last byte: blocks, then ever smaller writes until not one byte fits.
    HANDLE fill = CreateFileW(L"Q:\\filler", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    const std::vector<char> block(4096, 'x');
    size_t filled = 0;
    DWORD written = 0;
    for (DWORD size = 4096; size > 0 && filled < (1 << 20); size /= 2)
        while (filled < (1 << 20) && WriteFile(fill, block.data(), size, &written, NULL) && written == size) filled += size;
    CloseHandle(fill);
    ASSERT_LT(filled, 1u << 20) << "Q: is not a small volume";

    EXPECT_EQ(1, WriteSection(file.c_str(), L"Main"));  // an empty section, which still takes bytes
    EXPECT_EQ(original, ReadBytes(file));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((file + L"_").c_str())) << "temporary file left";
}

}  // namespace
