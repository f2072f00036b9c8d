#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "gdi_count.h"
#include "gfx/gdi_scope.h"
#include "gfx/surface.h"
#include "taskbar/battery.h"
#include "test_files.h"

namespace {

const COLORREF WHITE = RGB(255, 255, 255), GROUND = RGB(0, 0, 64);

PowerStatus Discharging(int percent) { return {true, false, false, percent}; }
PowerStatus Charging(int percent) { return {true, true, true, percent}; }

TEST(BatteryDecisions, TheGaugeShowsTheNearestStepAndAChargingBatteryItsOwnFace)
{
    const std::tuple<PowerStatus, BatteryFace> faces[] = {
        {Discharging(-1), BATTERY_FACE_EMPTY}, {Discharging(12), BATTERY_FACE_EMPTY},
        {Discharging(13), BatteryFace(1)},     {Discharging(37), BatteryFace(1)},
        {Discharging(38), BatteryFace(2)},     {Discharging(62), BatteryFace(2)},
        {Discharging(63), BatteryFace(3)},     {Discharging(87), BatteryFace(3)},
        {Discharging(88), BATTERY_FACE_FULL},  {Discharging(150), BATTERY_FACE_FULL},
        {Charging(5), BATTERY_FACE_CHARGING},  {{true, false, true, 100}, BATTERY_FACE_FULL}};  // full on the mains
    for (const auto& [status, face] : faces)
        EXPECT_EQ(face, ChooseBatteryFace(status)) << status.percent << (status.charging ? " charging" : "");
}

// One discharge after another: each level warns once; charging above a level arms it again;
// a battery that charges, sits on the mains, is absent or does not know its level never warns.
TEST(BatteryDecisions, EachLevelWarnsOnceADischargeAndAgainOnlyOnceChargedAboveIt)
{
    const std::tuple<PowerStatus, int> readings[] = {
        {Discharging(50), 0},
        {Discharging(11), 0},
        {Discharging(10), 10},
        {Discharging(9), 0},
        {Discharging(6), 0},
        {Discharging(5), 5},
        {Discharging(3), 0},
        {Charging(3), 0},
        {Charging(8), 0},
        {Discharging(8), 0},
        {Discharging(5), 5},  // 5 % armed again, not 10 %
        {Charging(30), 0},
        {{true, false, true, 4}, 0},  // on the mains, not charging
        {{false, false, false, 4}, 0},
        {Discharging(-1), 0},
        {Discharging(4), 5},  // one box for both levels
        {Discharging(2), 0},
        {Charging(60), 0},
        {Discharging(7), 10},
    };
    BatteryWarnings warnings = {};
    int step = 0;
    for (const auto& [status, due] : readings)
        EXPECT_EQ(due, TakeDueBatteryWarning(status, &warnings)) << "reading " << step++ << ": " << status.percent;
}

// Faces the theme has are copied from its bitmaps; the others are drawn white on the bar's
// background: the outline and tip, and inside them the steps reached or, charging, a plus.
TEST(BatteryFaces, AThemesFaceIsCopiedAMissingOneIsDrawnAsAGaugeAndABrokenOneFailsTheLoad)
{
    TempDirectory theme;
    WriteBytes(theme / L"BATTERY2.bmp", BmpFile(20, 20));
    ShellSettings settings = {};
    wcscpy(settings.themeFolder, theme.path().c_str());
    HDC screen = GetDC(NULL);
    void* bits = nullptr;
    MemorySurface canvas = {CreateCompatibleDC(screen), CreatePixelBitmap(screen, 64, 32, &bits)};
    ASSERT_TRUE(canvas.dc && canvas.bitmap && SelectObject(canvas.dc, canvas.bitmap));
    ScopedGdiObject<HBRUSH> ground(CreateSolidBrush(GROUND));
    const int before = CountGdiObjects();
    ASSERT_EQ(0, LoadBatteryFaces(GetModuleHandleW(NULL), canvas.dc, settings));

    // Draws the face at (x, 8) on a clean ground and reads row y of it back as "#" and ".".
    const auto row = [&](BatteryFace face, int size, int y, int x = 4) {
        const RECT all = {0, 0, 64, 32};
        FillRect(canvas.dc, &all, ground);
        DrawBatteryFace(canvas.dc, x, 8, size, face);
        std::string pixels;
        for (int i = 0; i < size; ++i) pixels += GetPixel(canvas.dc, x + i, 8 + y) == WHITE ? '#' : '.';
        return pixels;
    };
    EXPECT_EQ(".############...", row(BATTERY_FACE_EMPTY, 16, 4)) << "the outline's top";
    EXPECT_EQ(".#..........###.", row(BATTERY_FACE_EMPTY, 16, 7)) << "its sides and the tip";
    EXPECT_EQ(".#.##.......###.", row(BatteryFace(1), 16, 7));
    EXPECT_EQ(".#.######...###.", row(BatteryFace(3), 16, 7));
    EXPECT_EQ(".#.########.###.", row(BATTERY_FACE_FULL, 16, 7));
    EXPECT_EQ(".#..######..###.", row(BATTERY_FACE_CHARGING, 16, 7)) << "the plus's bar";
    EXPECT_EQ(".#....##....#...", row(BATTERY_FACE_CHARGING, 16, 5)) << "its upright";
    EXPECT_EQ(".##.#############..#####..", row(BATTERY_FACE_FULL, 26, 12)) << "scaled to the size";
    row(BatteryFace(2), 16, 0, 30);
    int unlike = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) unlike += GetPixel(canvas.dc, 30 + x, 8 + y) != RGB(x, 10 * y, 255 - x);
    EXPECT_EQ(0, unlike) << "BATTERY2.bmp copied from its top-left corner";
    for (int i = 0; i < 1000; ++i) DrawBatteryFace(canvas.dc, 4, 8, 16, BatteryFace(i % BATTERY_FACE_COUNT));
    ReleaseBatteryFaces();
    EXPECT_EQ(before, CountGdiObjects()) << "drawing makes nothing, and the faces are given back";

    const std::string bitmap = ReadBytes(theme / L"BATTERY2.bmp");
    WriteBytes(theme / L"BATTERYCHARGE.bmp", bitmap.substr(0, bitmap.size() / 2));
    {
        LogCapture log;
        EXPECT_EQ(1, LoadBatteryFaces(GetModuleHandleW(NULL), canvas.dc, settings));
        EXPECT_NE(std::wstring::npos, log.lines.empty() ? 0 : log.lines.back().find(L"BATTERYCHARGE.bmp\""));
    }
    ReleaseBatteryFaces();
    EXPECT_EQ(before, CountGdiObjects()) << "what loaded before the broken face is given back";
    ReleaseMemorySurface(&canvas);
    ReleaseDC(NULL, screen);
}

}  // namespace
