// zorv-theme-preview: draws what the shell will show with a home directory's settings and
// theme, with the shell's own drawing code, into PNG files. The shell is not started, no
// window is shown and nothing in the home directory is changed.
//
//   zorv-theme-preview <home-directory>|<theme-file> <output-folder> [--size=WIDTHxHEIGHT]
//
// A theme file is drawn where it stands, with the bundled settings.cfg (zorv-theme-check
// says where its bitmaps go).
// Writes taskbar.png, startmenu.png, layout.png (the menu's items outlined and named as in
// the theme file), battery.png (the battery's faces) and exitscreen-2.png to
// exitscreen-10.png (the exit screen's fade at each of its steps) for a screen of 800 x 480
// or the given size. Exit
// code 0 when all are written, 1 when the shell would not start with the home directory or
// a picture cannot be written, 2 for bad usage.
#include <windows.h>

#include <string>
#include <vector>

#include "console_output.h"
#include "core/log.h"
#include "exitscreen/fade.h"
#include "png_picture.h"
#include "preview_scene.h"
#include "theme_argument.h"

namespace {

enum { EXIT_FAILED = 1, EXIT_BAD_USAGE = 2, MAX_SCREEN_SIDE = 8192, FADE_SHOWN_STEP = 2 };

const SIZE DEVICE_SCREEN = {800, 480};

void WriteError(const std::wstring& text) { WriteUtf8(GetStdHandle(STD_ERROR_HANDLE), text + L"\n"); }

// "--size=640x480"; false for anything else.
bool ParseSize(const std::wstring& argument, SIZE* size)
{
    const std::wstring prefix = L"--size=";
    if (argument.compare(0, prefix.size(), prefix) != 0) return false;
    wchar_t* end = NULL;
    size->cx = wcstol(argument.c_str() + prefix.size(), &end, 10);
    if (*end != L'x') return false;
    size->cy = wcstol(end + 1, &end, 10);
    return *end == L'\0' && size->cx > 0 && size->cy > 0 && size->cx <= MAX_SCREEN_SIDE && size->cy <= MAX_SCREEN_SIDE;
}


// Pictures never go into the home directory, which is copied to the device as it is.
bool IsWithin(const std::wstring& path, const std::wstring& folder)
{
    return path.size() >= folder.size() && _wcsnicmp(path.c_str(), folder.c_str(), folder.size()) == 0 &&
           (path.size() == folder.size() || path[folder.size()] == L'\\');
}

int WritePictures(const std::wstring& folder, SIZE screen)
{
    if (!CreateDirectoryW(folder.c_str(), NULL) && GetLastError() != ERROR_ALREADY_EXISTS) {
        WriteError(L"zorv-theme-preview: cannot create the folder " + folder);
        return EXIT_FAILED;
    }
    struct Picture {
        std::wstring name;
        SIZE size;
        ScenePainter paint;
        int fadeLevel;
    };
    std::vector<Picture> pictures = {{L"taskbar.png", TaskbarSceneSize(), PaintTaskbarScene, 0},
                                     {L"startmenu.png", screen, PaintStartMenuScene, 0},
                                     {L"layout.png", LayoutSceneSize(), PaintLayoutScene, 0},
                                     {L"battery.png", BatterySceneSize(), PaintBatteryScene, 0}};
    for (int level = FADE_SHOWN_STEP; level <= FADE_STEPS; level += FADE_SHOWN_STEP)
        pictures.push_back({L"exitscreen-" + std::to_wstring(level) + L".png", screen, PaintDesktopScene, level});
    for (const Picture& picture : pictures) {
        const std::wstring path = folder + L"\\" + picture.name;
        if (WritePicture(path.c_str(), picture.size, picture.paint, picture.fadeLevel) != 0) {
            WriteError(L"zorv-theme-preview: cannot write " + path);
            return EXIT_FAILED;
        }
        WriteUtf8(GetStdHandle(STD_OUTPUT_HANDLE), path + L"\n");
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    SIZE screen = DEVICE_SCREEN;
    if (argc < 3 || argc > 4 || (argc == 4 && !ParseSize(argv[3], &screen))) {
        WriteError(L"usage: zorv-theme-preview <home-directory>|<theme-file> <output-folder> [--size=WIDTHxHEIGHT]\n"
                   L"  draws the taskbar, the open start menu, the battery's faces and the exit screen's\n"
                   L"  fade into PNG files for a screen of 800x480 or the given size");
        return EXIT_BAD_USAGE;
    }
    // The shell's own log lines say what fails; its fatal box would only repeat them.
    StartLog(GetTickCount());
    SetLogSink([](LPCWSTR line) { WriteError(line); });
    SetFatalBoxPresenter([](LPCWSTR, LPCWSTR, UINT) {});

    ThemeArgument theme;
    std::wstring error;
    if (theme.Read(argv[1], &error) != 0) {
        WriteError(L"zorv-theme-preview: " + error);
        return EXIT_BAD_USAGE;
    }
    const std::wstring& home = theme.home();
    const std::wstring output = FullPath(argv[2]);
    if (IsWithin(output, home)) {
        WriteError(L"zorv-theme-preview: the pictures do not go into the home directory " + home);
        return EXIT_BAD_USAGE;
    }
    if (ComposeScenes(theme.files(), screen) != 0) {
        WriteError(L"zorv-theme-preview: the shell would not start with " + home + L" (the lines above say why)");
        return EXIT_FAILED;
    }
    if (StartPictures() != 0) {
        WriteError(L"zorv-theme-preview: GDI+ cannot be started");
        return EXIT_FAILED;
    }
    int result = WritePictures(output, screen);
    StopPictures();
    return result;
}
