#include "reference_region.h"

HRGN CreateRunByRunRegion(HDC imageDc, HBITMAP imageBitmap)
{
    BITMAP size = {};
    GetObjectW(imageBitmap, sizeof size, &size);
    const int width = size.bmWidth, height = size.bmHeight;
    HRGN result = CreateRectRgn(0, 0, width, height);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP work = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HDC screen = GetDC(NULL);
    HDC workDc = CreateCompatibleDC(screen);
    ReleaseDC(NULL, screen);
    SelectObject(workDc, work);
    BitBlt(workDc, 0, 0, width, height, imageDc, 0, 0, SRCCOPY);
    GdiFlush();

    const int stride = (32 * width + 31) / 32 * 4;
    for (int row = 0; row < height; ++row) {
        const BYTE* pixels = static_cast<const BYTE*>(bits) + row * stride;
        const int y = height - 1 - row;
        auto keyColored = [pixels](int x) {
            return pixels[4 * x] == 255 && pixels[4 * x + 1] == 0 && pixels[4 * x + 2] == 255;
        };
        for (int x = 0; x < width;) {
            if (!keyColored(x)) {
                ++x;
                continue;
            }
            int start = x;
            while (x < width && keyColored(x)) ++x;
            HRGN run = CreateRectRgn(start, y, x, y + 1);
            CombineRgn(result, result, run, RGN_XOR);
            DeleteObject(run);
        }
    }
    DeleteDC(workDc);
    DeleteObject(work);
    return result;
}
