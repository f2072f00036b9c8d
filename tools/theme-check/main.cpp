// zorv-theme-check: reports every theme bitmap the shell would fail on or copy past the
// edge of, one line each (UTF-8), then a summary. Exit code 0 when the theme is complete
// (warnings allowed), 1 when it is not, 2 for bad usage.
//
//   zorv-theme-check <home-directory>
#include <windows.h>

#include <string>

#include "console_output.h"
#include "gfx/theme_check.h"

enum { EXIT_BAD_USAGE = 2 };

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        WriteUtf8(GetStdHandle(STD_ERROR_HANDLE),
                  L"usage: zorv-theme-check <home-directory>\n"
                  L"  the folder that holds settings\\settings.cfg and theme\\<name>\\\n");
        return EXIT_BAD_USAGE;
    }
    ThemeReport report;
    int result = CheckTheme(argv[1], &report);
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    for (const ThemeFinding& finding : report.findings) WriteUtf8(output, finding.line + L"\n");
    WriteUtf8(output, SummarizeThemeReport(report) + L"\n");
    return result;
}
