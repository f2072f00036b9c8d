// Live GDI objects of this process (bitmaps, DCs, regions, fonts, brushes, icons).
// GetGuiResources is a stub under Wine that answers 0, so the count is read from the
// process's shared GDI handle table instead.
#pragma once

int CountGdiObjects();
