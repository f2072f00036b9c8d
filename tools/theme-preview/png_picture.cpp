#include "png_picture.h"

// GDI+ needs COM's declarations, which the lean Windows headers leave out.
#include <objidl.h>
#include <gdiplus.h>

#include <vector>

#include "exitscreen/fade.h"

namespace {

ULONG_PTR gdiplusToken;

// GDI+ names its encoders by class id only; PNG's is found by its type.
bool FindPngEncoder(CLSID* encoder)
{
    UINT count = 0, bytes = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return false;
    std::vector<BYTE> buffer(bytes);
    Gdiplus::ImageCodecInfo* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(codecs[i].MimeType, L"image/png") != 0) continue;
        *encoder = codecs[i].Clsid;
        return true;
    }
    return false;
}

// The rows of a 32-bit picture are the exit screen's pixels: blue, green, red, one unused byte.
bool FadePicture(Gdiplus::Bitmap& picture, int level)
{
    Gdiplus::Rect whole(0, 0, static_cast<INT>(picture.GetWidth()), static_cast<INT>(picture.GetHeight()));
    Gdiplus::BitmapData pixels;
    if (picture.LockBits(&whole, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite, PixelFormat32bppRGB,
                         &pixels) != Gdiplus::Ok)
        return false;
    for (int row = 0; row < static_cast<int>(pixels.Height); ++row)
        FadePixels(reinterpret_cast<uint32_t*>(static_cast<BYTE*>(pixels.Scan0) + static_cast<ptrdiff_t>(row) * pixels.Stride),
                   pixels.Width, level);
    return picture.UnlockBits(&pixels) == Gdiplus::Ok;
}

}  // namespace

int StartPictures()
{
    Gdiplus::GdiplusStartupInput input;
    return Gdiplus::GdiplusStartup(&gdiplusToken, &input, NULL) == Gdiplus::Ok ? 0 : 1;
}

void StopPictures() { Gdiplus::GdiplusShutdown(gdiplusToken); }

int WritePicture(LPCWSTR path, SIZE size, ScenePainter paint, int fadeLevel)
{
    CLSID png;
    if (!FindPngEncoder(&png)) return 1;
    Gdiplus::Bitmap picture(size.cx, size.cy, PixelFormat32bppRGB);
    {
        Gdiplus::Graphics graphics(&picture);
        HDC dc = graphics.GetHDC();
        if (!dc) return 1;
        paint(dc);
        graphics.ReleaseHDC(dc);
    }
    if (!FadePicture(picture, fadeLevel)) return 1;
    return picture.Save(path, &png, NULL) == Gdiplus::Ok ? 0 : 1;
}
