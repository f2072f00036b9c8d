// Every performance figure of the shell in one table, each beside its floor measured in the
// same run. It prints figures and asserts nothing.
//
// Usage: zorv_bench [<home directory of the default theme, as Wine sees it>]
#include <windows.h>

#include <stdio.h>

#include <string>

#include "bench_support.h"
#include "config/shell_settings.h"

int wmain(int argc, wchar_t** argv)
{
    setvbuf(stdout, NULL, _IONBF, 0);
    const std::wstring theme = argc > 1 ? argv[1] : L"themes\\default";
    if (LoadShellSettings(theme.c_str(), &Settings) != 0) {
        fprintf(stderr, "cannot read the settings in %ls\n", theme.c_str());
        return 1;
    }
    PrintTableHeader();
    BenchFade();
    int failed = BenchShapesAndTheme();
    failed |= BenchStartup(theme);
    failed |= BenchSettings(theme);
    failed |= BenchAllPrograms();  // before the taskbar of the ticks, whose timer would run in the popup's loop
    failed |= BenchRunDialog();
    failed |= BenchMenuKey(theme);
    failed |= BenchFullScreen(theme);
    failed |= BenchTicks();
    failed |= BenchIdleShell(theme);
    failed |= BenchMemory(theme);
    return failed;
}
