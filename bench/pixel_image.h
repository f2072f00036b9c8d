// Synthetic images for the drawing toolkit's benchmark: a 32-bit top-down DIB
// section selected into a DC of its own, its pixels written and read directly.
#pragma once
#include <windows.h>

// Pixels as they lie in memory: 0xXXRRGGBB, the top byte unused by GDI.
const DWORD MAGENTA_PIXEL = 0x00FF00FF;

class PixelImage {
public:
    PixelImage(int width, int height, DWORD fill = 0);
    ~PixelImage();
    PixelImage(const PixelImage&) = delete;
    PixelImage& operator=(const PixelImage&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    // Call GdiFlush first when GDI has drawn into the image.
    DWORD& at(int x, int y) { return pixels_[y * width_ + x]; }
    bool IsKeyColored(int x, int y) const { return (pixels_[y * width_ + x] & 0x00FFFFFF) == MAGENTA_PIXEL; }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    DWORD* pixels_;
};

// Square cells of the given size, alternately magenta and opaque, magenta at the top left.
void DrawCheckerboard(PixelImage& image, int cell);
