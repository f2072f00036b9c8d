// The device's power source: whether it has a battery, how full it is, whether it charges,
// and how the system tells the shell that any of this changed.
#pragma once
#include <windows.h>

struct PowerStatus {
    bool hasBattery;
    bool charging;
    bool onMains;  // the charger or another external supply is connected
    int percent;   // 0..100, -1 when the battery does not say
};

// Reads the power source now; 0 on success, 1 (and no battery) when the system cannot tell.
// Device: GetSystemPowerStatusEx2(&status, sizeof status, FALSE) fills a
// SYSTEM_POWER_STATUS_EX2 (core library) with the same ACLineStatus, BatteryFlag and
// BatteryLifePercent; FALSE takes the driver's cached values without waking the battery.
int ReadPowerStatus(PowerStatus* status);

// The message a top-level window receives when the power source or the battery's level
// changes, and its wParam for that change.
// Device: the system sends no such message to windows; the power manager's
// RequestPowerNotifications(queue, PBT_POWERSTATUSCHANGE) (pm.h, core library) writes a
// POWER_BROADCAST record into a message queue made by CreateMsgQueue, and the platform layer
// there waits on that queue on a thread of its own and posts this message to the bar.
const UINT POWER_CHANGE_MESSAGE = WM_POWERBROADCAST;
const WPARAM POWER_CHANGE_EVENT = PBT_APMPOWERSTATUSCHANGE;
