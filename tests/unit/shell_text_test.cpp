#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/shell_text.h"
#include "resource.h"
#include "shell_text_test.h"
#include "test_files.h"

namespace {

const HINSTANCE SELF = GetModuleHandleW(NULL);  // linked with the shell's string table

std::wstring Text(UINT id, int capacity = 128)
{
    WCHAR text[128] = L"?";
    return LoadShellText(SELF, id, text, capacity) == 0 ? text : L"(failed: \"" + std::wstring(text) + L"\")";
}

// Every id of the executable's string table that holds a text.
std::vector<UINT> StringIds()
{
    std::vector<UINT> ids;
    EnumResourceNamesW(
        SELF, RT_STRING,
        [](HMODULE module, LPCWSTR, LPWSTR name, LONG_PTR found) -> BOOL {
            const UINT block = static_cast<UINT>(reinterpret_cast<UINT_PTR>(name));  // texts 16 (block - 1) onwards
            for (UINT id = (block - 1) * 16; id < block * 16; ++id) {
                WCHAR text[2];
                if (LoadStringW(module, id, text, 2) > 0) reinterpret_cast<std::vector<UINT>*>(found)->push_back(id);
            }
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}

class ShellText : public ::testing::Test {
protected:
    void TearDown() override { ChooseShellLanguage(L"English"); }
};

TEST_F(ShellText, MainLanguageChoosesJapaneseByNameAndEnglishForEverythingElse)
{
    const std::wstring english = L"Exit Lumaro", japanese = L"Lumaro \u3092\u7D42\u4E86";  // Lumaro を終了
    struct Case {
        const wchar_t* value;
        const std::wstring& text;
        bool logged;  // as a value that names no language
    };
    const Case cases[] = {
        {L"Japanese", japanese, false}, {L"English", english, false},     {L"jAPANESE", japanese, false},
        {NULL, english, false},         {L"", english, false},            {L"Klingon", english, true},
        {L"Japan", english, true},      {L"Japanese ", english, true},    {L"\u65E5\u672C\u8A9E", english, true},  // 日本語
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value ? ToUtf8(c.value) : "(null)");
        LogCapture log;
        ChooseShellLanguage(c.value);
        EXPECT_EQ(c.text, Text(IDS_EXIT_BUTTON));
        EXPECT_EQ(c.logged ? 1u : 0u, log.lines.size());
    }
    EXPECT_EQ(L"Cancel", Text(IDS_CANCEL)) << "the last value, in another script, went back to English";
    EXPECT_EQ(L"Can", Text(IDS_CANCEL, 4)) << "cut to the buffer, terminated";
}

TEST_F(ShellText, AMissingTranslationFallsBackToEnglishAndAMissingTextToNothing)
{
    ChooseShellLanguage(L"Japanese");
    EXPECT_EQ(L"\u30AD\u30E3\u30F3\u30BB\u30EB", Text(IDS_CANCEL));  // キャンセル
    EXPECT_EQ(L"Only in English", Text(IDS_TEST_ENGLISH_ONLY));
    EXPECT_EQ(L"(failed: \"\")", Text(IDS_TEST_ENGLISH_ONLY + 1));
    EXPECT_EQ(L"\u30AD\u30E3\u30F3", Text(IDS_CANCEL, 4)) << "cut to the buffer, terminated";
    EXPECT_EQ(L"(failed: \"?\")", Text(IDS_CANCEL, 0)) << "no room, nothing written";
}

// What the lead translator needs: each English text has its Japanese one, and no Japanese
// text stands without an English one.
TEST_F(ShellText, EveryEnglishTextHasItsJapaneseTextAtTheOffset)
{
    const std::vector<UINT> ids = StringIds();
    EXPECT_GE(ids.size(), 40u);
    WCHAR text[2];
    for (UINT id : ids) {
        if (id == IDS_TEST_ENGLISH_ONLY) continue;
        if (id < JAPANESE_TEXT_OFFSET)
            EXPECT_LT(0, LoadStringW(SELF, id + JAPANESE_TEXT_OFFSET, text, 2)) << "no Japanese text for " << id;
        else
            EXPECT_LT(0, LoadStringW(SELF, id - JAPANESE_TEXT_OFFSET, text, 2)) << "no English text for " << id;
    }
}

}  // namespace
