// zorv_probe: a second process that prints what the desktop tells a newcomer.
//   zorv_probe workarea   prints "left top right bottom" of SPI_GETWORKAREA
#include <windows.h>
#include <stdio.h>
#include <wchar.h>

int wmain(int argc, wchar_t** argv)
{
    if (argc == 2 && wcscmp(argv[1], L"workarea") == 0) {
        RECT area = {};
        if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) return 1;
        printf("%ld %ld %ld %ld\n", area.left, area.top, area.right, area.bottom);
        return 0;
    }
    fprintf(stderr, "usage: zorv_probe workarea\n");
    return 2;
}
