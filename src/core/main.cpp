#include <windows.h>

#include "core/shell.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int)
{
    return RunShell(instance, commandLine);
}
