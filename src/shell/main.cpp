#include <windows.h>

#include "shell/shell.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    return RunShell(instance);
}
