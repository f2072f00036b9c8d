#include "gfx/theme_check.h"

#include <strsafe.h>

#include <algorithm>
#include <cstdlib>

#include "config/shell_settings.h"
#include "gfx/theme_parts.h"
#include "gfx/layout_check.h"
#include "platform/platform.h"

namespace {

struct RequiredBitmap {
    std::wstring name;  // without ".bmp"
    int width, height;  // the least the shell copies from it
};

// In the order the shell loads them: the taskbar's, then the start menu's, whose
// background comes before the user picture.
std::vector<RequiredBitmap> BitmapsBeforeUserPicture(const ShellSettings& s)
{
    const int bar = s.taskbarHeight, button = s.taskbarButtonHeight;
    return {
        {L"TASKBAR", 1, bar},
        {L"STARTBUTTONU", s.taskbarStartButtonCX, bar},
        {L"STARTBUTTOND", s.taskbarStartButtonCX, bar},
        {L"TASKBARCLK", s.taskbarClockCX, bar},
        {L"TBTNU0", TASK_BUTTON_LEFT_UP_CX, button},
        {L"TBTNU1", 1, button},
        {L"TBTNU2", TASK_BUTTON_CAP_CX, button},
        {L"TBTND0", TASK_BUTTON_LEFT_DOWN_CX, button},
        {L"TBTND1", 1, button},
        {L"TBTND2", TASK_BUTTON_CAP_CX, button},
        {L"STARTBACK", s.startWidth, s.startHeight},
    };
}

// The start menu's faces, each as large as the theme file's layout shows of it.
std::vector<RequiredBitmap> BitmapsAfterUserPicture(const ShellSettings& s)
{
    std::vector<RequiredBitmap> list;
    for (int i = 0; i < SIDE_ITEM_COUNT; ++i) {
        list.push_back({L"SIDE" + std::to_wstring(i) + L"U", s.startSideCX, s.startSideCY});
        list.push_back({L"SIDE" + std::to_wstring(i) + L"D", s.startSideCX, s.startSideCY});
    }
    list.push_back({L"EXITBTNU", s.startExitCX, s.startExitCY});
    list.push_back({L"EXITBTND", s.startExitCX, s.startExitCY});
    list.push_back({L"ALLPROGRAMSU", s.startAllProgramsCX, s.startAllProgramsCY});
    list.push_back({L"ALLPROGRAMSD", s.startAllProgramsCX, s.startAllProgramsCY});
    list.push_back({L"MAINU", s.startShortcutCX, s.startShortcutCY});
    list.push_back({L"MAIND", s.startShortcutCX, s.startShortcutCY});
    return list;
}

enum class BitmapState { Missing, TooLong, Unreadable, Loaded };

// Loads the file as the shell does, keeps only its size and lets the bitmap go.
BitmapState ReadBitmapSize(const std::wstring& path, SIZE* size)
{
    // The shell refuses a path that does not fit its buffer rather than cutting it.
    if (path.size() >= MAX_PATH) return BitmapState::TooLong;
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return BitmapState::Missing;
    HBITMAP image = LoadDIBitmapFile(path.c_str());
    if (!image) return BitmapState::Unreadable;
    BITMAP info = {};
    GetObjectW(image, sizeof info, &info);
    DeleteObject(image);
    *size = SIZE{info.bmWidth, std::abs(info.bmHeight)};
    return BitmapState::Loaded;
}

std::wstring Dimensions(int width, int height) { return std::to_wstring(width) + L" x " + std::to_wstring(height); }

void AddFinding(ThemeReport* report, ThemeProblem kind, const std::wstring& label, const std::wstring& path,
                const std::wstring& detail)
{
    report->findings.push_back({kind, path, label + path + L": " + detail});
}

void CheckThemeBitmap(const ShellSettings& settings, const RequiredBitmap& bitmap, ThemeReport* report)
{
    const std::wstring path = std::wstring(settings.themeFolder) + L"\\" + bitmap.name + L".bmp";
    const std::wstring needed = Dimensions(bitmap.width, bitmap.height);
    ++report->bitmapsChecked;
    SIZE size = {};
    switch (ReadBitmapSize(path, &size)) {
    case BitmapState::Missing:
        AddFinding(report, ThemeProblem::Missing, L"MISSING  ", path, L"needs a BMP of at least " + needed);
        return;
    case BitmapState::TooLong:
        AddFinding(report, ThemeProblem::Unreadable, L"UNREADABLE ", path, L"path longer than the shell's 259 characters");
        return;
    case BitmapState::Unreadable:
        AddFinding(report, ThemeProblem::Unreadable, L"UNREADABLE ", path, L"not a complete BMP file");
        return;
    case BitmapState::Loaded:
        if (size.cx < bitmap.width || size.cy < bitmap.height)
            AddFinding(report, ThemeProblem::TooSmall, L"TOO SMALL ", path,
                       L"is " + Dimensions(size.cx, size.cy) + L", needs at least " + needed);
        return;
    }
}

// The shell starts without its picture, so this is only a warning.
void CheckUserPicture(const ShellSettings& settings, ThemeReport* report)
{
    const std::wstring path = settings.userPicturePath;
    ++report->bitmapsChecked;
    SIZE size = {};
    BitmapState state = ReadBitmapSize(path, &size);
    if (state == BitmapState::Loaded) return;
    std::wstring why = state == BitmapState::Missing ? L"user picture missing" : L"user picture not a complete BMP file";
    AddFinding(report, ThemeProblem::Warning, L"WARNING  ", path,
               why + L"; the start menu shows the background instead");
}

void ReportUnloadableSettings(const std::wstring& path, ThemeReport* report)
{
    bool settingsFile = path.size() >= 12 && _wcsicmp(path.c_str() + path.size() - 12, L"settings.cfg") == 0;
    std::wstring sections = settingsFile ? L"[Main], [Taskbar] and [Start]" : L"[Theme], [Taskbar] and [Start]";
    report->findings.push_back({ThemeProblem::SettingsUnloadable, path,
                                L"ERROR    Cannot load CFG: \"" + path + L"\": the file must exist and hold " +
                                    sections + L", each with at least one Key=Value line"});
}

}  // namespace

int CheckTheme(LPCWSTR home, ThemeReport* report, LPCWSTR themeFile)
{
    *report = ThemeReport{};
    std::wstring directory = home;
    while (directory.size() > 1 && directory.back() == L'\\') directory.pop_back();
    if (directory.size() >= SETTING_PATH_CHARS) {
        report->findings.push_back({ThemeProblem::SettingsUnloadable, directory,
                                    L"ERROR    " + directory + L": home directory path longer than 259 characters"});
        return 1;
    }

    static ShellSettings settings;  // too large for the stack of a small tool
    settings = ShellSettings{};
    WCHAR failedPath[SETTING_PATH_CHARS] = L"";
    if (LoadShellSettings(directory.c_str(), &settings, failedPath, themeFile) != 0) {
        ReportUnloadableSettings(failedPath, report);
        return 1;
    }

    report->themeName = settings.themeDirectory;
    for (const RequiredBitmap& bitmap : BitmapsBeforeUserPicture(settings)) CheckThemeBitmap(settings, bitmap, report);
    CheckUserPicture(settings, report);
    for (const RequiredBitmap& bitmap : BitmapsAfterUserPicture(settings)) CheckThemeBitmap(settings, bitmap, report);
    const std::wstring themePath = directory + L"\\settings\\" + (themeFile ? themeFile : settings.mainTheme);
    for (const std::wstring& line : CheckStartMenuLayout(StartMenuLayout(settings), {settings.startWidth, settings.startHeight}))
        AddFinding(report, ThemeProblem::Warning, L"WARNING  ", themePath, line);

    const bool failed = std::any_of(report->findings.begin(), report->findings.end(), [](const ThemeFinding& finding) {
        return finding.kind != ThemeProblem::Warning;
    });
    return failed ? 1 : 0;
}

std::wstring SummarizeThemeReport(const ThemeReport& report)
{
    int problems = 0, warnings = 0;
    for (const ThemeFinding& finding : report.findings) ++(finding.kind == ThemeProblem::Warning ? warnings : problems);
    auto count = [](int n, const std::wstring& noun) { return std::to_wstring(n) + L" " + noun + (n == 1 ? L"" : L"s"); };
    if (report.bitmapsChecked == 0) return L"settings not loaded: no bitmaps checked, " + count(problems, L"problem");
    std::wstring line = L"theme \"" + report.themeName + L"\": " + count(report.bitmapsChecked, L"bitmap") +
                        L" checked, " + count(problems, L"problem");
    if (warnings > 0) line += L", " + count(warnings, L"warning");
    return line;
}
