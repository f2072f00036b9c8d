// zorv-theme-check: reports every theme bitmap the shell would fail on or copy past the
// edge of, one line each (UTF-8), then a summary. Exit code 0 when the theme is complete
// (warnings allowed), 1 when it is not, 2 for bad usage.
//
//   zorv-theme-check <home-directory>
//   zorv-theme-check <theme-file>     a theme where it stands, with the bundled settings.cfg
#include <windows.h>

#include <string>

#include "console_output.h"
#include "theme/theme_check.h"
#include "theme_argument.h"

enum { EXIT_BAD_USAGE = 2 };

int wmain(int argc, wchar_t** argv)
{
    HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
    if (argc != 2) {
        WriteUtf8(errors, L"usage: zorv-theme-check <home-directory> | <theme-file>\n"
                          L"  a home holds settings\\settings.cfg and theme\\<name>\\; a theme file\n"
                          L"  (<folder>\\settings\\<name>.theme, bitmaps in <folder>\\theme\\<name>\\) is\n"
                          L"  checked where it stands with the bundled settings.cfg\n");
        return EXIT_BAD_USAGE;
    }
    ThemeArgument theme;
    std::wstring error;
    if (theme.Read(argv[1], &error) != 0) {
        WriteUtf8(errors, L"zorv-theme-check: " + error + L"\n");
        return EXIT_BAD_USAGE;
    }
    ThemeReport report;
    int result = CheckTheme(theme.files(), &report);
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    for (const ThemeFinding& finding : report.findings) WriteUtf8(output, finding.line + L"\n");
    WriteUtf8(output, SummarizeThemeReport(report) + L"\n");
    return result;
}
