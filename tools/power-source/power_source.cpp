// zorv-power-source: sets the simulated device's power source and tells every top-level
// window that it changed, as the system does (WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE).
//
//   zorv-power-source PERCENT                 a battery at that level, discharging
//   zorv-power-source PERCENT charging|full   the same with the charger connected
//   zorv-power-source none                    no battery, on the mains
//   zorv-power-source default                 as the run starts: 80 %, discharging
//
// Wine 8 answers GetSystemPowerStatus from the Linux power-supply class: a supply of type
// "Mains" gives the line (online), one of type "Battery" whether it charges (status) and its
// level, charge_now over charge_full, each multiplied by voltage_now. scripts/test and
// scripts/run give their Wine processes a tmpfs of their own over /sys/class/power_supply,
// in a private mount namespace; this writes its files (an adapter AC, a battery BAT0)
// through drive Z:. Exit code 0 when set, 1 when the files cannot be written (no simulated
// source: the real power-supply class takes no new files), 2 for bad usage.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "console_output.h"

namespace {

enum { EXIT_FAILED = 1, EXIT_BAD_USAGE = 2, DEFAULT_PERCENT = 80 };

const WCHAR SUPPLIES[] = L"Z:\\sys\\class\\power_supply\\", ADAPTER[] = L"AC", BATTERY[] = L"BAT0";
// In microampere-hours and microvolts, as the kernel gives them.
const long long FULL_CHARGE = 2000000, VOLTAGE = 3800000;

struct PowerSupply {
    int percent;         // -1: no battery
    const char* status;  // the battery's, as the kernel writes it
    bool mains;
};

typedef std::vector<std::pair<std::wstring, std::string>> SupplyFiles;

SupplyFiles BatteryFiles(const PowerSupply& supply)
{
    return {{L"type", "Battery"},
            {L"present", "1"},
            {L"status", supply.status},
            {L"capacity", std::to_string(supply.percent)},
            {L"voltage_now", std::to_string(VOLTAGE)},
            {L"charge_full", std::to_string(FULL_CHARGE)},
            {L"charge_now", std::to_string(FULL_CHARGE * supply.percent / 100)}};
}

bool WriteSupplyFiles(const std::wstring& supply, const SupplyFiles& files)
{
    const std::wstring folder = SUPPLIES + supply + L"\\";
    CreateDirectoryW(folder.c_str(), NULL);  // one that is there already is used as it is
    for (const auto& [name, value] : files) {
        HANDLE file = CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        if (file == INVALID_HANDLE_VALUE) return false;
        const std::string line = value + "\n";
        DWORD written = 0;
        const bool whole =
            WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, NULL) && written == line.size();
        CloseHandle(file);
        if (!whole) return false;
    }
    return true;
}

bool RemoveBattery()
{
    const std::wstring folder = std::wstring(SUPPLIES) + BATTERY;
    for (const auto& file : BatteryFiles({0, "", false})) DeleteFileW((folder + L"\\" + file.first).c_str());
    RemoveDirectoryW(folder.c_str());
    return GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool SetPowerSupply(const PowerSupply& supply)
{
    if (!WriteSupplyFiles(ADAPTER, {{L"type", "Mains"}, {L"online", supply.mains ? "1" : "0"}})) return false;
    return supply.percent < 0 ? RemoveBattery() : WriteSupplyFiles(BATTERY, BatteryFiles(supply));
}

bool ParsePowerSupply(int argc, wchar_t** argv, PowerSupply* supply)
{
    if (argc < 2 || argc > 3) return false;
    const std::wstring level = argv[1], source = argc == 3 ? argv[2] : L"";
    if (level == L"none" || level == L"default") {
        *supply = level == L"none" ? PowerSupply{-1, "", true} : PowerSupply{DEFAULT_PERCENT, "Discharging", false};
        return argc == 2;
    }
    wchar_t* end = NULL;
    const int percent = static_cast<int>(wcstol(level.c_str(), &end, 10));
    if (level.empty() || *end != L'\0' || percent < 0 || percent > 100) return false;
    if (argc == 2)
        *supply = {percent, "Discharging", false};
    else if (source == L"charging" || source == L"full")
        *supply = {percent, source == L"charging" ? "Charging" : "Full", true};
    else
        return false;
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    PowerSupply supply = {};
    if (!ParsePowerSupply(argc, argv, &supply)) {
        WriteUtf8(GetStdHandle(STD_ERROR_HANDLE),
                  L"usage: zorv-power-source PERCENT [charging|full] | none | default\n"
                  L"  sets the simulated device's battery: its level (0..100), discharging, or with the\n"
                  L"  charger connected charging or full; none for no battery on the mains; default for\n"
                  L"  80 %, discharging\n");
        return EXIT_BAD_USAGE;
    }
    if (!SetPowerSupply(supply)) {
        WriteUtf8(GetStdHandle(STD_ERROR_HANDLE),
                  L"zorv-power-source: cannot write " + std::wstring(SUPPLIES) + L": no simulated power source here\n");
        return EXIT_FAILED;
    }
    PostMessageW(HWND_BROADCAST, WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0);
    return 0;
}
