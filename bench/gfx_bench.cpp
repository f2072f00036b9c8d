// Drawing toolkit figures: key-colour regions against the run-by-run construction and one
// BitBlt of the same image, and the load of the whole default theme.
//
// Usage: zorv_bench_gfx [<folder of the default theme, as Wine sees it>]
#include <windows.h>

#include <stdio.h>
#include <strsafe.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "bench_support.h"
#include "config/shell_settings.h"
#include "gfx/surface.h"
#include "pixel_image.h"
#include "platform/platform.h"
#include "reference_region.h"

namespace {

WCHAR themeFolder[MAX_PATH];  // the Lagoon theme's bitmaps

const int MAX_REPETITIONS = 9;
const double ENOUGH_MS = 2000;  // a slow step is repeated only until this much time is spent

// Every bitmap the shell loads from its theme.
const LPCWSTR THEME_BITMAPS[] = {
    L"TASKBAR", L"STARTBUTTONU", L"STARTBUTTOND", L"TASKBARCLK", L"TBTNU0",       L"TBTNU1",       L"TBTNU2",
    L"TBTND0",  L"TBTND1",       L"TBTND2",       L"STARTBACK",  L"SIDE0U",       L"SIDE1U",       L"SIDE2U",
    L"SIDE3U",  L"SIDE4U",       L"SIDE5U",       L"SIDE6U",     L"SIDE7U",       L"SIDE0D",       L"SIDE1D",
    L"SIDE2D",  L"SIDE3D",       L"SIDE4D",       L"SIDE5D",     L"SIDE6D",       L"SIDE7D",       L"EXITBTNU",
    L"EXITBTND", L"ALLPROGRAMSU", L"ALLPROGRAMSD", L"MAINU",     L"MAIND",
};
const int THEME_BITMAP_COUNT = sizeof THEME_BITMAPS / sizeof THEME_BITMAPS[0];

struct Figure {
    double medianMs;
};

Figure Measure(const std::function<void()>& step) { return Figure{MedianMs(step, MAX_REPETITIONS, ENOUGH_MS)}; }

void PrintFigure(const char* what, const Figure& figure)
{
    printf("  %-34s %10.3f ms  (median)\n", what, figure.medianMs);
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

struct ImageCounts {
    int magentaRuns;
    int rectangles;  // in the region made by CreateKeyColorRegion
};

ImageCounts CountImage(HDC dc, HBITMAP bitmap, int width, int height)
{
    PixelImage copy(width, height);
    BitBlt(copy.dc(), 0, 0, width, height, dc, 0, 0, SRCCOPY);
    GdiFlush();
    ImageCounts counts = {};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (copy.IsKeyColored(x, y) && (x == 0 || !copy.IsKeyColored(x - 1, y))) ++counts.magentaRuns;
    HRGN region = CreateKeyColorRegion(dc, bitmap);
    counts.rectangles = static_cast<int>((GetRegionData(region, 0, NULL) - sizeof(RGNDATAHEADER)) / sizeof(RECT));
    DeleteObject(region);
    return counts;
}

// Prints the three figures of one image; the goals are checked only where given (> 0).
void CompareRegions(const char* title, HDC dc, HBITMAP bitmap, double minSpeedup, double maxMs)
{
    BITMAP size = {};
    GetObjectW(bitmap, sizeof size, &size);
    const int width = size.bmWidth, height = size.bmHeight;
    ImageCounts counts = CountImage(dc, bitmap, width, height);
    printf("%s: %dx%d, %d runs of magenta, %d rectangles in the region\n", title, width, height, counts.magentaRuns,
           counts.rectangles);

    Figure batched = Measure([&] { DeleteObject(CreateKeyColorRegion(dc, bitmap)); });
    PrintFigure("CreateKeyColorRegion", batched);
    Figure runByRun = Measure([&] { DeleteObject(CreateRunByRunRegion(dc, bitmap)); });
    PrintFigure("run-by-run CombineRgn (reference)", runByRun);
    PixelImage target(width, height);
    Figure blit = Measure([&] {
        BitBlt(target.dc(), 0, 0, width, height, dc, 0, 0, SRCCOPY);
        GdiFlush();
    });
    PrintFigure("one BitBlt of the image", blit);

    HRGN region = CreateKeyColorRegion(dc, bitmap);
    HRGN reference = CreateRunByRunRegion(dc, bitmap);
    printf("  same region as run by run: %s\n", EqualRgn(region, reference) ? "yes" : "NO");
    DeleteObject(region);
    DeleteObject(reference);

    double speedup = runByRun.medianMs / batched.medianMs;
    printf("  run by run / CreateKeyColorRegion: %.1fx", speedup);
    if (minSpeedup > 0) printf("   goal at least %.0fx: %s", minSpeedup, Verdict(speedup >= minSpeedup));
    printf("\n  CreateKeyColorRegion / BitBlt: %.1fx\n", batched.medianMs / blit.medianMs);
    if (maxMs > 0)
        printf("  goal CreateKeyColorRegion under %.0f ms: %s\n", maxMs, Verdict(batched.medianMs < maxMs));
    printf("\n");
}

int BenchStartMenuShape(HDC screen)
{
    MemorySurface back, image;
    if (CreateMemorySurface(screen, 400, 390, &back) != 0 || LoadThemeBitmap(back.dc, themeFolder, L"STARTBACK", &image) != 0) {
        printf("cannot load STARTBACK from %ls\n", themeFolder);
        return 1;
    }
    CompareRegions("Start menu shape, STARTBACK", image.dc, image.bitmap, 5, 0);
    ReleaseMemorySurface(&image);
    ReleaseMemorySurface(&back);
    return 0;
}

void BenchCheckerboard(int cell)
{
    PixelImage image(400, 390);
    DrawCheckerboard(image, cell);
    char title[64];
    StringCchPrintfA(title, sizeof title, "Checkerboard of %d-pixel cells", cell);
    CompareRegions(title, image.dc(), image.bitmap(), 0, 100);
}

int BenchThemeLoad(HDC screen)
{
    MemorySurface back;
    if (CreateMemorySurface(screen, 800, 480, &back) != 0) return 1;
    std::vector<MemorySurface> surfaces(THEME_BITMAP_COUNT);
    for (int i = 0; i < THEME_BITMAP_COUNT; ++i)
        if (LoadThemeBitmap(back.dc, themeFolder, THEME_BITMAPS[i], &surfaces[i]) != 0) {
            printf("cannot load %ls from %ls\n", THEME_BITMAPS[i], themeFolder);
            return 1;
        }
    for (MemorySurface& surface : surfaces) ReleaseMemorySurface(&surface);
    printf("Default theme: %d bitmaps\n", THEME_BITMAP_COUNT);

    Figure load = Measure([&] {
        for (int i = 0; i < THEME_BITMAP_COUNT; ++i) LoadThemeBitmap(back.dc, themeFolder, THEME_BITMAPS[i], &surfaces[i]);
        for (MemorySurface& surface : surfaces) ReleaseMemorySurface(&surface);
    });
    PrintFigure("LoadThemeBitmap of each", load);
    Figure files = Measure([&] {
        for (LPCWSTR name : THEME_BITMAPS) {
            WCHAR path[MAX_PATH];
            StringCchPrintfW(path, MAX_PATH, L"%ls\\%ls.bmp", themeFolder, name);
            DeleteObject(LoadDIBitmapFile(path));
        }
    });
    PrintFigure("the files alone (LoadDIBitmapFile)", files);
    for (int i = 0; i < THEME_BITMAP_COUNT; ++i) LoadThemeBitmap(back.dc, themeFolder, THEME_BITMAPS[i], &surfaces[i]);
    Figure blits = Measure([&] {
        for (MemorySurface& surface : surfaces) {
            BITMAP size = {};
            GetObjectW(surface.bitmap, sizeof size, &size);
            BitBlt(back.dc, 0, 0, size.bmWidth, size.bmHeight, surface.dc, 0, 0, SRCCOPY);
        }
        GdiFlush();
    });
    PrintFigure("one BitBlt of each, once loaded", blits);
    for (MemorySurface& surface : surfaces) ReleaseMemorySurface(&surface);
    ReleaseMemorySurface(&back);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    setvbuf(stdout, NULL, _IONBF, 0);
    if (argc > 1) {
        StringCchPrintfW(themeFolder, MAX_PATH, L"%ls\\theme\\Lagoon", argv[1]);
    } else {
        StringCchPrintfW(themeFolder, MAX_PATH, L"Z:%hs\\themes\\default\\theme\\Lagoon", ZORV_SOURCE_DIR);
        for (WCHAR* c = themeFolder; *c; ++c)
            if (*c == L'/') *c = L'\\';
    }
    printf("Theme folder: %ls\n", themeFolder);
    printf("Medians of up to %d repetitions; a slow step stops repeating after %.0f s.\n\n", MAX_REPETITIONS,
           ENOUGH_MS / 1000);

    HDC screen = GetDC(NULL);
    int result = BenchStartMenuShape(screen);
    if (result == 0) {
        BenchCheckerboard(2);
        BenchCheckerboard(1);
        result = BenchThemeLoad(screen);
    }
    ReleaseDC(NULL, screen);
    return result;
}
