#include "theme/start_menu_layout.h"

namespace {

std::wstring Describe(int index, const LayoutItem& item)
{
    return LayoutItemName(index) + L" (" + std::to_wstring(item.x) + L", " + std::to_wstring(item.y) + L", " +
           std::to_wstring(item.cx) + L" x " + std::to_wstring(item.cy) + L")";
}

bool HasArea(const LayoutItem& item) { return item.cx > 0 && item.cy > 0; }

bool Overlap(const LayoutItem& a, const LayoutItem& b)
{
    return a.x < b.x + b.cx && b.x < a.x + a.cx && a.y < b.y + b.cy && b.y < a.y + a.cy;
}

}  // namespace

StartMenuPlaces StartMenuLayout(const ShellSettings& s)
{
    StartMenuPlaces items;
    for (int i = 0; i < MENU_SHORTCUT_COUNT; ++i)
        items[ITEM_FIRST_SHORTCUT + i] = {s.startShortcutX, s.startShortcutY + 1LL * s.startShortcutStep * i,
                                          s.startShortcutCX, s.startShortcutCY};
    for (int i = 0; i < SIDE_ITEM_COUNT; ++i)
        items[ITEM_FIRST_SIDE + i] = {s.startSideX, s.startSideY[i], s.startSideCX, s.startSideCY};
    items[ITEM_ALL_PROGRAMS] = {s.startAllProgramsX, s.startAllProgramsY, s.startAllProgramsCX, s.startAllProgramsCY};
    items[ITEM_EXIT] = {s.startExitX, s.startExitY, s.startExitCX, s.startExitCY};
    items[ITEM_USER_ICON] = {s.startIconX, s.startIconY, s.startIconCX, s.startIconCY};
    items[ITEM_USER_NAME] = {s.startUserNameX, s.startUserNameY, s.startUserNameCX, s.startUserNameCY};
    return items;
}

std::wstring LayoutItemName(int item)
{
    if (item < ITEM_FIRST_SIDE) return L"Shortcut" + std::to_wstring(item - ITEM_FIRST_SHORTCUT);
    if (item < ITEM_ALL_PROGRAMS) return L"Side" + std::to_wstring(item - ITEM_FIRST_SIDE);
    const LPCWSTR names[] = {L"AllPrograms", L"Exit", L"UserIcon", L"UserName"};
    return names[item - ITEM_ALL_PROGRAMS];
}

std::vector<std::wstring> CheckStartMenuLayout(const StartMenuPlaces& items, SIZE menu)
{
    std::vector<std::wstring> lines;
    const std::wstring menuSize = std::to_wstring(menu.cx) + L" x " + std::to_wstring(menu.cy);
    for (int i = 0; i < START_MENU_ITEM_COUNT; ++i) {
        const LayoutItem& item = items[i];
        if (!HasArea(item)) {
            lines.push_back(Describe(i, item) + L" has no area");
            continue;
        }
        if (item.x < 0 || item.y < 0 || item.x + item.cx > menu.cx || item.y + item.cy > menu.cy)
            lines.push_back(Describe(i, item) + L" reaches outside the " + menuSize + L" menu");
        for (int j = 0; j < i; ++j)
            if (HasArea(items[j]) && Overlap(item, items[j]))
                lines.push_back(Describe(i, item) + L" overlaps " + Describe(j, items[j]));
    }
    return lines;
}
