// Drawing toolkit rows: the start menu's key-colour shape, and the worst shape a theme can
// ask for, each beside one BitBlt of its image; the load of the whole theme beside the plain
// Win32 load of the same files.
#include <windows.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "bench_support.h"
#include "config/shell_settings.h"
#include "gfx/surface.h"
#include "theme/theme_parts.h"

namespace {

const int SHAPES = 25;
const int THEME_LOADS = 9;

// The key-colour region of the image beside one BitBlt of it into a surface of the screen's
// format, as the shell copies its images.
void CompareRegionWithBlit(const char* figure, const char* floor, const MemorySurface& image, Goal goal)
{
    BITMAP size = {};
    GetObjectW(image.bitmap, sizeof size, &size);
    MemorySurface target;
    if (CreateMemorySurface(image.dc, size.bmWidth, size.bmHeight, &target) != 0) {
        fprintf(stderr, "no surface for the row \"%s\"\n", figure);
        return;
    }
    Figures figures = TimeInTurns(SHAPES, [&] { DeleteObject(CreateKeyColorRegion(image.dc, image.bitmap, KEY_COLOR)); }, [&] {
        BitBlt(target.dc, 0, 0, size.bmWidth, size.bmHeight, image.dc, 0, 0, SRCCOPY);
        GdiFlush();
    });
    PrintRow(figure, floor, figures, "ms", goal);
    ReleaseMemorySurface(&target);
}

// Cells of one pixel, alternately key colour and opaque: a run of key colour for every
// other pixel, the most rectangles a shape can have. Drawn with a 2 x 2 pattern whose 0
// bits take the text colour.
int DrawCheckerboard(HDC screen, int width, int height, MemorySurface* image)
{
    if (CreateMemorySurface(screen, width, height, image) != 0) return 1;
    const BYTE rows[] = {0x40, 0, 0x80, 0};  // 01, 10 in rows of two bytes: key colour at the top left
    HBITMAP pattern = CreateBitmap(2, 2, 1, 1, rows);
    HBRUSH brush = CreatePatternBrush(pattern);
    SetTextColor(image->dc, KEY_COLOR);
    SetBkColor(image->dc, RGB(48, 96, 144));
    RECT all = {0, 0, width, height};
    FillRect(image->dc, &all, brush);
    DeleteObject(brush);
    DeleteObject(pattern);
    return 0;
}

// The names of every bitmap in the theme folder, without ".bmp".
std::vector<std::wstring> ThemeBitmapNames()
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((std::wstring(Settings.themeFolder) + L"\\*.bmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = found.cFileName;
        names.push_back(name.substr(0, name.size() - 4));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

void CompareThemeLoad(HDC screen)
{
    const std::vector<std::wstring> names = ThemeBitmapNames();
    std::vector<MemorySurface> surfaces(names.size());
    Figures figures = TimeInTurns(THEME_LOADS, [&] {
        for (size_t i = 0; i < names.size(); ++i)
            LoadThemeBitmap(screen, Settings.themeFolder, names[i].c_str(), &surfaces[i]);
        for (MemorySurface& surface : surfaces) ReleaseMemorySurface(&surface);
    }, [&] {
        for (const std::wstring& name : names) {
            const std::wstring path = std::wstring(Settings.themeFolder) + L"\\" + name + L".bmp";
            DeleteObject(LoadImageW(NULL, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
        }
    });
    PrintRow("theme load, " + std::to_string(names.size()) + " bitmaps", "LoadImageW of the same files", figures, "ms");
}

}  // namespace

int BenchShapesAndTheme()
{
    HDC screen = GetDC(NULL);
    MemorySurface startBack, checkerboard;
    int result = LoadThemeBitmap(screen, Settings.themeFolder, L"STARTBACK", &startBack);
    if (result == 0) {
        CompareRegionWithBlit("STARTBACK key-colour region", "one BitBlt of STARTBACK", startBack, {});
        ReleaseMemorySurface(&startBack);
    }
    if (DrawCheckerboard(screen, 400, 390, &checkerboard) == 0) {
        CompareRegionWithBlit("key-colour region, 1-pixel checkerboard", "one BitBlt of the 400 x 390 checkerboard",
                              checkerboard, Under(100));
        ReleaseMemorySurface(&checkerboard);
    }
    CompareThemeLoad(screen);
    ReleaseDC(NULL, screen);
    if (result != 0) fprintf(stderr, "cannot load STARTBACK from %ls\n", Settings.themeFolder);
    return result;
}
