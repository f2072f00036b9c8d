#include <gtest/gtest.h>

#include <tuple>

#include "harness.h"
#include "platform/power.h"
#include "taskbar/battery.h"

namespace {

// Each test changes the simulated device's battery and gives it back its default after.
class Battery : public ::testing::Test {
protected:
    void SetUp() override
    {
        WCHAR source[32] = L"";
        GetEnvironmentVariableW(L"ZORV_POWER_SOURCE", source, ARRAYSIZE(source));
        if (wcscmp(source, L"unprivileged") == 0)
            GTEST_SKIP() << "no simulated power source: scripts/test makes one only as root";
        ASSERT_TRUE(SetPowerSource(L"default")) << "no simulated power source, ZORV_POWER_SOURCE=" << ToUtf8(source);
    }
    void TearDown() override
    {
        if (!IsSkipped()) {
            EXPECT_TRUE(SetPowerSource(L"default"));
        }
    }
};

auto Fields(const PowerStatus& s) { return std::make_tuple(s.hasBattery, s.charging, s.onMains, s.percent); }

TEST_F(Battery, ReadsTheSimulatedLevelChargerAndMainsShowsNothingWithoutOneAndRereadsWhenDueOrTold)
{
    TempDirectory theme;  // without faces
    ShellSettings settings = {};
    wcscpy(settings.themeFolder, theme.path().c_str());
    ASSERT_EQ(0, LoadBatteryFaces(GetModuleHandleW(NULL), NULL, settings));
    const std::tuple<const wchar_t*, PowerStatus, const wchar_t*, bool> cases[] = {
        // tip, and whether the icon changed
        {L"37", {true, false, false, 37}, L"Battery: 37 %", true},
        {L"30", {true, false, false, 30}, L"Battery: 30 %", false},  // the same step of the gauge
        {L"64 charging", {true, true, true, 64}, L"Battery: 64 %, charging", true},
        {L"100 full", {true, false, true, 100}, L"Battery: 100 %", true},
        {L"none", {false, false, true, -1}, L"Battery: level unknown", true},
    };
    DWORD now = 1000;
    for (const auto& [arguments, expected, tip, changed] : cases) {
        SCOPED_TRACE(ToUtf8(arguments));
        ASSERT_TRUE(SetPowerSource(arguments));
        PowerStatus status = {};
        EXPECT_EQ(0, ReadPowerStatus(&status));
        EXPECT_EQ(Fields(expected), Fields(status));
        EXPECT_EQ(changed, RefreshBattery(now += 100, true));
        EXPECT_EQ(expected.hasBattery, BatteryShown());
        WCHAR text[64];
        FormatBatteryTip(text, ARRAYSIZE(text));
        EXPECT_EQ(std::wstring(tip), text);
    }
    // Not told, the tick keeps the last reading until it is BATTERY_READING_MS old.
    ASSERT_TRUE(SetPowerSource(L"50"));
    EXPECT_FALSE(RefreshBattery(now + BATTERY_READING_MS - 1, false));
    EXPECT_FALSE(BatteryShown());
    EXPECT_TRUE(RefreshBattery(now + BATTERY_READING_MS, false));
    EXPECT_TRUE(BatteryShown());
    ReleaseBatteryFaces();
}

HWND LowBatteryBox(HWND other = NULL)
{
    for (HWND box = NULL; (box = FindWindowExW(NULL, box, L"#32770", L"Battery low")) != NULL;)
        if (IsWindowVisible(box) && box != other) return box;
    return NULL;
}
std::wstring BoxText(HWND box) { return WindowText(GetDlgItem(box, 0xFFFF)); }

// The shell started at 9 %: the first warning. At 4 %, announced while its box is open, the
// second is logged at once and its box follows the first; the bar goes on meanwhile. Lower
// still, nothing more in this discharge.
TEST_F(Battery, TheShellWarnsAtTenAndAtFivePercentOneBoxAtATimeWhileTheBarGoesOn)
{
    TempDirectory home;
    InstallDefaultHome(home.path());
    ASSERT_TRUE(SetPowerSource(L"9"));
    Shell shell(home.path());
    HWND box = NULL;
    ASSERT_TRUE(WaitUntil([&] { return (box = LowBatteryBox()) != NULL; }, 20000)) << ToUtf8(shell.Output());
    EXPECT_EQ(L"The battery has 9 % left. Connect the charger.", BoxText(box));

    ASSERT_TRUE(SetPowerSource(L"4"));
    EXPECT_TRUE(shell.WaitForOutput(L"Battery low: 4 % left"));
    const COLORREF background = ScreenShot(home / L"theme\\Lagoon\\TASKBAR.bmp").Pixel(0, 4);
    const POINT button = {102 + 80, GetSystemMetrics(SM_CYSCREEN) - 30 + 4};  // the first task button's face
    Program app(L"\"" + BuildPath(L"tools\\sample-app\\zorv-sample-app.exe").wstring() + L"\" --title=Beat");
    EXPECT_TRUE(WaitUntil([&] { return ScreenShot().Pixel(button.x, button.y) != background; }))
        << "the tick draws a new window's button while the box is open";
    EXPECT_EQ(nullptr, LowBatteryBox(box)) << "never a second box on the first";
    EXPECT_EQ(L"The battery has 9 % left. Connect the charger.", AnswerBox(box));
    HWND next = NULL;
    ASSERT_TRUE(WaitUntil(
        [&] { return (next = LowBatteryBox()) != NULL && BoxText(next).find(L"4 %") != std::wstring::npos; }));
    EXPECT_EQ(L"The battery has 4 % left. Connect the charger.", AnswerBox(next));

    ASSERT_TRUE(SetPowerSource(L"2"));
    EXPECT_FALSE(WaitUntil([] { return LowBatteryBox() != NULL; }, 2000)) << "each level warns once a discharge";
    ExpectInOrder(shell.Output(), {L"Battery low: 9 % left\n", L"Battery low: 4 % left\n"});
    EXPECT_EQ(std::wstring::npos, shell.Output().find(L"Battery low: 2 %"));
}

}  // namespace
