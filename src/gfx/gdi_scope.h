// Scope guards for GDI state that lives for one drawing step: a window's DC, an object made
// for the step, and an object selected into a DC. Each is released, or the DC's previous
// object put back, however the step ends, so that no path can forget it. A selection is
// declared after the object it selects, so that it is undone before the object goes.
#pragma once
#include <windows.h>

class ScopedWindowDc {
public:
    explicit ScopedWindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~ScopedWindowDc()
    {
        if (dc_) ReleaseDC(window_, dc_);
    }
    ScopedWindowDc(const ScopedWindowDc&) = delete;
    ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;
    operator HDC() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

template <typename Object>
class ScopedGdiObject {
public:
    explicit ScopedGdiObject(Object object) : object_(object) {}
    ~ScopedGdiObject()
    {
        if (object_) DeleteObject(object_);
    }
    ScopedGdiObject(const ScopedGdiObject&) = delete;
    ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
    operator Object() const { return object_; }

private:
    Object object_;
};

class ScopedSelection {
public:
    ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~ScopedSelection()
    {
        if (previous_) SelectObject(dc_, previous_);
    }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};
