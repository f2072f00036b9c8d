// Where the keyboard's focus goes in the start menu, from the places the theme gives the
// items: Up and Down within a column (the shortcuts and All Programs on one side, the side
// items on the other, each in the order of its items' rows), Left and Right to the other
// column's item on the nearest row, Tab and Shift+Tab through every item in reading order (the
// left column, the right one, then the exit button). Each wraps.
#pragma once
#include "theme/start_menu_layout.h"

enum MenuFocusMove { FOCUS_UP, FOCUS_DOWN, FOCUS_LEFT, FOCUS_RIGHT, FOCUS_NEXT, FOCUS_PREVIOUS };

// The item (a StartMenuItem) the focus moves to from the one it is on.
int MoveMenuFocus(const StartMenuPlaces& places, int from, MenuFocusMove move);
