#include "gfx/layout_check.h"

namespace {

std::wstring Describe(const LayoutItem& item)
{
    return item.name + L" (" + std::to_wstring(item.x) + L", " + std::to_wstring(item.y) + L", " +
           std::to_wstring(item.cx) + L" x " + std::to_wstring(item.cy) + L")";
}

bool HasArea(const LayoutItem& item) { return item.cx > 0 && item.cy > 0; }

bool Overlap(const LayoutItem& a, const LayoutItem& b)
{
    return a.x < b.x + b.cx && b.x < a.x + a.cx && a.y < b.y + b.cy && b.y < a.y + a.cy;
}

}  // namespace

std::vector<LayoutItem> StartMenuLayout(const ShellSettings& s)
{
    std::vector<LayoutItem> items;
    items.reserve(MENU_SHORTCUT_COUNT + SIDE_ITEM_COUNT + 4);
    for (int i = 0; i < MENU_SHORTCUT_COUNT; ++i)
        items.push_back({L"Shortcut" + std::to_wstring(i), s.startShortcutX,
                         s.startShortcutY + 1LL * s.startShortcutStep * i, s.startShortcutCX, s.startShortcutCY});
    for (int i = 0; i < SIDE_ITEM_COUNT; ++i)
        items.push_back({L"Side" + std::to_wstring(i), s.startSideX, s.startSideY[i], s.startSideCX, s.startSideCY});
    items.push_back({L"AllPrograms", s.startAllProgramsX, s.startAllProgramsY, s.startAllProgramsCX,
                     s.startAllProgramsCY});
    items.push_back({L"Exit", s.startExitX, s.startExitY, s.startExitCX, s.startExitCY});
    items.push_back({L"UserIcon", s.startIconX, s.startIconY, s.startIconCX, s.startIconCY});
    items.push_back({L"UserName", s.startUserNameX, s.startUserNameY, s.startUserNameCX, s.startUserNameCY});
    return items;
}

std::vector<std::wstring> CheckStartMenuLayout(const std::vector<LayoutItem>& items, SIZE menu)
{
    std::vector<std::wstring> lines;
    const std::wstring menuSize = std::to_wstring(menu.cx) + L" x " + std::to_wstring(menu.cy);
    for (size_t i = 0; i < items.size(); ++i) {
        const LayoutItem& item = items[i];
        if (!HasArea(item)) {
            lines.push_back(Describe(item) + L" has no area");
            continue;
        }
        if (item.x < 0 || item.y < 0 || item.x + item.cx > menu.cx || item.y + item.cy > menu.cy)
            lines.push_back(Describe(item) + L" reaches outside the " + menuSize + L" menu");
        for (size_t j = 0; j < i; ++j)
            if (HasArea(items[j]) && Overlap(item, items[j]))
                lines.push_back(Describe(item) + L" overlaps " + Describe(items[j]));
    }
    return lines;
}
