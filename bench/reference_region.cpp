#include "reference_region.h"

#include "pixel_image.h"

HRGN CreateRunByRunRegion(HDC imageDc, HBITMAP imageBitmap)
{
    BITMAP size = {};
    GetObjectW(imageBitmap, sizeof size, &size);
    const int width = size.bmWidth, height = size.bmHeight;
    PixelImage copy(width, height);
    BitBlt(copy.dc(), 0, 0, width, height, imageDc, 0, 0, SRCCOPY);
    GdiFlush();
    HRGN result = CreateRectRgn(0, 0, width, height);
    for (int y = height - 1; y >= 0; --y) {  // bottom row first, as the shell did
        for (int x = 0; x < width;) {
            if (!copy.IsKeyColored(x, y)) {
                ++x;
                continue;
            }
            int start = x;
            while (x < width && copy.IsKeyColored(x, y)) ++x;
            HRGN run = CreateRectRgn(start, y, x, y + 1);
            CombineRgn(result, result, run, RGN_XOR);
            DeleteObject(run);
        }
    }
    return result;
}
