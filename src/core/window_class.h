// The window classes of the shell's windows: redrawn whole when resized, no icon, cursor,
// background brush or menu (every window paints all of itself from its back buffer).
#pragma once
#include <windows.h>

inline ATOM RegisterShellWindowClass(HINSTANCE instance, LPCWSTR name, WNDPROC procedure)
{
    WNDCLASSW windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = name;
    return RegisterClassW(&windowClass);
}
