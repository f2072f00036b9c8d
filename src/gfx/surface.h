// Drawing toolkit: off-screen surfaces, theme bitmaps, text in rectangles and window
// shapes cut by the key colour.
#pragma once
#include <windows.h>

// A memory DC with a bitmap selected into it for its whole life.
struct MemorySurface {
    HDC dc;
    HBITMAP bitmap;
};

// An empty surface of the reference DC's format; 1 (logged) on failure, with nothing made.
int CreateMemorySurface(HDC reference, int width, int height, MemorySurface* surface);
// The theme bitmap <themeFolder>\<name>.bmp in a surface of its own size; 1 (logged) on
// failure, with nothing made.
int LoadThemeBitmap(HDC reference, LPCWSTR themeFolder, LPCWSTR name, MemorySurface* surface);
// The same for a bitmap the theme may leave out: without its file the surface stays empty,
// which is no failure; a file that is there must load.
int LoadOptionalThemeBitmap(HDC reference, LPCWSTR themeFolder, LPCWSTR name, MemorySurface* surface);
// A 32-bit DIB section with bottom-up rows, whose pixels the caller reads and writes
// through bits; NULL on failure.
HBITMAP CreatePixelBitmap(HDC reference, int width, int height, void** bits);
// Deletes the DC, then the bitmap; leaves the surface empty.
void ReleaseMemorySurface(MemorySurface* surface);
// The size of the surface's bitmap.
SIZE SurfaceSize(const MemorySurface& surface);
// Whether both surfaces are of one size and show the same pixels; false where either
// cannot be read.
bool SurfacesLookAlike(const MemorySurface& a, const MemorySurface& b);

// Draws the whole text into the rectangle with the DC's font, colour and mode; with
// DT_VCENTER as one line centred vertically.
void DrawTextInRect(HDC dc, LPCWSTR text, int left, int top, int right, int bottom, UINT format);
// A frame one pixel wide just inside the rectangle.
void DrawFrame(HDC dc, const RECT& rect, COLORREF colour);

// A region of every pixel of the image that is not the key colour, in the image's
// coordinates. The caller owns it.
HRGN CreateKeyColorRegion(HDC imageDc, HBITMAP imageBitmap, COLORREF keyColor);
