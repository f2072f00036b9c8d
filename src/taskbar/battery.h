// The battery: the shell's own icon in the taskbar's notification area, drawn from the
// theme's battery faces or, for a face the theme leaves out, as a plain gauge; its tooltip;
// and the warnings of a battery running low.
#pragma once
#include <windows.h>

#include "config/shell_settings.h"
#include "platform/power.h"
#include "theme/theme_parts.h"

// The faces: the gauge's steps, empty to full, then the charging face.
enum BatteryFace {
    BATTERY_FACE_EMPTY,
    BATTERY_FACE_FULL = BATTERY_GAUGE_STEPS - 1,
    BATTERY_FACE_CHARGING,
    BATTERY_FACE_COUNT
};

// How long the tick leaves the last reading standing when no change was announced.
const DWORD BATTERY_READING_MS = 30000;

// Posted to the taskbar when a warning is due; the taskbar's procedure answers it with
// ShowBatteryWarning, outside the tick that found it.
const UINT BATTERY_WARNING_MESSAGE = WM_APP + 0x40;

// The levels at which a discharging battery warns, highest first; each warns once a discharge.
const int BATTERY_WARNING_LEVELS[] = {10, 5};
enum { BATTERY_WARNING_LEVEL_COUNT = ARRAYSIZE(BATTERY_WARNING_LEVELS) };

// Which levels have warned in this discharge.
struct BatteryWarnings {
    bool given[BATTERY_WARNING_LEVEL_COUNT];
};

// The face for a reading: the charging face while it charges, otherwise the gauge to the
// nearest step (an unknown level reads empty).
BatteryFace ChooseBatteryFace(const PowerStatus& status);
// What a reading does to the warnings: a level the battery is charged above again is armed
// again; the lowest level a discharging battery has reached that has not warned is due, and
// it and the levels above it count as given. The level due, 0 when none.
int TakeDueBatteryWarning(const PowerStatus& status, BatteryWarnings* warnings);

// Loads the theme's battery faces that it has (each NotifyIconSize square at least) for the
// reference DC; 1 (logged) when one is there but does not load.
int LoadBatteryFaces(HINSTANCE instance, HDC reference, const ShellSettings& settings);
void ReleaseBatteryFaces();

// Reads the platform when forced or when the last reading is BATTERY_READING_MS old, posts
// BATTERY_WARNING_MESSAGE to the taskbar (and logs it) when a warning has become due, and
// says whether what the icon shows changed: shown or not, its face.
bool RefreshBattery(DWORD now, bool force);
// False where the platform has no battery: then there is no icon at all.
bool BatteryShown();
// The current face at that place, over the bar's background that the caller has drawn;
// nothing when no battery is shown.
void DrawBatteryIcon(HDC dc, int x, int y, int size);
// One face, as the icon would draw it.
void DrawBatteryFace(HDC dc, int x, int y, int size, BatteryFace face);
// The icon's tooltip: "Battery: 80 %", with ", charging" while it charges.
void FormatBatteryTip(WCHAR* tip, size_t chars);

// Shows the box of the warning that is due, and of the next one if it comes while the box is
// open; never two boxes at once.
void ShowBatteryWarning();
