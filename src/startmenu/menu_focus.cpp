#include "startmenu/menu_focus.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <vector>

namespace {

typedef std::vector<int> Column;

long long Middle(long long start, long long size) { return start + size / 2; }
long long MiddleY(const StartMenuPlaces& places, int item) { return Middle(places[item].y, places[item].cy); }

// The items from top to bottom, left to right on a row.
Column Sorted(const StartMenuPlaces& places, Column items)
{
    std::stable_sort(items.begin(), items.end(), [&](int a, int b) {
        return places[a].y != places[b].y ? places[a].y < places[b].y : places[a].x < places[b].x;
    });
    return items;
}

long long MiddleX(const StartMenuPlaces& places, const Column& column)
{
    const long long sum = std::accumulate(column.begin(), column.end(), 0LL, [&](long long total, int item) {
        return total + Middle(places[item].x, places[item].cx);
    });
    return sum / static_cast<long long>(column.size());
}

struct Columns {
    Column left, right;
};

// The shortcuts with All Programs, and the side items; the one further left is the left
// column, whatever the theme does.
Columns MenuColumns(const StartMenuPlaces& places)
{
    Column programs, sides;
    for (int i = 0; i < MENU_SHORTCUT_COUNT; ++i) programs.push_back(ITEM_FIRST_SHORTCUT + i);
    programs.push_back(ITEM_ALL_PROGRAMS);
    for (int i = 0; i < SIDE_ITEM_COUNT; ++i) sides.push_back(ITEM_FIRST_SIDE + i);
    programs = Sorted(places, programs);
    sides = Sorted(places, sides);
    if (MiddleX(places, sides) < MiddleX(places, programs)) return Columns{sides, programs};
    return Columns{programs, sides};
}

int Wrapped(const Column& items, int position)
{
    const int count = static_cast<int>(items.size());
    return items[(position % count + count) % count];
}

int PositionIn(const Column& items, int item)
{
    const auto found = std::find(items.begin(), items.end(), item);
    return found == items.end() ? -1 : static_cast<int>(found - items.begin());
}

// The column's item whose row is nearest the item's, the upper one of two as near.
int NearestRow(const StartMenuPlaces& places, const Column& column, int item)
{
    const long long y = MiddleY(places, item);
    int nearest = column.front();
    for (int candidate : column) {
        const long long distance = std::llabs(MiddleY(places, candidate) - y);
        if (distance < std::llabs(MiddleY(places, nearest) - y)) nearest = candidate;
    }
    return nearest;
}

}  // namespace

int MoveMenuFocus(const StartMenuPlaces& places, int from, MenuFocusMove move)
{
    const Columns columns = MenuColumns(places);
    if (move == FOCUS_NEXT || move == FOCUS_PREVIOUS) {
        Column reading = columns.left;
        reading.insert(reading.end(), columns.right.begin(), columns.right.end());
        reading.push_back(ITEM_EXIT);
        const int position = PositionIn(reading, from);
        if (position < 0) return reading.front();
        return Wrapped(reading, position + (move == FOCUS_NEXT ? 1 : -1));
    }
    const bool inLeft = PositionIn(columns.left, from) >= 0, inRight = PositionIn(columns.right, from) >= 0;
    if (move == FOCUS_LEFT || move == FOCUS_RIGHT) {
        const Column& target = move == FOCUS_LEFT ? columns.left : columns.right;
        return PositionIn(target, from) >= 0 ? from : NearestRow(places, target, from);
    }
    const int step = move == FOCUS_DOWN ? 1 : -1;
    if (inLeft || inRight) {
        const Column& column = inLeft ? columns.left : columns.right;
        return Wrapped(column, PositionIn(column, from) + step);
    }
    // From the exit button, into the right column: its last item going up, its first going
    // down.
    return move == FOCUS_UP ? columns.right.back() : columns.right.front();
}
