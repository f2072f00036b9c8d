#include <gtest/gtest.h>

#include <string>
#include <tuple>

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

// Whoever adds a text adds its translation: each English text has its Japanese one at the
// offset, and each Japanese text its English one.
TEST(ShellText, MainLanguageChoosesJapaneseByNameAndEnglishForAnythingElseAndEveryTextIsInBoth)
{
    const std::wstring english = L"Cancel", japanese = L"\u30AD\u30E3\u30F3\u30BB\u30EB";  // キャンセル
    // The language's value (the last is 日本語), the text it gives, and the log lines: a value
    // naming no language is logged.
    const std::tuple<const wchar_t*, const std::wstring&, size_t> cases[] = {
        {L"Japanese", japanese, 0}, {L"English", english, 0}, {L"jAPANESE", japanese, 0}, {NULL, english, 0},
        {L"", english, 0}, {L"Klingon", english, 1}, {L"Japanese ", english, 1}, {L"\u65E5\u672C\u8A9E", english, 1}};
    for (const auto& [value, text, logLines] : cases) {
        LogCapture log;
        ChooseShellLanguage(value);
        EXPECT_EQ(text, Text(IDS_CANCEL)) << (value ? ToUtf8(value) : "(null)");
        EXPECT_EQ(logLines, log.lines.size()) << (value ? ToUtf8(value) : "(null)");
    }
    EXPECT_EQ(L"Can", Text(IDS_CANCEL, 4)) << "cut to the buffer";
    ChooseShellLanguage(L"Japanese");
    EXPECT_EQ(L"\u30AD\u30E3\u30F3", Text(IDS_CANCEL, 4));
    EXPECT_EQ(L"Only in English", Text(ENGLISH_ONLY)) << "a missing translation falls back to English";
    EXPECT_EQ(L"(failed) ", Text(ENGLISH_ONLY + 1)) << "a missing text to nothing";
    EXPECT_EQ(L"(failed) ?", Text(IDS_CANCEL, 0)) << "no room, nothing written";
    ChooseShellLanguage(L"English");
    WCHAR text[2];
    for (UINT id = 1; id < JAPANESE_TEXT_OFFSET; ++id)
        EXPECT_EQ(LoadStringW(SELF, id, text, 2) > 0 && id != ENGLISH_ONLY,
                  LoadStringW(SELF, id + JAPANESE_TEXT_OFFSET, text, 2) > 0) << "only one language has text " << id;
}

}  // namespace
