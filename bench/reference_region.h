// The first way the shell cut its window shapes, kept as the benchmark's yardstick for
// CreateKeyColorRegion: the whole image, then one CombineRgn XOR per run of key-coloured
// pixels. Each XOR walks the whole region built so far, so the time grows with the square
// of the number of runs.
#pragma once
#include <windows.h>

HRGN CreateRunByRunRegion(HDC imageDc, HBITMAP imageBitmap);
