#include "theme/theme_parts.h"

#include "theme/start_menu_layout.h"

namespace {

// The shell stretches one column of the bar and of the task buttons' fill, uses 18 columns
// of the up face's left part (its icon and the title's start) and only 4 of the pressed one's.
const int TASK_BUTTON_LEFT_UP_CX = 18, TASK_BUTTON_LEFT_DOWN_CX = 4, TASK_BUTTON_CAP_CX = 4;

SIZE BarColumn(const ShellSettings& s) { return SIZE{1, s.taskbarHeight}; }
SIZE StartButton(const ShellSettings& s) { return SIZE{s.taskbarStartButtonCX, s.taskbarHeight}; }
SIZE Clock(const ShellSettings& s) { return SIZE{s.taskbarClockCX, s.taskbarHeight}; }
SIZE ButtonUpLeft(const ShellSettings& s) { return SIZE{TASK_BUTTON_LEFT_UP_CX, s.taskbarButtonHeight}; }
SIZE ButtonDownLeft(const ShellSettings& s) { return SIZE{TASK_BUTTON_LEFT_DOWN_CX, s.taskbarButtonHeight}; }
SIZE ButtonFill(const ShellSettings& s) { return SIZE{1, s.taskbarButtonHeight}; }
SIZE ButtonCap(const ShellSettings& s) { return SIZE{TASK_BUTTON_CAP_CX, s.taskbarButtonHeight}; }
SIZE MenuBack(const ShellSettings& s) { return SIZE{s.startWidth, s.startHeight}; }
SIZE AnySize(const ShellSettings&) { return SIZE{0, 0}; }  // scaled into its box
SIZE NotifyIcon(const ShellSettings& s) { return SIZE{s.taskbarNotifyIconSize, s.taskbarNotifyIconSize}; }

// A face is copied at its item's size.
SIZE FaceOf(const ShellSettings& s, int item)
{
    const LayoutItem place = StartMenuLayout(s)[item];
    return SIZE{static_cast<LONG>(place.cx), static_cast<LONG>(place.cy)};
}
SIZE SideFace(const ShellSettings& s) { return FaceOf(s, ITEM_FIRST_SIDE); }
SIZE ExitFace(const ShellSettings& s) { return FaceOf(s, ITEM_EXIT); }
SIZE AllProgramsFace(const ShellSettings& s) { return FaceOf(s, ITEM_ALL_PROGRAMS); }
SIZE ShortcutFace(const ShellSettings& s) { return FaceOf(s, ITEM_FIRST_SHORTCUT); }

const ThemeUser BAR = ThemeUser::Taskbar, BUTTONS = ThemeUser::TaskButtons, BATTERY = ThemeUser::Battery,
                MENU = ThemeUser::StartMenu;

}  // namespace

const ThemePart THEME_PARTS[THEME_PART_COUNT] = {
    {L"TASKBAR", BAR, true, BarColumn},
    {L"STARTBUTTONU", BAR, true, StartButton},
    {L"STARTBUTTOND", BAR, true, StartButton},
    {L"TASKBARCLK", BAR, true, Clock},
    {L"TBTNU0", BUTTONS, true, ButtonUpLeft},
    {L"TBTNU1", BUTTONS, true, ButtonFill},
    {L"TBTNU2", BUTTONS, true, ButtonCap},
    {L"TBTND0", BUTTONS, true, ButtonDownLeft},
    {L"TBTND1", BUTTONS, true, ButtonFill},
    {L"TBTND2", BUTTONS, true, ButtonCap},
    // Without its face, the battery draws that face as a plain gauge.
    {L"BATTERY0", BATTERY, false, NotifyIcon},
    {L"BATTERY1", BATTERY, false, NotifyIcon},
    {L"BATTERY2", BATTERY, false, NotifyIcon},
    {L"BATTERY3", BATTERY, false, NotifyIcon},
    {L"BATTERY4", BATTERY, false, NotifyIcon},
    {L"BATTERYCHARGE", BATTERY, false, NotifyIcon},
    {L"STARTBACK", MENU, true, MenuBack},
    {NULL, MENU, false, AnySize},
    {L"SIDE0U", MENU, true, SideFace},
    {L"SIDE0D", MENU, true, SideFace},
    {L"SIDE1U", MENU, true, SideFace},
    {L"SIDE1D", MENU, true, SideFace},
    {L"SIDE2U", MENU, true, SideFace},
    {L"SIDE2D", MENU, true, SideFace},
    {L"SIDE3U", MENU, true, SideFace},
    {L"SIDE3D", MENU, true, SideFace},
    {L"SIDE4U", MENU, true, SideFace},
    {L"SIDE4D", MENU, true, SideFace},
    {L"SIDE5U", MENU, true, SideFace},
    {L"SIDE5D", MENU, true, SideFace},
    {L"SIDE6U", MENU, true, SideFace},
    {L"SIDE6D", MENU, true, SideFace},
    {L"SIDE7U", MENU, true, SideFace},
    {L"SIDE7D", MENU, true, SideFace},
    {L"EXITBTNU", MENU, true, ExitFace},
    {L"EXITBTND", MENU, true, ExitFace},
    {L"ALLPROGRAMSU", MENU, true, AllProgramsFace},
    {L"ALLPROGRAMSD", MENU, true, AllProgramsFace},
    {L"MAINU", MENU, true, ShortcutFace},
    {L"MAIND", MENU, true, ShortcutFace},
};
