#include "pixel_image.h"

PixelImage::PixelImage(int width, int height, DWORD fill) : width_(width), height_(height)
{
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};  // top-down
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    pixels_ = static_cast<DWORD*>(bits);
    dc_ = CreateCompatibleDC(NULL);
    SelectObject(dc_, bitmap_);
    for (int i = 0; i < width * height; ++i) pixels_[i] = fill;
}

PixelImage::~PixelImage()
{
    DeleteDC(dc_);
    DeleteObject(bitmap_);
}

void DrawCheckerboard(PixelImage& image, int cell)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.at(x, y) = (x / cell + y / cell) % 2 == 0 ? MAGENTA_PIXEL : 0x00306090;
}
