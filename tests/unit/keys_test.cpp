#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "startmenu/menu_focus.h"
#include "taskbar/hot_keys.h"
#include "taskbar/window_chooser.h"

namespace {

const int SIDE_ROWS[SIDE_ITEM_COUNT] = {73, 101, 129, 157, 193, 221, 257, 293};

// The bundled theme's places; moved, the columns change sides and the shortcuts stand in
// reverse order of their keys.
StartMenuPlaces MenuPlaces(bool moved)
{
    StartMenuPlaces places = {};
    const long long left = moved ? 207 : 8, right = moved ? 8 : 207;
    for (int i = 0; i < MENU_SHORTCUT_COUNT; ++i)
        places[ITEM_FIRST_SHORTCUT + i] = {left, 73 + 40 * (moved ? MENU_SHORTCUT_COUNT - 1 - i : i), 186, 36};
    for (int i = 0; i < SIDE_ITEM_COUNT; ++i) places[ITEM_FIRST_SIDE + i] = {right, SIDE_ROWS[i], 186, 24};
    places[ITEM_ALL_PROGRAMS] = {left, 320, 186, 24};
    places[ITEM_EXIT] = {276, 354, 122, 30};
    return places;
}

std::vector<int> Walk(const StartMenuPlaces& places, int from, MenuFocusMove move, int steps)
{
    std::vector<int> items;
    for (int i = 0; i < steps; ++i) items.push_back(from = MoveMenuFocus(places, from, move));
    return items;
}

const int S0 = ITEM_FIRST_SHORTCUT, D0 = ITEM_FIRST_SIDE, ALL = ITEM_ALL_PROGRAMS, EXIT = ITEM_EXIT;

}  // namespace

TEST(MenuFocus, MovesThroughEachColumnAcrossToTheNearestRowAndTabsInReadingOrderTheExitLast)
{
    const StartMenuPlaces places = MenuPlaces(false);
    EXPECT_EQ((std::vector<int>{S0 + 1, S0 + 2, S0 + 3, S0 + 4, S0 + 5, ALL, S0}), Walk(places, S0, FOCUS_DOWN, 7));
    EXPECT_EQ((std::vector<int>{D0 + 7, D0 + 6}), Walk(places, D0, FOCUS_UP, 2));
    // Shortcut 3's middle is at 211, between side rows 4 (205) and 5 (233); All Programs' at 332.
    EXPECT_EQ(D0 + 4, MoveMenuFocus(places, S0 + 3, FOCUS_RIGHT));
    EXPECT_EQ(D0 + 7, MoveMenuFocus(places, ALL, FOCUS_RIGHT));
    EXPECT_EQ(S0 + 1, MoveMenuFocus(places, D0 + 2, FOCUS_LEFT));
    EXPECT_EQ(S0 + 3, MoveMenuFocus(places, S0 + 3, FOCUS_LEFT)) << "already in the left column";
    EXPECT_EQ(D0 + 7, MoveMenuFocus(places, EXIT, FOCUS_UP));

    std::vector<int> reading;
    for (int i = 1; i < MENU_SHORTCUT_COUNT; ++i) reading.push_back(S0 + i);
    reading.push_back(ALL);
    for (int i = 0; i < SIDE_ITEM_COUNT; ++i) reading.push_back(D0 + i);
    reading.insert(reading.end(), {EXIT, S0});
    EXPECT_EQ(S0, MoveMenuFocus(places, -1, FOCUS_NEXT)) << "a key's first focus";
    EXPECT_EQ(reading, Walk(places, S0, FOCUS_NEXT, static_cast<int>(reading.size())));
    EXPECT_EQ((std::vector<int>{EXIT, D0 + 7}), Walk(places, S0, FOCUS_PREVIOUS, 2));
}

// A theme that puts the side items on the left and the shortcuts bottom to top: the order
// follows the places, not the keys.
TEST(MenuFocus, FollowsTheThemesPlacesWhereverItPutsTheItems)
{
    const StartMenuPlaces places = MenuPlaces(true);
    EXPECT_EQ(D0, MoveMenuFocus(places, -1, FOCUS_NEXT));
    EXPECT_EQ((std::vector<int>{S0 + 4, S0 + 3}), Walk(places, S0 + 5, FOCUS_DOWN, 2));
    EXPECT_EQ(S0 + 5, MoveMenuFocus(places, D0, FOCUS_RIGHT)) << "the top shortcut is the last in its keys";
    EXPECT_EQ(D0 + 7, MoveMenuFocus(places, ALL, FOCUS_LEFT));
    EXPECT_EQ(S0 + 5, MoveMenuFocus(places, D0 + 7, FOCUS_NEXT)) << "the right column after the left";
}

TEST(HotKeys, KeyNamesWithModifiersInAnyCaseAndNothingElse)
{
    const struct {
        const wchar_t* name;
        UINT modifiers, key;
    } known[] = {{L"F1", 0, VK_F1},          {L"f24", 0, VK_F24},
                 {L"a", 0, 'A'},             {L"7", 0, '7'},
                 {L"NumPad3", 0, VK_NUMPAD3}, {L"ctrl+alt+Home", MOD_CONTROL | MOD_ALT, VK_HOME},
                 {L"Win+Shift+Esc", MOD_WIN | MOD_SHIFT, VK_ESCAPE}, {L"PageDown", 0, VK_NEXT}};
    for (const auto& expected : known) {
        KeyChord chord = {};
        EXPECT_TRUE(ParseKeyName(expected.name, &chord)) << expected.name;
        EXPECT_EQ(std::make_pair(expected.modifiers, expected.key), std::make_pair(chord.modifiers, chord.key))
            << expected.name;
    }
    for (const wchar_t* unknown : {L"", L"F0", L"F25", L"F01", L"Ctrl+", L"AB", L"NumPad10", L"Hyper+A", L"F1+Ctrl"}) {
        KeyChord chord = {};
        EXPECT_FALSE(ParseKeyName(unknown, &chord)) << unknown;
    }
}

// Forward from the window in front through all sixty-four and round to it again, back the
// other way; every cell inside its box, none over another, the box on the smallest screen.
TEST(WindowChooser, ReachesEveryWindowPastSixteenEitherWayAndLaysThemAllOnTheScreen)
{
    for (int step : {1, -1}) {
        std::vector<int> visited;
        for (int choice = NextChoice(16, 64, step); visited.size() < 64; choice = NextChoice(choice, 64, step))
            visited.push_back(choice);
        for (int i = 0; i < 64; ++i) EXPECT_EQ((16 + step * (i + 1) + 64) % 64, visited[i]) << step;
    }
    EXPECT_EQ((std::vector<int>{0, 2, -1, 0}),
              (std::vector<int>{NextChoice(-1, 3, 1), NextChoice(-1, 3, -1), NextChoice(0, 0, 1), NextChoice(0, 1, 1)}))
        << "from none forward the first, back the last; nothing of no windows; one window chooses itself";
    for (int count : {1, 17, 64}) {
        const ChooserLayout layout = LayOutChooser(count, SIZE{480, 320});
        const RECT& box = layout.box;
        EXPECT_TRUE(box.left >= 0 && box.top >= 0 && box.right <= 480 && box.bottom <= 320) << count;
        RECT previous = {};
        for (int i = 0; i < count; ++i) {
            const RECT cell = ChooserCell(layout, i);
            EXPECT_TRUE(cell.left >= 0 && cell.top >= 0 && cell.right <= box.right - box.left &&
                        cell.bottom <= box.bottom - box.top)
                << count << " " << i;
            RECT overlap;
            EXPECT_FALSE(i > 0 && IntersectRect(&overlap, &cell, &previous)) << count << " " << i;
            previous = cell;
        }
    }
}
