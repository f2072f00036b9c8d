// The skeleton of the shell's composed windows, the taskbar and the start menu: a popup
// whose WM_CREATE composes its whole picture once in a back buffer, in logged steps whose
// failure is fatal, and which paints from that buffer.
#pragma once
#include <windows.h>

#include "gfx/surface.h"

struct ComposedWindow {
    HWND* handle;                  // the module's handle of the window, set as composing begins
    HINSTANCE instance = NULL;     // of the window, for its string resources
    bool creationFinished = false; // WM_CREATE ran to its end
    HDC windowDc = NULL;           // reference DC of the back buffer, kept for the window's life
    MemorySurface backBuffer = {}; // the whole window's picture
    SIZE size = {};                // of the back buffer
};

// How the window is made. A null failure text leaves that failure unlogged.
struct ComposedWindowClass {
    LPCWSTR className, title;
    DWORD exStyle, style;
    WNDPROC procedure;
    LPCWSTR registerFailure, createFailure;
    LPCWSTR unfinishedFailure;  // WM_CREATE did not run to its end
};

// The two composing steps, each logged with its progress text and "[OK]" or "[NG]" and the
// fatal error; the back buffer is registered as the window's buttons in between.
struct ComposingSteps {
    LPCWSTR bufferProgress;
    int (*buffer)();  // makes the back buffer (CreateBackBuffer) and what it is made from
    LPCWSTR objectsProgress;
    int (*objects)();
    int commandBase, buttonCount;
    bool objectsAfterFailedBuffer;  // the objects step runs even when the buffer step failed
};

// Registers the class and creates the window, hidden, whose WM_CREATE composes it (and sets
// creationFinished at its end); then draws it. 1 when the class, the window or its creation
// failed.
int CreateComposedWindow(ComposedWindow* window, const ComposedWindowClass& windowClass, HINSTANCE instance,
                         const RECT& place, HWND owner);

// Composes the window with the steps; 1 when a step failed (logged, and the fatal error
// raised).
int ComposeWindow(ComposedWindow* window, HWND handle, HINSTANCE instance, const ComposingSteps& steps);

// The back buffer of the given size for the window, and the reference DC it is made for; 1
// (logged) when either cannot be made.
int CreateBackBuffer(ComposedWindow* window, int width, int height);

// Copies the whole back buffer to the DC.
void PaintComposedWindow(const ComposedWindow& window, HDC dc);
// WM_PAINT: the window painted from its back buffer.
void HandleComposedPaint(const ComposedWindow& window);
