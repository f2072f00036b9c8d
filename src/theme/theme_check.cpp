#include "theme/theme_check.h"

#include <algorithm>
#include <cstdlib>

#include "config/shell_settings.h"
#include "platform/platform.h"
#include "theme/start_menu_layout.h"
#include "theme/theme_parts.h"

namespace {

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

void CheckThemeBitmap(const ShellSettings& settings, const ThemePart& part, ThemeReport* report)
{
    const std::wstring path = std::wstring(settings.themeFolder) + L"\\" + part.name + L".bmp";
    const SIZE least = part.size(settings);
    const std::wstring needed = Dimensions(least.cx, least.cy);
    ++report->bitmapsChecked;
    SIZE size = {};
    switch (ReadBitmapSize(path, &size)) {
    case BitmapState::Missing:
        if (!part.required) return;  // the shell draws without it
        AddFinding(report, ThemeProblem::Missing, L"MISSING  ", path, L"needs a BMP of at least " + needed);
        return;
    case BitmapState::TooLong:
        AddFinding(report, ThemeProblem::Unreadable, L"UNREADABLE ", path, L"path longer than the shell's 259 characters");
        return;
    case BitmapState::Unreadable:
        AddFinding(report, ThemeProblem::Unreadable, L"UNREADABLE ", path, L"not a complete BMP file");
        return;
    case BitmapState::Loaded:
        if (size.cx < least.cx || size.cy < least.cy)
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

// The notification area's keys: icons that reach outside the bar or overlap one another.
std::vector<std::wstring> CheckNotifyAreaLayout(const ShellSettings& s)
{
    std::vector<std::wstring> lines;
    const int size = s.taskbarNotifyIconSize, y = s.taskbarNotifyIconY;
    const std::wstring icons = L"Taskbar.NotifyIconY " + std::to_wstring(y) + L", NotifyIconSize " + std::to_wstring(size);
    if (size < 1)
        lines.push_back(L"Taskbar.NotifyIconSize " + std::to_wstring(size) + L": the icons have no area");
    else if (y < 0 || y + size > s.taskbarHeight)
        lines.push_back(icons + L": the icons reach outside the bar of height " + std::to_wstring(s.taskbarHeight));
    if (size >= 1 && s.taskbarNotifyIconStep < size)
        lines.push_back(L"Taskbar.NotifyIconStep " + std::to_wstring(s.taskbarNotifyIconStep) +
                        L": the icons overlap, being " + std::to_wstring(size) + L" wide");
    return lines;
}

void ReportUnloadableSettings(const std::wstring& path, ThemeReport* report)
{
    const size_t nameLength = ARRAYSIZE(SHELL_SETTINGS_FILE) - 1;
    const bool settingsFile =
        path.size() >= nameLength && _wcsicmp(path.c_str() + path.size() - nameLength, SHELL_SETTINGS_FILE) == 0;
    std::wstring sections = settingsFile ? L"[Main], [Taskbar] and [Start]" : L"[Theme], [Taskbar] and [Start]";
    report->findings.push_back({ThemeProblem::SettingsUnloadable, path,
                                L"ERROR    Cannot load CFG: \"" + path + L"\": the file must exist and hold " +
                                    sections + L", each with at least one Key=Value line"});
}

}  // namespace

int CheckTheme(const SettingsFiles& files, ThemeReport* report)
{
    *report = ThemeReport{};
    std::wstring directory = files.home;
    while (directory.size() > 1 && directory.back() == L'\\') directory.pop_back();
    if (directory.size() >= SETTING_PATH_CHARS) {
        report->findings.push_back({ThemeProblem::SettingsUnloadable, directory,
                                    L"ERROR    " + directory + L": home directory path longer than 259 characters"});
        return 1;
    }

    static ShellSettings settings;  // too large for the stack of a small tool
    settings = ShellSettings{};
    WCHAR failedPath[SETTING_PATH_CHARS] = L"";
    SettingsFiles trimmed = files;
    trimmed.home = directory.c_str();
    if (LoadShellSettings(trimmed, &settings, failedPath) != 0) {
        ReportUnloadableSettings(failedPath, report);
        return 1;
    }

    report->themeName = settings.themeDirectory;
    for (const ThemePart& part : THEME_PARTS) {
        if (part.name)
            CheckThemeBitmap(settings, part, report);
        else
            CheckUserPicture(settings, report);
    }
    for (const std::wstring& line : CheckNotifyAreaLayout(settings))
        AddFinding(report, ThemeProblem::Warning, L"WARNING  ", settings.themePath, line);
    const SIZE menu = {settings.startWidth, settings.startHeight};
    for (const std::wstring& line : CheckStartMenuLayout(StartMenuLayout(settings), menu))
        AddFinding(report, ThemeProblem::Warning, L"WARNING  ", settings.themePath, line);

    const bool failed = std::any_of(report->findings.begin(), report->findings.end(), [](const ThemeFinding& finding) {
        return finding.kind != ThemeProblem::Warning;
    });
    return failed ? 1 : 0;
}

int CheckTheme(LPCWSTR home, ThemeReport* report, LPCWSTR themeFile)
{
    SettingsFiles files = {home};
    WCHAR themePath[SETTING_PATH_CHARS];
    if (themeFile) {
        FormatSettingsPath(home, themeFile, themePath);  // one that does not fit names no file
        files.themePath = themePath;
    }
    return CheckTheme(files, report);
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
