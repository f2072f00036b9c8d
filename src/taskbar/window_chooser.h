// The window chooser: Alt+Tab's box of the task list's windows in their buttons' order, one
// of them chosen, shown while Alt is held. It never takes the focus: the switch keys reach it
// as the taskbar's hot keys and the release of Alt is watched on a timer, so the program in
// front keeps the keyboard until the chosen window takes it.
#pragma once
#include <windows.h>

// The choice one step on (+1) or back (-1) among count windows, wrapping at either end; from
// no choice (-1) forward the first, back the last.
int NextChoice(int current, int count, int step);

// The chooser's box for count windows, centred on the screen, and its cells: rows of at most
// CHOOSER_COLUMNS, the chosen window's title under them.
enum { CHOOSER_COLUMNS = 10 };
struct ChooserLayout {
    RECT box;  // screen coordinates
    int columns;
    int rows;
};
ChooserLayout LayOutChooser(int count, SIZE screen);
// The cell of the window at the position, in the box's coordinates.
RECT ChooserCell(const ChooserLayout& layout, int position);

// A switch key: opens the chooser on the window after (step +1) or before (-1) the one in
// front, or moves its choice while it shows. Nothing without windows.
void SwitchWindows(HINSTANCE instance, int step);
bool WindowChooserShown();
