#include "gfx/composed_window.h"

#include "core/log.h"
#include "core/window_class.h"
#include "gfx/button_manager.h"

namespace {

// The shell's own words, as people and tests know them; not to be polished.
const WCHAR CREATION_FAILURE[] =
    L"Failed to start Lumaro: Main memory is very low, or resource of Lumaro is not found.";

void LogIfGiven(LPCWSTR text)
{
    if (text) LogError(text);
}

}  // namespace

int CreateComposedWindow(ComposedWindow* window, const ComposedWindowClass& windowClass, HINSTANCE instance,
                         const RECT& place, HWND owner)
{
    if (!RegisterShellWindowClass(instance, windowClass.className, windowClass.procedure)) {
        LogIfGiven(windowClass.registerFailure);
        return 1;
    }
    window->creationFinished = false;
    HWND created = CreateWindowExW(windowClass.exStyle, windowClass.className, windowClass.title, windowClass.style,
                                   place.left, place.top, place.right - place.left, place.bottom - place.top, owner,
                                   NULL, instance, NULL);
    if (!created) {
        LogIfGiven(windowClass.createFailure);
        return 1;
    }
    // A fault inside WM_CREATE is swallowed by the window manager here, and the window
    // comes back half made.
    if (!window->creationFinished) {
        LogError(windowClass.unfinishedFailure);
        return 1;
    }
    UpdateWindow(created);
    return 0;
}

int ComposeWindow(ComposedWindow* window, HWND handle, HINSTANCE instance, const ComposingSteps& steps)
{
    *window->handle = handle;
    window->instance = instance;
    int failed = RunLoggedStep(steps.bufferProgress, steps.buffer, CREATION_FAILURE);
    if (failed && !steps.objectsAfterFailedBuffer) return failed;
    RegisterButtonSurface(handle, window->backBuffer.dc, steps.commandBase, steps.buttonCount);
    failed |= RunLoggedStep(steps.objectsProgress, steps.objects, CREATION_FAILURE);
    return failed;
}

int CreateBackBuffer(ComposedWindow* window, int width, int height)
{
    window->windowDc = GetDC(*window->handle);
    if (!window->windowDc) {
        LogError(L"GetDC Error");
        return 1;
    }
    window->size = SIZE{width, height};
    return CreateMemorySurface(window->windowDc, width, height, &window->backBuffer);
}

void PaintComposedWindow(const ComposedWindow& window, HDC dc)
{
    BitBlt(dc, 0, 0, window.size.cx, window.size.cy, window.backBuffer.dc, 0, 0, SRCCOPY);
}

void HandleComposedPaint(const ComposedWindow& window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(*window.handle, &paint);
    PaintComposedWindow(window, dc);
    EndPaint(*window.handle, &paint);
}
