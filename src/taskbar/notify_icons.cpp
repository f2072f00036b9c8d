#include "taskbar/notify_icons.h"

#include <shellapi.h>
#include <strsafe.h>

#include "core/log.h"

namespace {

NotifyIcon icons[NOTIFY_ICON_SLOTS];  // in the order they came
int iconCount;
// The icons whose owner a tick's enumeration has passed: asking the system of another
// process's window costs far more than the comparison.
bool ownerNoted[NOTIFY_ICON_SLOTS];
bool fullLogged;  // the table's refusal is logged once until it has room again

const LPCWSTR REFUSAL_TEXTS[] = {L"", L"shorter than its header", L"not the size its header gives",
                                 L"an icon that cannot be made", L"an unknown operation"};
static_assert(ARRAYSIZE(REFUSAL_TEXTS) == NOTIFY_BAD_OPERATION + 1, "a text for every refusal");

int FindIcon(HWND owner, UINT id)
{
    for (int i = 0; i < iconCount; ++i)
        if (icons[i].owner == owner && icons[i].id == id) return i;
    return -1;
}

void RemoveIcon(int position)
{
    if (icons[position].icon) DestroyIcon(icons[position].icon);
    for (int i = position; i + 1 < iconCount; ++i) {
        icons[i] = icons[i + 1];
        ownerNoted[i] = ownerNoted[i + 1];
    }
    icons[--iconCount] = NotifyIcon{};
    ownerNoted[iconCount] = false;
    fullLogged = false;
}

// The given fields of the record; the icon is taken.
unsigned ModifyIcon(int position, NotifyRecord* record)
{
    NotifyIcon& icon = icons[position];
    unsigned changes = 0;
    if (record->flags & NIF_MESSAGE) icon.callbackMessage = record->callbackMessage;
    if (record->flags & NIF_ICON) {
        if (icon.icon) DestroyIcon(icon.icon);
        icon.icon = record->icon;
        record->icon = NULL;
        changes |= NOTIFY_ICON_REDRAWN;
    }
    if (record->flags & NIF_TIP) {
        StringCchCopyW(icon.tip, NOTIFY_TIP_CHARS, record->tip);
        changes |= NOTIFY_TIP_CHANGED;
    }
    return changes;
}

NotifyOutcome AddIcon(NotifyRecord* record)
{
    if (!IsWindow(record->owner)) {
        LogErrorF(L"Notify icon refused: 0x%08x is not a window", LoggedHandle(record->owner));
        return NotifyOutcome{FALSE, 0, -1};
    }
    if (iconCount == NOTIFY_ICON_SLOTS) {
        if (!fullLogged)
            LogErrorF(L"Notify icon refused: the area holds %d icons already (window 0x%08x, id %u)",
                      NOTIFY_ICON_SLOTS, LoggedHandle(record->owner), record->id);
        fullLogged = true;
        return NotifyOutcome{FALSE, 0, -1};
    }
    const int position = iconCount++;
    icons[position] = NotifyIcon{};
    icons[position].owner = record->owner;
    icons[position].id = record->id;
    ModifyIcon(position, record);
    return NotifyOutcome{TRUE, NOTIFY_ICONS_MOVED, position};
}

void PostToOwner(const NotifyIcon& icon, UINT mouseMessage, POINT point)
{
    if (icon.version >= NOTIFY_VERSION_POINT)
        PostMessageW(icon.owner, icon.callbackMessage, MAKEWPARAM(point.x, point.y),
                     MAKELPARAM(mouseMessage, icon.id));
    else
        PostMessageW(icon.owner, icon.callbackMessage, icon.id, mouseMessage);
}

}  // namespace

void ResetNotifyIcons()
{
    while (iconCount) RemoveIcon(iconCount - 1);
}

NotifyOutcome ApplyNotifyRecord(NotifyRecord* record)
{
    if (record->refusal != NOTIFY_DECODED) {
        LogErrorF(L"Notify icon call refused: %ls (%lu bytes)", REFUSAL_TEXTS[record->refusal], record->bytes);
        return NotifyOutcome{FALSE, 0, -1};
    }
    const int position = FindIcon(record->owner, record->id);
    if (record->operation == NOTIFY_ADD && position < 0) return AddIcon(record);
    if (position < 0) return NotifyOutcome{FALSE, 0, -1};
    switch (record->operation) {
    case NOTIFY_DELETE:
        RemoveIcon(position);
        return NotifyOutcome{TRUE, NOTIFY_ICONS_MOVED, position};
    case NOTIFY_SET_VERSION:
        icons[position].version = record->version;
        return NotifyOutcome{TRUE, 0, position};
    default:  // a modify, or an add of an icon already there
        return NotifyOutcome{TRUE, ModifyIcon(position, record), position};
    }
}

void NoteStandingWindow(HWND window)
{
    for (int i = 0; i < iconCount; ++i)
        if (icons[i].owner == window) ownerNoted[i] = true;
}

unsigned DropIconsOfGoneOwners()
{
    unsigned changes = 0;
    for (int i = iconCount - 1; i >= 0; --i) {
        const bool noted = ownerNoted[i];
        ownerNoted[i] = false;
        if (noted || IsWindow(icons[i].owner)) continue;
        RemoveIcon(i);
        changes = NOTIFY_ICONS_MOVED;
    }
    return changes;
}

int NotifyIconCount() { return iconCount; }

const NotifyIcon& CurrentNotifyIcon(int position) { return icons[position]; }

void TellNotifyIconOwner(int position, NotifyGesture gesture, POINT point)
{
    if (position < 0 || position >= iconCount || !icons[position].callbackMessage) return;
    const NotifyIcon& icon = icons[position];
    LetWindowTakeForeground(icon.owner);
    const bool newer = icon.version >= NOTIFY_VERSION_SELECT;
    switch (gesture) {
    case NOTIFY_TAP:
    case NOTIFY_DOUBLE_TAP:
        PostToOwner(icon, gesture == NOTIFY_TAP ? WM_LBUTTONDOWN : WM_LBUTTONDBLCLK, point);
        PostToOwner(icon, WM_LBUTTONUP, point);
        if (newer) PostToOwner(icon, NIN_SELECT, point);
        break;
    case NOTIFY_HOLD:
        PostToOwner(icon, WM_RBUTTONDOWN, point);
        PostToOwner(icon, WM_RBUTTONUP, point);
        if (newer) PostToOwner(icon, WM_CONTEXTMENU, point);
        break;
    }
}

void FormatIconHandOverPath(DWORD handingProcessId, WCHAR (&path)[MAX_PATH])
{
    WCHAR folder[MAX_PATH] = L"";
    const DWORD length = GetTempPathW(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH) folder[0] = L'\0';
    StringCchPrintfW(path, MAX_PATH, L"%lszorv-icons-%lu.bin", folder, handingProcessId);
}

int SaveNotifyIcons(LPCWSTR path)
{
    std::vector<NotifyRecord> records(iconCount);
    std::vector<const NotifyRecord*> pointers;
    for (int i = 0; i < iconCount; ++i) {
        const NotifyIcon& icon = icons[i];
        NotifyRecord& record = records[i];
        record.operation = NOTIFY_ADD;
        record.owner = icon.owner;
        record.id = icon.id;
        record.flags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        record.callbackMessage = icon.callbackMessage;
        record.icon = icon.icon;  // still the table's
        StringCchCopyW(record.tip, NOTIFY_TIP_CHARS, icon.tip);
        pointers.push_back(&record);
    }
    return WriteNotifyRecords(path, pointers);
}

int RestoreNotifyIcons(LPCWSTR path)
{
    std::vector<NotifyRecordPtr> records;
    if (ReadNotifyRecords(path, &records) != 0) return 0;
    DeleteFileW(path);
    int added = 0;
    for (NotifyRecordPtr& record : records)
        if (IsWindow(record->owner) && ApplyNotifyRecord(record.get()).answer) ++added;
    return added;
}
