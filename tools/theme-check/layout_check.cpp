#include "layout_check.h"

namespace {

LayoutItem Item(const std::wstring& name, int x, int y, int cx, int cy) { return {name, RECT{x, y, x + cx, y + cy}}; }

std::wstring Describe(const LayoutItem& item)
{
    const RECT& r = item.rect;
    return item.name + L" (" + std::to_wstring(r.left) + L", " + std::to_wstring(r.top) + L", " +
           std::to_wstring(r.right - r.left) + L" x " + std::to_wstring(r.bottom - r.top) + L")";
}

}  // namespace

std::vector<LayoutItem> StartMenuLayout(const ShellSettings& s)
{
    std::vector<LayoutItem> items;
    items.reserve(MENU_SHORTCUT_COUNT + SIDE_ITEM_COUNT + 4);
    for (int i = 0; i < MENU_SHORTCUT_COUNT; ++i)
        items.push_back(Item(L"Shortcut" + std::to_wstring(i), s.startShortcutX, s.startShortcutY + s.startShortcutStep * i,
                             s.startShortcutCX, s.startShortcutCY));
    for (int i = 0; i < SIDE_ITEM_COUNT; ++i)
        items.push_back(Item(L"Side" + std::to_wstring(i), s.startSideX, s.startSideY[i], s.startSideCX, s.startSideCY));
    items.push_back(Item(L"AllPrograms", s.startAllProgramsX, s.startAllProgramsY, s.startAllProgramsCX,
                         s.startAllProgramsCY));
    items.push_back(Item(L"Exit", s.startExitX, s.startExitY, s.startExitCX, s.startExitCY));
    items.push_back(Item(L"UserIcon", s.startIconX, s.startIconY, s.startIconCX, s.startIconCY));
    items.push_back(Item(L"UserName", s.startUserNameX, s.startUserNameY, s.startUserNameCX, s.startUserNameCY));
    return items;
}

std::vector<std::wstring> CheckStartMenuLayout(const std::vector<LayoutItem>& items, SIZE menu)
{
    std::vector<std::wstring> lines;
    const RECT menuRect = {0, 0, menu.cx, menu.cy};
    const std::wstring menuSize = std::to_wstring(menu.cx) + L" x " + std::to_wstring(menu.cy);
    for (size_t i = 0; i < items.size(); ++i) {
        const RECT& r = items[i].rect;
        if (IsRectEmpty(&r)) {
            lines.push_back(Describe(items[i]) + L" has no area");
            continue;
        }
        RECT inside;
        if (!IntersectRect(&inside, &r, &menuRect) || !EqualRect(&inside, &r))
            lines.push_back(Describe(items[i]) + L" reaches outside the " + menuSize + L" menu");
        for (size_t j = 0; j < i; ++j) {
            RECT common;
            if (IntersectRect(&common, &r, &items[j].rect))
                lines.push_back(Describe(items[i]) + L" overlaps " + Describe(items[j]));
        }
    }
    return lines;
}
