#include <gtest/gtest.h>

#include <tuple>

#include "harness.h"
#include "platform/power.h"
#include "taskbar/battery.h"

namespace {

HWND LowBatteryBox() { return FindWindowW(L"#32770", L"Battery low"); }  // the one in front
std::wstring LowBatteryText() { return WindowText(GetDlgItem(LowBatteryBox(), 0xFFFF)); }

// In process, each reading draws another face, or none without a battery. Then the shell,
// started at 9 %, warns; at 4 %, told while that box is open, the bar logs the second warning
// at once, and its box follows the first.
TEST(Battery, ReadsTheSimulatedSourceAndTheShellWarnsAtTenAndAtFivePercentOneBoxAtATime)
{
    WCHAR source[32] = L"";
    GetEnvironmentVariableW(L"ZORV_POWER_SOURCE", source, ARRAYSIZE(source));
    if (wcscmp(source, L"unprivileged") == 0)
        GTEST_SKIP() << "no simulated power source: scripts/test makes one only as root";
    struct DefaultAfter {
        ~DefaultAfter() { SetPowerSource(L"default"); }
    } restore;  // the simulated device's battery, as the next test expects it
    ASSERT_EQ(0, LoadBatteryFaces(GetModuleHandleW(NULL), NULL, ShellSettings{}));  // no faces: the texts only
    const std::tuple<const wchar_t*, PowerStatus, const wchar_t*> cases[] = {
        {L"64 charging", {true, true, true, 64}, L"Battery: 64 %, charging"},
        {L"100 full", {true, false, true, 100}, L"Battery: 100 %"},
        {L"none", {false, false, true, -1}, L"Battery: level unknown"}};
    DWORD now = 1000;
    for (const auto& [arguments, e, tip] : cases) {
        PowerStatus s = {};
        WCHAR text[64] = L"";
        ASSERT_TRUE(SetPowerSource(arguments) && ReadPowerStatus(&s) == 0) << "ZORV_POWER_SOURCE=" << ToUtf8(source);
        EXPECT_EQ(std::make_tuple(e.hasBattery, e.charging, e.onMains, e.percent),
                  std::make_tuple(s.hasBattery, s.charging, s.onMains, s.percent))
            << ToUtf8(arguments);
        EXPECT_TRUE(RefreshBattery(now += 100, true) && BatteryShown() == e.hasBattery);
        FormatBatteryTip(text, ARRAYSIZE(text));
        EXPECT_EQ(std::wstring(tip), text);
    }
    // Not told, the tick keeps the last reading until it is BATTERY_READING_MS old.
    ASSERT_TRUE(SetPowerSource(L"9"));
    EXPECT_FALSE(RefreshBattery(now + BATTERY_READING_MS - 1, false) || BatteryShown());
    EXPECT_TRUE(RefreshBattery(now + BATTERY_READING_MS, false) && BatteryShown());

    TempDirectory home;
    InstallDefaultHome(home.path());
    Shell shell(home.path());
    ASSERT_TRUE(WaitUntil([&] { return LowBatteryText() == L"The battery has 9 % left. Connect the charger."; }, 20000))
        << ToUtf8(shell.Output());
    ASSERT_TRUE(SetPowerSource(L"4") && shell.WaitForOutput(L"Battery low: 4 % left"));
    EXPECT_FALSE(WaitUntil([] { return LowBatteryText() != L"The battery has 9 % left. Connect the charger."; }, 1500))
        << "never a second box on the first";
    AnswerBox(LowBatteryBox());
    EXPECT_TRUE(WaitUntil([&] { return LowBatteryText() == L"The battery has 4 % left. Connect the charger."; }));
}

}  // namespace
