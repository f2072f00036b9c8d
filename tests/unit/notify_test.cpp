#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include <vector>

#include "gdi_count.h"
#include "taskbar/notify_icons.h"
#include "test_files.h"

namespace {

// A window no desktop shows, whose messages the test reads.
struct OwnerWindow {
    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
    ~OwnerWindow() { DestroyWindow(window); }
    // The callback messages posted to it: (wParam, lParam) in order.
    std::vector<std::pair<WPARAM, LPARAM>> Posted(UINT message)
    {
        std::vector<std::pair<WPARAM, LPARAM>> posted;
        for (MSG msg; PeekMessageW(&msg, window, 0, 0, PM_REMOVE);)
            if (msg.message == message) posted.emplace_back(msg.wParam, msg.lParam);
        return posted;
    }
};

HICON MakeIcon(int size, BYTE fill)
{
    std::vector<BYTE> mask(size * size / 8, 0), colour(size * size * 4, fill);
    return CreateIcon(NULL, size, size, 1, 32, mask.data(), colour.data());
}

NotifyRecord Call(DWORD operation, HWND owner, UINT id, UINT flags, HICON icon = NULL, const wchar_t* tip = L"")
{
    NotifyRecord record = {};
    record.operation = operation;
    record.owner = owner;
    record.id = id;
    record.flags = flags;
    record.callbackMessage = WM_APP + 3;
    record.icon = icon;
    wcsncpy(record.tip, tip, NOTIFY_TIP_CHARS - 1);
    return record;
}

NotifyRecordPtr Decode(DWORD operation, const std::vector<BYTE>& bytes, size_t size)
{
    return DecodeNotifyCopyData(operation, bytes.data(), static_cast<DWORD>(size));
}

TEST(NotifyRecord, DecodesWhatItEncodesAndRefusesEveryShortLongOrMalformedRecordWithoutReadingPastItsEnd)
{
    OwnerWindow owner;
    HICON icon = MakeIcon(16, 0x80);
    NotifyRecord sent = Call(NOTIFY_ADD, owner.window, 0xFFFFFFFF, NIF_ICON | NIF_MESSAGE | NIF_TIP, icon, L"Sync");
    const std::vector<BYTE> bytes = EncodeNotifyRecord(sent);
    ASSERT_EQ(960u + 32 + 16 * 16 * 4, bytes.size()) << "the header, the mask and the colour bits";
    NotifyRecordPtr got = Decode(NOTIFY_ADD, bytes, bytes.size());
    ASSERT_EQ(NOTIFY_DECODED, got->refusal);
    EXPECT_EQ(owner.window, got->owner);
    EXPECT_EQ(0xFFFFFFFFu, got->id);
    EXPECT_EQ(WM_APP + 3, got->callbackMessage);
    EXPECT_STREQ(L"Sync", got->tip);
    EXPECT_TRUE(got->icon && got->icon != icon) << "the shell's own copy";
    DestroyIcon(icon);

    // Every length short of the whole, and one byte more, is refused; so is an operation
    // that is none of the four.
    std::vector<BYTE> longer = bytes;
    longer.push_back(0);
    for (size_t size = 0; size < bytes.size(); size += size < 970 ? 1 : 37)
        EXPECT_EQ(size < 960 ? NOTIFY_TOO_SHORT : NOTIFY_BAD_SIZE, Decode(NOTIFY_ADD, bytes, size)->refusal) << size;
    EXPECT_EQ(NOTIFY_BAD_SIZE, Decode(NOTIFY_ADD, longer, longer.size())->refusal);
    EXPECT_EQ(NOTIFY_BAD_OPERATION, Decode(3, bytes, bytes.size())->refusal);
    EXPECT_EQ(NOTIFY_TOO_SHORT, DecodeNotifyCopyData(NOTIFY_ADD, NULL, 5000)->refusal);

    // Icon formats no icon has, and a record claiming an icon far larger than it carries.
    const size_t widthAt = 944, bppAt = 956;
    for (auto [at, value] : {std::pair<size_t, DWORD>{widthAt, 300}, {bppAt, 3}, {widthAt + 8, 2}}) {
        std::vector<BYTE> spoiled = bytes;
        memcpy(&spoiled[at], &value, sizeof value);
        EXPECT_EQ(NOTIFY_BAD_ICON, Decode(NOTIFY_ADD, spoiled, spoiled.size())->refusal) << at;
    }
    std::vector<BYTE> huge = bytes;
    const DWORD side = 256;
    memcpy(&huge[widthAt], &side, 4), memcpy(&huge[widthAt + 4], &side, 4);
    EXPECT_EQ(NOTIFY_BAD_SIZE, Decode(NOTIFY_ADD, huge, huge.size())->refusal);

    // A tip without its terminator is cut to one.
    std::vector<BYTE> unterminated = EncodeNotifyRecord(Call(NOTIFY_MODIFY, owner.window, 1, NIF_TIP));
    for (size_t at = 16; at < 16 + 256; at += 2) unterminated[at] = 'x', unterminated[at + 1] = 0;
    NotifyRecordPtr cut = Decode(NOTIFY_MODIFY, unterminated, unterminated.size());
    ASSERT_EQ(NOTIFY_DECODED, cut->refusal);
    EXPECT_EQ(NOTIFY_TIP_CHARS - 1, static_cast<int>(wcslen(cut->tip)));
}

TEST(NotifyIcons, AddsModifiesAndDeletesByWindowAndIdRefusesTheSeventeenthOnceLoggedAndDropsIconsOfGoneOwners)
{
    LogCapture log;
    ResetNotifyIcons();
    OwnerWindow first, second;
    const int gdiBefore = CountGdiObjects();
    const auto apply = [](NotifyRecord record) { return ApplyNotifyRecord(&record); };

    EXPECT_FALSE(apply(Call(NOTIFY_MODIFY, first.window, 1, NIF_TIP, NULL, L"x")).answer) << "a modify never adds";
    EXPECT_EQ(0, NotifyIconCount());
    NotifyOutcome added = apply(Call(NOTIFY_ADD, first.window, 1, NIF_MESSAGE | NIF_ICON, MakeIcon(16, 1)));
    EXPECT_TRUE(added.answer && added.changes == NOTIFY_ICONS_MOVED);
    // A second add of the same window and id changes it in its place.
    NotifyOutcome again = apply(Call(NOTIFY_ADD, first.window, 1, NIF_TIP, NULL, L"Again"));
    EXPECT_TRUE(again.answer && again.changes == NOTIFY_TIP_CHANGED && again.position == 0);
    EXPECT_EQ(1, NotifyIconCount());
    EXPECT_STREQ(L"Again", CurrentNotifyIcon(0).tip);
    EXPECT_EQ(NOTIFY_ICON_REDRAWN, apply(Call(NOTIFY_MODIFY, first.window, 1, NIF_ICON, MakeIcon(16, 2))).changes);
    EXPECT_FALSE(apply(Call(NOTIFY_ADD, reinterpret_cast<HWND>(0x7FFF0), 2, 0)).answer) << "not a window";

    for (UINT id = 2; id <= NOTIFY_ICON_SLOTS; ++id)
        EXPECT_TRUE(apply(Call(NOTIFY_ADD, second.window, id, NIF_ICON, MakeIcon(16, 3))).answer) << id;
    const size_t linesBefore = log.lines.size();
    NotifyRecord seventeenth = Call(NOTIFY_ADD, second.window, 99, NIF_ICON, MakeIcon(16, 4));
    EXPECT_FALSE(ApplyNotifyRecord(&seventeenth).answer);
    EXPECT_FALSE(apply(Call(NOTIFY_ADD, second.window, 100, 0)).answer);
    EXPECT_EQ(linesBefore + 1, log.lines.size()) << "the full area logged once";
    DestroyIcon(seventeenth.icon);  // a refused call leaves its icon to the caller

    EXPECT_TRUE(apply(Call(NOTIFY_DELETE, second.window, 2, 0)).answer);
    EXPECT_FALSE(apply(Call(NOTIFY_DELETE, second.window, 2, 0)).answer);
    EXPECT_EQ(first.window, CurrentNotifyIcon(0).owner);
    EXPECT_EQ(3u, CurrentNotifyIcon(1).id) << "the rest keep their order";

    DestroyWindow(second.window);
    EXPECT_EQ(NOTIFY_ICONS_MOVED, DropIconsOfGoneOwners());
    EXPECT_EQ(1, NotifyIconCount());
    EXPECT_EQ(0u, DropIconsOfGoneOwners());
    ResetNotifyIcons();
    EXPECT_EQ(gdiBefore, CountGdiObjects()) << "every icon the table took is destroyed";
}

TEST(NotifyIcons, TellTheOwnerEachGestureInTheFormOfItsVersionAndComeBackFromAHandOver)
{
    ResetNotifyIcons();
    OwnerWindow owner;
    NotifyRecord add = Call(NOTIFY_ADD, owner.window, 7, NIF_MESSAGE | NIF_ICON | NIF_TIP, MakeIcon(16, 9), L"Seven");
    ASSERT_TRUE(ApplyNotifyRecord(&add).answer);
    const POINT at = {700, 460};
    using Posts = std::vector<std::pair<WPARAM, LPARAM>>;
    TellNotifyIconOwner(0, NOTIFY_TAP, at);
    EXPECT_EQ((Posts{{7, WM_LBUTTONDOWN}, {7, WM_LBUTTONUP}}), owner.Posted(WM_APP + 3));
    TellNotifyIconOwner(0, NOTIFY_DOUBLE_TAP, at);
    EXPECT_EQ((Posts{{7, WM_LBUTTONDBLCLK}, {7, WM_LBUTTONUP}}), owner.Posted(WM_APP + 3));
    TellNotifyIconOwner(0, NOTIFY_HOLD, at);
    EXPECT_EQ((Posts{{7, WM_RBUTTONDOWN}, {7, WM_RBUTTONUP}}), owner.Posted(WM_APP + 3));
    NotifyRecord version = Call(NOTIFY_SET_VERSION, owner.window, 7, 0);
    version.version = NOTIFY_VERSION_POINT;
    ASSERT_TRUE(ApplyNotifyRecord(&version).answer);
    TellNotifyIconOwner(0, NOTIFY_HOLD, at);
    const WPARAM point = MAKEWPARAM(at.x, at.y);
    EXPECT_EQ((Posts{{point, MAKELPARAM(WM_RBUTTONDOWN, 7)}, {point, MAKELPARAM(WM_RBUTTONUP, 7)},
                     {point, MAKELPARAM(WM_CONTEXTMENU, 7)}}),
              owner.Posted(WM_APP + 3));

    // The table goes to a file and comes back from it, once.
    WCHAR path[MAX_PATH];
    FormatIconHandOverPath(GetCurrentProcessId(), path);
    ASSERT_EQ(0, SaveNotifyIcons(path));
    ResetNotifyIcons();
    EXPECT_EQ(1, RestoreNotifyIcons(path));
    EXPECT_STREQ(L"Seven", CurrentNotifyIcon(0).tip);
    EXPECT_EQ(0, RestoreNotifyIcons(path)) << "the file is read once";
    ResetNotifyIcons();
}

}  // namespace
