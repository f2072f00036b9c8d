#include "platform/power.h"

namespace {

// SYSTEM_POWER_STATUS's values: BatteryFlag bits, ACLineStatus and BatteryLifePercent.
const BYTE BATTERY_CHARGING_FLAG = 8, NO_BATTERY_FLAG = 128;
const BYTE ON_MAINS_LINE = 1, UNKNOWN_PERCENT = 255;

}  // namespace

int ReadPowerStatus(PowerStatus* status)
{
    *status = PowerStatus{false, false, false, -1};
    SYSTEM_POWER_STATUS system = {};
    if (!GetSystemPowerStatus(&system)) return 1;
    status->onMains = system.ACLineStatus == ON_MAINS_LINE;
    // An unknown battery state, 255, has the no-battery bit too: nothing is shown of it.
    status->hasBattery = !(system.BatteryFlag & NO_BATTERY_FLAG);
    if (!status->hasBattery) return 0;
    status->charging = (system.BatteryFlag & BATTERY_CHARGING_FLAG) != 0;
    if (system.BatteryLifePercent != UNKNOWN_PERCENT) status->percent = system.BatteryLifePercent;
    return 0;
}
