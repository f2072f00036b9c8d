#include <gtest/gtest.h>

#include <string>

#include "core/shell_text.h"
#include "resource.h"
#include "test_files.h"

namespace {

const HINSTANCE SELF = GetModuleHandleW(NULL);  // linked with the shell's string table
const UINT ENGLISH_ONLY = 4999;                 // the test's own text, in shell_text_test.rc

std::wstring Text(UINT id, int capacity = 64)
{
    WCHAR text[64] = L"?";
    return LoadShellText(SELF, id, text, capacity) == 0 ? text : L"(failed) " + std::wstring(text);
}

TEST(ShellText, MainLanguageChoosesJapaneseByNameAndEnglishForAnythingElse)
{
    const std::wstring english = L"Cancel", japanese = L"\u30AD\u30E3\u30F3\u30BB\u30EB";  // キャンセル
    const struct {
        const wchar_t* value;
        const std::wstring& text;
        size_t logLines;  // a value that names no language is logged
    } cases[] = {{L"Japanese", japanese, 0}, {L"English", english, 0},   {L"jAPANESE", japanese, 0},
                 {NULL, english, 0},         {L"", english, 0},          {L"Klingon", english, 1},
                 {L"Japanese ", english, 1}, {L"\u65E5\u672C\u8A9E", english, 1}};  // 日本語
    for (const auto& c : cases) {
        LogCapture log;
        ChooseShellLanguage(c.value);
        EXPECT_EQ(c.text, Text(IDS_CANCEL)) << (c.value ? ToUtf8(c.value) : "(null)");
        EXPECT_EQ(c.logLines, log.lines.size()) << (c.value ? ToUtf8(c.value) : "(null)");
    }
    EXPECT_EQ(L"Can", Text(IDS_CANCEL, 4)) << "cut to the buffer";
    ChooseShellLanguage(L"Japanese");
    EXPECT_EQ(L"\u30AD\u30E3\u30F3", Text(IDS_CANCEL, 4));
    EXPECT_EQ(L"Only in English", Text(ENGLISH_ONLY)) << "a missing translation falls back to English";
    EXPECT_EQ(L"(failed) ", Text(ENGLISH_ONLY + 1)) << "a missing text to nothing";
    EXPECT_EQ(L"(failed) ?", Text(IDS_CANCEL, 0)) << "no room, nothing written";
    ChooseShellLanguage(L"English");
}

// Whoever adds a text adds its translation: each English text has its Japanese one at the
// offset, and each Japanese text its English one.
TEST(ShellText, EveryTextIsInBothLanguages)
{
    WCHAR text[2];
    for (UINT id = 1; id < JAPANESE_TEXT_OFFSET; ++id) {
        if (id == ENGLISH_ONLY) continue;
        EXPECT_EQ(LoadStringW(SELF, id, text, 2) > 0, LoadStringW(SELF, id + JAPANESE_TEXT_OFFSET, text, 2) > 0)
            << "only one language has text " << id;
    }
}

}  // namespace
