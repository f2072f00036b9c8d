#include <gtest/gtest.h>

#include <string>

#include "gdi_count.h"
#include "gfx/surface.h"
#include "taskbar/battery.h"
#include "test_files.h"

namespace {

// A reading of a kind: d discharging, c charging, m full on the mains, n no battery.
PowerStatus Reading(int percent, char kind) { return {kind != 'n', kind == 'c', kind == 'c' || kind == 'm', percent}; }

TEST(BatteryDecisions, TheGaugeShowsTheNearestStepAndEachLevelWarnsOnceADischargeUntilChargedAboveIt)
{
    const char faceKinds[] = "ddddddddddcm";
    const int levels[] = {-1, 12, 13, 37, 38, 62, 63, 87, 88, 150, 5, 100},
              faces[] = {0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 4};
    for (size_t i = 0; i < ARRAYSIZE(faces); ++i)
        EXPECT_EQ(faces[i], ChooseBatteryFace(Reading(levels[i], faceKinds[i]))) << levels[i] << faceKinds[i];
    // Discharges one after another, a level read again after it warned among them; a battery
    // that charges, is on the mains, is absent or does not know its level never warns; levels
    // passed at once warn once.
    const char kinds[] = "ddddddddccddcmndddcdd";
    const int percents[] = {50, 11, 10, 11, 10, 6, 5, 3, 3, 8, 8, 5, 30, 4, 4, -1, 4, 2, 60, 7, 7},
              dues[] = {0, 0, 10, 0, 0, 0, 5, 0, 0, 0, 0, 5, 0, 0, 0, 0, 5, 0, 0, 10, 0};
    BatteryWarnings warnings = {};
    for (size_t i = 0; i < ARRAYSIZE(dues); ++i)
        EXPECT_EQ(dues[i], TakeDueBatteryWarning(Reading(percents[i], kinds[i]), &warnings)) << "reading " << i;
}

// Drawn at the top left of the canvas, cleared to black: "#" for white, "." for anything else.
std::string DrawnRow(HDC canvas, BatteryFace face, int size, int y)
{
    std::string pixels;
    BitBlt(canvas, 0, 0, 32, 32, NULL, 0, 0, BLACKNESS), DrawBatteryFace(canvas, 0, 0, size, face);
    for (int x = 0; x < size; ++x) pixels += GetPixel(canvas, x, y) == RGB(255, 255, 255) ? '#' : '.';
    return pixels;
}

// A face the theme has is copied from its bitmap; one it lacks is drawn white on the bar's
// background: outline, tip and the steps reached, or a plus while charging, at any size.
TEST(BatteryFaces, AThemesFaceIsCopiedAndAMissingOneDrawnAsAGaugeWithoutAnyObjectLeft)
{
    TempDirectory theme;
    WriteBytes(theme / L"BATTERY2.bmp", BmpFile(20, 20));
    ShellSettings settings = {};
    wcscpy(settings.themeFolder, theme.path().c_str());
    void* bits = nullptr;
    MemorySurface canvas = {CreateCompatibleDC(NULL), CreatePixelBitmap(NULL, 32, 32, &bits)};
    ASSERT_TRUE(canvas.dc && canvas.bitmap && SelectObject(canvas.dc, canvas.bitmap));
    const int before = CountGdiObjects();
    ASSERT_EQ(0, LoadBatteryFaces(GetModuleHandleW(NULL), canvas.dc, settings));
    EXPECT_EQ(".#.##.......###.", DrawnRow(canvas.dc, BatteryFace(1), 16, 7)) << "outline, one step, the tip";
    EXPECT_EQ(".#.########.###.", DrawnRow(canvas.dc, BATTERY_FACE_FULL, 16, 7));
    DrawnRow(canvas.dc, BatteryFace(2), 16, 0);
    EXPECT_EQ(RGB(15, 150, 240), GetPixel(canvas.dc, 15, 15)) << "BATTERY2.bmp, from its top-left corner";
    for (int i = 0; i < 1000; ++i) DrawBatteryFace(canvas.dc, 0, 0, 16, BatteryFace(i % BATTERY_FACE_COUNT));
    ReleaseBatteryFaces();
    EXPECT_EQ(before, CountGdiObjects()) << "drawing makes nothing, and the faces are given back";
    ReleaseMemorySurface(&canvas);
}

}  // namespace
