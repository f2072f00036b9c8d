#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "resource.h"
#include "dialogs/settings_dialog.h"
#include "test_files.h"

namespace {

// The dialog is modal: a thread timer acts on it, or on a box over it, one step at a time.
using Step = std::function<void(HWND)>;
std::vector<Step> steps;
size_t nextStep;

// The active window of this thread is the dialog, or the box over it.
void CALLBACK Drive(HWND, UINT, UINT_PTR, DWORD)
{
    HWND window = GetActiveWindow();
    WCHAR className[8] = L"";
    GetClassNameW(window, className, 8);
    if (wcscmp(className, L"#32770") == 0 && nextStep < steps.size()) steps[nextStep++](window);
}

SettingsOutcome RunWith(const std::wstring& home, std::vector<Step> script)
{
    steps = std::move(script);
    nextStep = 0;
    const UINT_PTR timer = SetTimer(NULL, 0, 30, Drive);
    const SettingsOutcome outcome = RunSettingsDialog(GetModuleHandleW(NULL), NULL, home.c_str());
    KillTimer(NULL, timer);
    EXPECT_EQ(steps.size(), nextStep) << "steps left undone";
    return outcome;
}

void Press(HWND window, int id) { PostMessageW(window, WM_COMMAND, id, 0); }
void ChooseShortcut(HWND dialog, int shortcut)
{
    SendDlgItemMessageW(dialog, IDC_SETTINGS_SHORTCUT, CB_SETCURSEL, shortcut, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_SETTINGS_SHORTCUT, CBN_SELCHANGE), 0);
}
// The new shell of a restart: this program, started suspended so that it never runs, with a
// handle of the test's own to see it end.
HANDLE standIn;
HANDLE StartStandIn()
{
    WCHAR self[MAX_PATH];
    GetModuleFileNameW(NULL, self, MAX_PATH);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    CreateProcessW(self, NULL, NULL, NULL, FALSE, CREATE_SUSPENDED, NULL, NULL, &startup, &started);
    CloseHandle(started.hThread);
    DuplicateHandle(GetCurrentProcess(), started.hProcess, GetCurrentProcess(), &standIn, 0, FALSE, DUPLICATE_SAME_ACCESS);
    return started.hProcess;
}

// Settings with comments, an unknown key and section, an over-long value, invalid UTF-8, and
// no clock key nor shortcut 5.
TEST(SettingsDialog, RefusesABrokenThemeOrUnwritableFileSayingWhyAndWritesOnlyTheChangedKeysKeepingTheRest)
{
    TempDirectory home;
    InstallDefaultHome(home.path());
    const std::wstring settings = home / L"settings\\settings.cfg";
    const std::string original =
        "# mine\n[Main]\n# the theme\nTheme=Lagoon.theme\nFontName=Tahoma\nFontSize=-12\nBigFontSize=-20\n\n"
        "[Taskbar]\nUnknown=1\n\n[Start]\nUserIcon=settings\\user.bmp\nUserName=" + std::string(1500, 'n') + "\n"
        "# shortcuts\nMenu0.Name=One\nMenu0.Path=\\one.exe\nMenu1.Name=Bad\xFF\nMenu1.Path=\\bad.exe\n"
        "Menu2.Name=Two\nMenu2.Path=\\two.exe\n\n[Other]\nKeep=this\n";
    WriteBytes(settings, original);
    // A theme without sections and one without bitmaps are refused, so is a read-only file.
    WriteBytes(home / L"settings\\Empty.theme", "# no sections\n");
    std::string small = ReadBytes(home / L"settings\\Lagoon.theme");
    small.replace(small.find("Name=Lagoon"), 11, "Name=Small");
    WriteBytes(home / L"settings\\Small.theme", small);
    CreateDirectoryW((home / L"theme\\Small").c_str(), NULL);  // every bitmap missing
    std::wstring refusedEmpty, refusedSmall, unwritable;
    auto choose = [](const wchar_t* theme) {
        return [=](HWND dialog) {
            SendDlgItemMessageW(dialog, IDC_SETTINGS_THEME, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                reinterpret_cast<LPARAM>(theme));
            Press(dialog, IDOK);
        };
    };
    EXPECT_EQ(SETTINGS_UNCHANGED, RunWith(home.path(), {
        choose(L"Empty.theme"), [&](HWND box) { refusedEmpty = AnswerBox(box); },
        choose(L"Small.theme"), [&](HWND box) { refusedSmall = AnswerBox(box); },
        [](HWND dialog) { Press(dialog, IDCANCEL); },
    }));
    SetFileAttributesW(settings.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(SETTINGS_UNCHANGED, RunWith(home.path(), {
        [](HWND dialog) {
            SetDlgItemTextW(dialog, IDC_SETTINGS_USER_NAME, L"Neo");
            Press(dialog, IDOK);
        },
        [&](HWND box) { unwritable = AnswerBox(box); },
        [](HWND dialog) { Press(dialog, IDCANCEL); },
    }));
    SetFileAttributesW(settings.c_str(), FILE_ATTRIBUTE_NORMAL);
    const std::pair<const std::wstring*, std::wstring> said[] = {{&refusedEmpty, L"Empty.theme"},
        {&refusedEmpty, L"ERROR    Cannot load CFG"}, {&refusedSmall, L"MISSING  "}, {&refusedSmall, L"TASKBAR.bmp"},
        {&unwritable, L"could not be saved"}, {&unwritable, settings}};
    for (const auto& [box, part] : said) EXPECT_NE(std::wstring::npos, box->find(part)) << ToUtf8(*box);
    EXPECT_EQ(original, ReadBytes(settings));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((settings + L".saving").c_str())) << "no copy left behind";

    // A good edit: only the changed keys written, the rest kept; the new shell, started for
    // the restart, ended again at No.
    std::wstring restartOffer;
    const ShellRestart restart = {StartStandIn, [] { ADD_FAILURE() << "handed over at No"; }};
    SetShellRestart(&restart);
    EXPECT_EQ(SETTINGS_SAVED, RunWith(home.path(), {
        [&](HWND dialog) {
            EXPECT_EQ(std::wstring(1023 - 9, L'n'), WindowText(GetDlgItem(dialog, IDC_SETTINGS_USER_NAME))) << "cut as the store cuts it";
            EXPECT_EQ(L"Lagoon.theme", WindowText(GetDlgItem(dialog, IDC_SETTINGS_THEME)));
            EXPECT_EQ(0u, IsDlgButtonChecked(dialog, IDC_SETTINGS_CLOCK_12) | IsDlgButtonChecked(dialog, IDC_SETTINGS_CLOCK_24))
                << "no key, no choice";
            EXPECT_EQ(L"One", WindowText(GetDlgItem(dialog, IDC_SETTINGS_NAME)));
            ChooseShortcut(dialog, 1);
            EXPECT_EQ(L"Bad\xFFFD", WindowText(GetDlgItem(dialog, IDC_SETTINGS_NAME))) << "decoded as the store decodes it";
            ChooseShortcut(dialog, 5);
            SetDlgItemTextW(dialog, IDC_SETTINGS_NAME, L"Five");
            ChooseShortcut(dialog, 2);
            SetDlgItemTextW(dialog, IDC_SETTINGS_PATH, L"\\\x30A2\x30D7\x30EA.exe");
            SetDlgItemTextW(dialog, IDC_SETTINGS_USER_NAME, L"Neo");
            CheckRadioButton(dialog, IDC_SETTINGS_CLOCK_12, IDC_SETTINGS_CLOCK_24, IDC_SETTINGS_CLOCK_24);
            Press(dialog, IDOK);
        },
        [&](HWND box) { restartOffer = AnswerBox(box, IDNO); },
    }));
    EXPECT_NE(std::wstring::npos, restartOffer.find(L"Restart Lumaro now?"));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(standIn, 5000)) << "the new shell left waiting";
    TerminateProcess(standIn, 0);
    CloseHandle(standIn);
    std::string expected = original;
    // The rest of the over-long line is a line of its own to the store, and stays.
    expected.replace(expected.find("UserName="), 9 + 1014, "UserName=Neo\n");
    expected.replace(expected.find("Unknown=1\n"), 10, "Unknown=1\nAMPM=0\n");
    expected.replace(expected.find("\\two.exe"), 8, "\\\xE3\x82\xA2\xE3\x83\x97\xE3\x83\xAA.exe");
    expected.replace(expected.find("\n\n[Other]"), 1, "\nMenu5.Name=Five\n");
    EXPECT_EQ(expected, ReadText(settings));

    // Nothing changed: nothing written, nothing offered; the clock as the file now says.
    const std::string before = ReadBytes(settings);
    EXPECT_EQ(SETTINGS_UNCHANGED, RunWith(home.path(), {[](HWND dialog) {
                  EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_SETTINGS_CLOCK_24));
                  Press(dialog, IDOK);
              }}));
    EXPECT_EQ(before, ReadBytes(settings));
}

}  // namespace
