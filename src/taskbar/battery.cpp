#include "taskbar/battery.h"

#include <strsafe.h>

#include <algorithm>

#include "core/log.h"
#include "core/shell_text.h"
#include "gfx/surface.h"
#include "resource.h"
#include "taskbar/taskbar.h"

namespace {

enum { BATTERY_TEXT_CHARS = 160 };

// The plain gauge is laid out on a grid of 16 x 16 units, scaled to the icon's size: a body
// with a one-unit outline and the tip at its right, the steps reached filled inside it, or a
// plus in it while the battery charges.
struct UnitRect {
    int left, top, right, bottom;
};
const int GAUGE_GRID = 16;
const UnitRect GAUGE_OUTLINE[] = {{1, 4, 13, 5}, {1, 11, 13, 12}, {1, 5, 2, 11}, {12, 5, 13, 11}, {13, 6, 15, 10}};
const UnitRect GAUGE_INSIDE = {3, 6, 11, 10};  // filled whole when full
const UnitRect CHARGING_PLUS[] = {{4, 7, 10, 9}, {6, 5, 8, 11}};

HINSTANCE instance;                               // for the texts
MemorySurface faces[BATTERY_FACE_COUNT];          // the theme's; an empty one is drawn as a gauge
PowerStatus reading = {false, false, false, -1};  // the last one; no battery before the first
bool readOnce;                                    // whether there has been a reading
DWORD readAt;                                     // when it was taken
BatteryWarnings warnings;                         // of this discharge
bool warningDue;                                  // posted, and its box not shown yet
bool warningBoxOpen;                              // a box's loop runs: it shows what comes due meanwhile

// Units of the grid to pixels of the icon at (x, y); the clock's white.
void FillUnits(HDC dc, int x, int y, int size, const UnitRect& units, int right)
{
    const RECT rect = {x + units.left * size / GAUGE_GRID, y + units.top * size / GAUGE_GRID,
                       x + right * size / GAUGE_GRID, y + units.bottom * size / GAUGE_GRID};
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}
void FillUnits(HDC dc, int x, int y, int size, const UnitRect& units) { FillUnits(dc, x, y, size, units, units.right); }

void DrawGauge(HDC dc, int x, int y, int size, BatteryFace face)
{
    for (const UnitRect& side : GAUGE_OUTLINE) FillUnits(dc, x, y, size, side);
    if (face == BATTERY_FACE_CHARGING) {
        for (const UnitRect& bar : CHARGING_PLUS) FillUnits(dc, x, y, size, bar);
        return;
    }
    const int filled = (GAUGE_INSIDE.right - GAUGE_INSIDE.left) * face / BATTERY_FACE_FULL;
    if (filled > 0) FillUnits(dc, x, y, size, GAUGE_INSIDE, GAUGE_INSIDE.left + filled);
}

}  // namespace

BatteryFace ChooseBatteryFace(const PowerStatus& status)
{
    if (status.charging) return BATTERY_FACE_CHARGING;
    if (status.percent < 0) return BATTERY_FACE_EMPTY;
    return static_cast<BatteryFace>((std::min(status.percent, 100) * BATTERY_FACE_FULL + 50) / 100);
}

int TakeDueBatteryWarning(const PowerStatus& status, BatteryWarnings* warnings)
{
    const bool charged = status.charging || status.onMains;
    const bool discharging = status.hasBattery && !charged && status.percent >= 0;
    int due = 0;
    for (int i = 0; i < BATTERY_WARNING_LEVEL_COUNT; ++i) {
        const int level = BATTERY_WARNING_LEVELS[i];
        if (charged && status.percent > level) warnings->given[i] = false;
        if (discharging && status.percent <= level && !warnings->given[i]) due = level;
    }
    // One box for all the levels passed at once.
    for (int i = 0; due && i < BATTERY_WARNING_LEVEL_COUNT; ++i)
        if (BATTERY_WARNING_LEVELS[i] >= due) warnings->given[i] = true;
    return due;
}

int LoadBatteryFaces(HINSTANCE moduleInstance, HDC reference, const ShellSettings& settings)
{
    instance = moduleInstance;
    for (int face = 0; face < BATTERY_FACE_COUNT; ++face)
        if (LoadOptionalThemeBitmap(reference, settings.themeFolder, THEME_PARTS[PART_FIRST_BATTERY_STEP + face].name,
                                    &faces[face]) != 0)
            return 1;
    return 0;
}

void ReleaseBatteryFaces()
{
    for (MemorySurface& face : faces) ReleaseMemorySurface(&face);
}

bool RefreshBattery(DWORD now, bool force)
{
    if (readOnce && !force && now - readAt < BATTERY_READING_MS) return false;
    const bool wasShown = BatteryShown();
    const BatteryFace wasFace = ChooseBatteryFace(reading);
    if (ReadPowerStatus(&reading) != 0) LogError(L"Cannot read the power status");
    readOnce = true;
    readAt = now;
    if (TakeDueBatteryWarning(reading, &warnings)) {
        LogInfoF(L"Battery low: %d %% left", reading.percent);
        warningDue = true;
        PostMessageW(TaskbarWindow, BATTERY_WARNING_MESSAGE, 0, 0);
    }
    return BatteryShown() != wasShown || (BatteryShown() && ChooseBatteryFace(reading) != wasFace);
}

bool BatteryShown() { return readOnce && reading.hasBattery; }

void DrawBatteryIcon(HDC dc, int x, int y, int size)
{
    if (BatteryShown()) DrawBatteryFace(dc, x, y, size, ChooseBatteryFace(reading));
}

void DrawBatteryFace(HDC dc, int x, int y, int size, BatteryFace face)
{
    if (faces[face].dc)
        BitBlt(dc, x, y, size, size, faces[face].dc, 0, 0, SRCCOPY);
    else
        DrawGauge(dc, x, y, size, face);
}

void FormatBatteryTip(WCHAR* tip, size_t chars)
{
    const int capacity = static_cast<int>(chars);
    if (reading.percent < 0) {
        LoadShellText(instance, IDS_BATTERY_TIP_UNKNOWN, tip, capacity);
        return;
    }
    WCHAR format[BATTERY_TEXT_CHARS];
    LoadShellText(instance, reading.charging ? IDS_BATTERY_TIP_CHARGING : IDS_BATTERY_TIP, format, BATTERY_TEXT_CHARS);
    StringCchPrintfW(tip, chars, format, reading.percent);
}

void ShowBatteryWarning()
{
    if (warningBoxOpen) return;  // that box's loop shows this one when it closes
    warningBoxOpen = true;
    while (warningDue) {
        warningDue = false;
        WCHAR format[BATTERY_TEXT_CHARS], text[BATTERY_TEXT_CHARS], caption[BATTERY_TEXT_CHARS];
        LoadShellText(instance, IDS_BATTERY_LOW, format, BATTERY_TEXT_CHARS);
        StringCchPrintfW(text, BATTERY_TEXT_CHARS, format, reading.percent);
        LoadShellText(instance, IDS_BATTERY_LOW_CAPTION, caption, BATTERY_TEXT_CHARS);
        // Owned by no window, so that the bar stays enabled while it is open.
        MessageBoxW(NULL, text, caption, MB_OK | MB_ICONWARNING | MB_SETFOREGROUND | MB_TOPMOST);
    }
    warningBoxOpen = false;
}
