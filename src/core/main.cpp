#include <windows.h>

#include "core/shell.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    return RunShell(instance);
}
