// Pictures of the preview: drawn with GDI into 32-bit pixels and written as PNG files
// through GDI+.
#pragma once
#include <windows.h>

typedef void (*ScenePainter)(HDC dc);

// Starts GDI+ for the process; 1 when it cannot be started.
int StartPictures();
void StopPictures();

// Paints a picture of the size, fades it to grey by the exit screen's fade at the level
// (0 leaves it as painted) and writes it to the path as PNG; 1 when it cannot be written.
int WritePicture(LPCWSTR path, SIZE size, ScenePainter paint, int fadeLevel);
