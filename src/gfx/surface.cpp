#include "gfx/surface.h"

#include <strsafe.h>

#include <vector>

#include "core/log.h"
#include "gfx/gdi_scope.h"
#include "platform/platform.h"

namespace {

const WCHAR SELECT_ERROR[] = L"SelectObject Error - DC:\"0x%08x\" BMP:\"0x%08x\"";

// Builds a region from many rectangles. Combining them one at a time costs time that grows
// with the square of their number, and so does one ExtCreateRegion of all of them: small
// batches become regions, and regions of equal size are merged pairwise, as a binary
// counter carries, so every rectangle takes part in a logarithmic number of merges.
class RegionBuilder {
public:
    RegionBuilder() { rects_.reserve(BATCH); }
    ~RegionBuilder()
    {
        for (HRGN level : levels_)
            if (level) DeleteObject(level);
    }

    void Add(int left, int top, int right, int bottom)
    {
        rects_.push_back(RECT{left, top, right, bottom});
        if (rects_.size() == BATCH) Carry(FlushBatch(), 0);
    }

    // Merges everything into the result.
    void Finish(HRGN result)
    {
        Carry(FlushBatch(), 0);
        for (HRGN& level : levels_) {
            if (!level) continue;
            CombineRgn(result, result, level, RGN_OR);
            DeleteObject(level);
            level = NULL;
        }
    }

private:
    static const size_t BATCH = 16;

    HRGN FlushBatch()
    {
        if (rects_.empty()) return NULL;
        std::vector<BYTE> data(sizeof(RGNDATAHEADER) + rects_.size() * sizeof(RECT));
        RGNDATA* region = reinterpret_cast<RGNDATA*>(data.data());
        region->rdh.dwSize = sizeof(RGNDATAHEADER);
        region->rdh.iType = RDH_RECTANGLES;
        region->rdh.nCount = static_cast<DWORD>(rects_.size());
        region->rdh.nRgnSize = static_cast<DWORD>(rects_.size() * sizeof(RECT));
        region->rdh.rcBound = rects_.front();
        for (const RECT& rect : rects_) UnionRect(&region->rdh.rcBound, &region->rdh.rcBound, &rect);
        memcpy(region->Buffer, rects_.data(), rects_.size() * sizeof(RECT));
        rects_.clear();
        return ExtCreateRegion(NULL, static_cast<DWORD>(data.size()), region);
    }

    // Places a region at a level, merging upwards while the level is taken.
    void Carry(HRGN region, size_t level)
    {
        if (!region) return;
        for (; level < levels_.size() && levels_[level]; ++level) {
            CombineRgn(region, region, levels_[level], RGN_OR);
            DeleteObject(levels_[level]);
            levels_[level] = NULL;
        }
        if (level == levels_.size()) levels_.push_back(NULL);
        levels_[level] = region;
    }

    std::vector<RECT> rects_;
    std::vector<HRGN> levels_;  // level k holds a region of about 2^k batches, or NULL
};

// <themeFolder>\<name>.bmp; false when it does not fit: a path is refused, never cut into
// another file's name.
bool FormatThemeBitmapPath(LPCWSTR themeFolder, LPCWSTR name, WCHAR (&path)[MAX_PATH])
{
    return SUCCEEDED(StringCchPrintfW(path, MAX_PATH, L"%ls\\%ls.bmp", themeFolder, name));
}

bool IsKeyColored(const RGBQUAD& pixel, COLORREF keyColor)
{
    return RGB(pixel.rgbRed, pixel.rgbGreen, pixel.rgbBlue) == keyColor;
}

}  // namespace

int CreateMemorySurface(HDC reference, int width, int height, MemorySurface* surface)
{
    *surface = MemorySurface{};
    HBITMAP bitmap = CreateCompatibleBitmap(reference, width, height);
    if (!bitmap) {
        LogErrorF(L"Cannot Create CompatibleBitmap - DC:\"0x%08x\"", LoggedHandle(reference));
        return 1;
    }
    HDC dc = CreateCompatibleDC(reference);
    if (!dc) {
        LogErrorF(L"Cannot Create CompatibleDC - DC:\"0x%08x\"", LoggedHandle(reference));
        DeleteObject(bitmap);
        return 1;
    }
    if (!SelectObject(dc, bitmap)) {
        LogErrorF(SELECT_ERROR, LoggedHandle(dc), LoggedHandle(bitmap));
        DeleteDC(dc);
        DeleteObject(bitmap);
        return 1;
    }
    *surface = MemorySurface{dc, bitmap};
    return 0;
}

HBITMAP CreatePixelBitmap(HDC reference, int width, int height, void** bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: bottom-up rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(reference, &info, DIB_RGB_COLORS, bits, NULL, 0);
}

void ReleaseMemorySurface(MemorySurface* surface)
{
    if (surface->dc) DeleteDC(surface->dc);
    if (surface->bitmap) DeleteObject(surface->bitmap);
    *surface = MemorySurface{};
}

SIZE SurfaceSize(const MemorySurface& surface)
{
    BITMAP bitmap = {};
    GetObjectW(surface.bitmap, sizeof bitmap, &bitmap);
    return SIZE{bitmap.bmWidth, bitmap.bmHeight};
}

namespace {

// The surface's pixels, as 32-bit values row by row; empty where it cannot be read. The
// device has no GetDIBits: a DIB section of known format is drawn into and read instead.
std::vector<DWORD> SurfacePixels(const MemorySurface& surface)
{
    const SIZE size = SurfaceSize(surface);
    std::vector<DWORD> pixels;
    if (size.cx <= 0 || size.cy <= 0) return pixels;
    void* bits = NULL;
    ScopedGdiObject<HBITMAP> copy(CreatePixelBitmap(surface.dc, size.cx, size.cy, &bits));
    HDC copyDc = copy ? CreateCompatibleDC(surface.dc) : NULL;
    if (copyDc && SelectObject(copyDc, copy)) {
        BitBlt(copyDc, 0, 0, size.cx, size.cy, surface.dc, 0, 0, SRCCOPY);
        FinishPendingDrawing();  // the pixels must be in memory before they are read
        const DWORD* first = static_cast<const DWORD*>(bits);
        pixels.assign(first, first + static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy));
    }
    if (copyDc) DeleteDC(copyDc);
    return pixels;
}

}  // namespace

bool SurfacesLookAlike(const MemorySurface& a, const MemorySurface& b)
{
    const SIZE sizeA = SurfaceSize(a), sizeB = SurfaceSize(b);
    if (sizeA.cx != sizeB.cx || sizeA.cy != sizeB.cy) return false;
    // Pixels that cannot be read are not taken as alike.
    const std::vector<DWORD> pixelsA = SurfacePixels(a);
    return !pixelsA.empty() && pixelsA == SurfacePixels(b);
}

int LoadThemeBitmap(HDC reference, LPCWSTR themeFolder, LPCWSTR name, MemorySurface* surface)
{
    *surface = MemorySurface{};
    WCHAR path[MAX_PATH];
    HBITMAP image = FormatThemeBitmapPath(themeFolder, name, path) ? LoadDIBitmapFile(path) : NULL;
    if (!image) {
        LogErrorF(L"Cannot Load BMP - Path:\"%ls\"", path);
        return 1;
    }
    BITMAP size = {};
    GetObjectW(image, sizeof size, &size);
    if (CreateMemorySurface(reference, size.bmWidth, size.bmHeight, surface) != 0) {
        DeleteObject(image);
        return 1;
    }
    int result = 1;
    HDC imageDc = CreateCompatibleDC(surface->dc);
    if (!imageDc) {
        LogErrorF(L"Cannot Create CompatibleDC - DC:\"0x%08x\"", LoggedHandle(surface->dc));
    } else if (!SelectObject(imageDc, image)) {
        LogErrorF(SELECT_ERROR, LoggedHandle(imageDc), LoggedHandle(image));
    } else {
        // Converted to the device's format here, once.
        BitBlt(surface->dc, 0, 0, size.bmWidth, size.bmHeight, imageDc, 0, 0, SRCCOPY);
        result = 0;
    }
    if (imageDc) DeleteDC(imageDc);
    DeleteObject(image);
    if (result != 0) ReleaseMemorySurface(surface);
    return result;
}

int LoadOptionalThemeBitmap(HDC reference, LPCWSTR themeFolder, LPCWSTR name, MemorySurface* surface)
{
    *surface = MemorySurface{};
    WCHAR path[MAX_PATH];
    const bool absent =
        FormatThemeBitmapPath(themeFolder, name, path) && GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES;
    return absent ? 0 : LoadThemeBitmap(reference, themeFolder, name, surface);
}

void DrawTextInRect(HDC dc, LPCWSTR text, int left, int top, int right, int bottom, UINT format)
{
    RECT rect = {left, top, right, bottom};
    // Desktop Win32 centres vertically only single lines; every text here is one line.
    if (format & DT_VCENTER) format |= DT_SINGLELINE;
    DrawTextW(dc, text, static_cast<int>(wcslen(text)), &rect, format);
}

void DrawFrame(HDC dc, const RECT& rect, COLORREF colour)
{
    // The device has no FrameRect: four one-pixel strips.
    ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(colour));
    const RECT strips[] = {{rect.left, rect.top, rect.right, rect.top + 1},
                           {rect.left, rect.bottom - 1, rect.right, rect.bottom},
                           {rect.left, rect.top + 1, rect.left + 1, rect.bottom - 1},
                           {rect.right - 1, rect.top + 1, rect.right, rect.bottom - 1}};
    for (const RECT& strip : strips) FillRect(dc, &strip, brush);
}

HRGN CreateKeyColorRegion(HDC imageDc, HBITMAP imageBitmap, COLORREF keyColor)
{
    BITMAP size = {};
    GetObjectW(imageBitmap, sizeof size, &size);
    const int width = size.bmWidth, height = size.bmHeight;
    HRGN result = CreateRectRgn(0, 0, 0, 0);

    void* bits = NULL;
    HBITMAP work = CreatePixelBitmap(NULL, width, height, &bits);
    HDC workDc = CreateCompatibleDC(ScopedWindowDc(NULL));
    if (work && workDc && SelectObject(workDc, work)) {
        BitBlt(workDc, 0, 0, width, height, imageDc, 0, 0, SRCCOPY);
        FinishPendingDrawing();  // the pixels must be in memory before they are read
        // Rows of 32-bit pixels need no padding.
        const RGBQUAD* pixels = static_cast<const RGBQUAD*>(bits);
        RegionBuilder builder;
        for (int row = 0; row < height; ++row, pixels += width) {
            const int y = height - 1 - row;
            for (int x = 0; x < width;) {
                if (IsKeyColored(pixels[x], keyColor)) {
                    ++x;
                    continue;
                }
                int start = x;
                while (x < width && !IsKeyColored(pixels[x], keyColor)) ++x;
                builder.Add(start, y, x, y + 1);
            }
        }
        builder.Finish(result);
    }
    if (workDc) DeleteDC(workDc);
    if (work) DeleteObject(work);
    return result;
}
