// Notification area rows, with icons of another process's windows: a program's call that
// gives the sixteenth icon a new picture, to that picture on the screen, beside a bare window
// that receives the same bytes and draws the one icon; the same through the shell library; the
// add and delete of the sixteenth icon; and the taskbar's tick with sixteen icons beside the
// bare pass over the windows.
#include <windows.h>

#include <shellapi.h>
#include <stdio.h>
#include <string.h>

#include <functional>
#include <string>
#include <vector>

#include "bench_support.h"
#include "gfx/button_manager.h"
#include "gfx/gdi_scope.h"
#include "icon_calls.h"
#include "taskbar/notify_area.h"
#include "taskbar/notify_icons.h"

namespace {

const int TICKS = 51;
const int CALLS = 51;
const int ADDS = 21;
const double PAINT_TIMEOUT_MS = 1000;
const int LAST = NOTIFY_ICON_SLOTS - 1;  // the sixteenth icon's position
// Opaque colours the screen keeps exactly: the fifteen icons before the sixteenth, and the
// sixteenth's two pictures, which each call swaps.
const COLORREF OTHER_ICONS = RGB(0, 255, 0);
const COLORREF FACES[2] = {RGB(255, 0, 0), RGB(0, 0, 255)};

// The bare receiver of the calls: a row of icons in the order they came, each made from its
// record's bits. A change draws its icon into the window DC; an add or a delete, after which
// the icons behind it move, draws the row again. The record's header is 960 bytes: the owner
// and the id its first 8, the icon's width, height, planes and bits per pixel its last 16;
// the mask's bits follow, then the colour's. It reads only the benchmark's own records.
const WCHAR BARE_TRAY_CLASS[] = L"ZorvBenchBareTray";
const size_t RECORD_HEADER_BYTES = 960;
struct BareIcon {
    DWORD owner, id;
    HICON icon;
};
std::vector<BareIcon> bareIcons;
int bareSize, bareStep;  // as the bar's icons

void DrawBareIcon(HDC dc, size_t position)
{
    DrawIconEx(dc, static_cast<int>(position) * bareStep, 0, bareIcons[position].icon, bareSize, bareSize, 0, NULL,
               DI_NORMAL);
}

void DrawBareRow(HDC dc)
{
    const RECT all = {0, 0, NOTIFY_ICON_SLOTS * bareStep, bareSize};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    for (size_t i = 0; i < bareIcons.size(); ++i) DrawBareIcon(dc, i);
}

HICON BareIconOf(const BYTE* record)
{
    DWORD format[4];
    memcpy(format, record + RECORD_HEADER_BYTES - sizeof format, sizeof format);
    const BYTE* mask = record + RECORD_HEADER_BYTES;
    const DWORD maskBytes = (format[0] + 15) / 16 * 2 * format[1];
    return CreateIcon(NULL, format[0], format[1], static_cast<BYTE>(format[2]), static_cast<BYTE>(format[3]), mask,
                      mask + maskBytes);
}

BOOL ReceiveBareCall(HWND window, const COPYDATASTRUCT& data)
{
    const BYTE* record = static_cast<const BYTE*>(data.lpData);
    DWORD key[2];
    memcpy(key, record, sizeof key);
    size_t at = 0;
    while (at < bareIcons.size() && (bareIcons[at].owner != key[0] || bareIcons[at].id != key[1])) ++at;
    const bool found = at < bareIcons.size();
    if (data.dwData == NIM_ADD && !found) {
        bareIcons.push_back(BareIcon{key[0], key[1], BareIconOf(record)});
    } else if (!found) {
        return FALSE;
    } else if (data.dwData == NIM_DELETE) {
        DestroyIcon(bareIcons[at].icon);
        bareIcons.erase(bareIcons.begin() + at);
    } else {
        DestroyIcon(bareIcons[at].icon);
        bareIcons[at].icon = BareIconOf(record);
        DrawBareIcon(ScopedWindowDc(window), at);
        return TRUE;
    }
    DrawBareRow(ScopedWindowDc(window));
    return TRUE;
}

void ReleaseBareIcons()
{
    for (const BareIcon& icon : bareIcons) DestroyIcon(icon.icon);
    bareIcons.clear();
}

LRESULT CALLBACK BareTrayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COPYDATA:
        return ReceiveBareCall(window, *reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_PAINT: {
        PAINTSTRUCT paint;
        DrawBareRow(BeginPaint(window, &paint));
        EndPaint(window, &paint);
        return 0;
    }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// At the top left of the screen, clear of the bar.
HWND CreateBareTray()
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = BareTrayProc;
    windowClass.hInstance = GetModuleHandleW(NULL);
    windowClass.lpszClassName = BARE_TRAY_CLASS;
    RegisterClassW(&windowClass);
    bareSize = Settings.taskbarNotifyIconSize;
    bareStep = Settings.taskbarNotifyIconStep;
    return CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, BARE_TRAY_CLASS, L"",
                           WS_POPUP | WS_VISIBLE, 0, 0, NOTIFY_ICON_SLOTS * bareStep, bareSize, NULL, NULL,
                           windowClass.hInstance, NULL);
}

// Milliseconds from the call until the screen's pixel shows the colour, or with `leaving` no
// longer shows it; -1 when it did not within the timeout. Wine puts a window's drawing on the
// screen when its thread next looks for messages, so the thread's messages are dispatched
// meanwhile, as the shell's loop would.
double MsToPixel(const std::function<void()>& call, POINT pixel, COLORREF colour, bool leaving = false)
{
    const double start = NowMs();
    call();
    while (DispatchPendingMessages(), (ScreenPixel(pixel.x, pixel.y) == colour) == leaving)
        if (NowMs() - start > PAINT_TIMEOUT_MS) return -1;
    return NowMs() - start;
}

// Where one receiver draws the sixteenth icon, and how a call reaches it. Each call gives the
// icon the other picture, so that every call draws.
struct IconPlace {
    POINT pixel;
    int face;

    double MsToNewFace(const std::function<void(int face)>& call)
    {
        face = 1 - face;
        return MsToPixel([&] { call(face); }, pixel, FACES[face]);
    }
};

// The add of the sixteenth icon to its picture on the screen, then its delete until the
// picture has gone; -1 when either did not show.
double MsToAddAndDelete(HWND receiver, const IconCalls& last, POINT pixel)
{
    const double add = MsToPixel([&] { SendIconCall(receiver, last.add); }, pixel, FACES[0]);
    const double remove = MsToPixel([&] { SendIconCall(receiver, last.remove); }, pixel, FACES[0], true);
    return add < 0 || remove < 0 ? -1 : add + remove;
}

// Prints the row; 1, having said so, when the icon did not show on the screen.
int PrintPainted(const char* figure, const char* floor, const Figures& figures)
{
    if (figures.value < 0 || figures.floor < 0) {
        fprintf(stderr, "%s: the icon did not show on the screen\n", figure);
        return 1;
    }
    PrintRow(figure, floor, figures, "ms", RatioAtMost(1.5));
    return 0;
}

// The rows of the pictures, with the bar shown; the bare window is given the same adds.
int BenchIconPictures(HWND tray, HWND owner, const std::vector<IconCalls>& icons, HICON (&faces)[2])
{
    const IconCalls& last = icons.back();
    const IconCall modifies[2] = {RecordIconCall(NIM_MODIFY, owner, LAST, faces[0]),
                                  RecordIconCall(NIM_MODIFY, owner, LAST, faces[1])};
    NOTIFYICONDATAW data[2] = {IconData(owner, LAST, faces[0]), IconData(owner, LAST, faces[1])};
    HWND bare = CreateBareTray();
    SendIconCalls(bare, icons, &IconCalls::add);
    RECT button = {};
    GetButtonRect(TaskbarWindow, FIRST_NOTIFY_BUTTON + LAST, &button);
    POINT barPixel = {(button.left + button.right) / 2, (button.top + button.bottom) / 2};
    ClientToScreen(TaskbarWindow, &barPixel);
    IconPlace bar = {barPixel, 0}, floor = {{LAST * bareStep + bareSize / 2, bareSize / 2}, 0};
    ShowWindow(TaskbarWindow, SW_SHOWNOACTIVATE);
    int failed = 0;
    if (MsToPixel([] {}, bar.pixel, FACES[bar.face]) < 0 || MsToPixel([] {}, floor.pixel, FACES[floor.face]) < 0) {
        fprintf(stderr, "the sixteenth icon is not on the screen\n");
        failed = 1;
    } else {
        failed |= PrintPainted(
            "icon changed to painted, WM_COPYDATA", "bare window, same bytes, DrawIconEx",
            MeasureInTurns(
                CALLS, [&] { return bar.MsToNewFace([&](int face) { SendIconCall(tray, modifies[face]); }); },
                [&] { return floor.MsToNewFace([&](int face) { SendIconCall(bare, modifies[face]); }); }));
        const auto libraryCall = [&](int face) { Shell_NotifyIconW(NIM_MODIFY, &data[face]); };
        failed |= PrintPainted("icon changed to painted, shell library", "same library call, handed to bare window",
                               MeasureInTurns(
                                   CALLS, [&] { return bar.MsToNewFace(libraryCall); },
                                   [&] {
                                       ForwardTrayCalls(bare);
                                       const double ms = floor.MsToNewFace(libraryCall);
                                       ForwardTrayCalls(NULL);
                                       return ms;
                                   }));
        SendIconCall(tray, last.remove);
        SendIconCall(bare, last.remove);
        failed |= PrintPainted("16th icon added and deleted, painted", "bare window, same bytes, row drawn again",
                               MeasureInTurns(
                                   ADDS, [&] { return MsToAddAndDelete(tray, last, bar.pixel); },
                                   [&] { return MsToAddAndDelete(bare, last, floor.pixel); }));
    }
    ShowWindow(TaskbarWindow, SW_HIDE);
    DestroyWindow(bare);
    ReleaseBareIcons();
    return failed;
}

}  // namespace

int BenchNotifyArea()
{
    const HWND tray = OwnTrayWindow();
    std::vector<HWND> owners;
    for (int i = 0; i < TaskCount(); ++i) owners.push_back(CurrentTask(i).window);
    if (!tray || owners.empty()) return 1;
    HICON others = MakeSolidIcon(OTHER_ICONS), faces[2] = {MakeSolidIcon(FACES[0]), MakeSolidIcon(FACES[1])};
    std::vector<IconCalls> icons;
    int failed = 0;
    if (!RecordIcons(owners, LAST, others, &icons)) {
        fprintf(stderr, "the shell library's icon calls cannot be recorded\n");
        failed = 1;
    } else {
        const HWND lastOwner = owners[LAST % owners.size()];
        icons.push_back(IconCalls{RecordIconCall(NIM_ADD, lastOwner, LAST, faces[0]),
                                  RecordIconCall(NIM_DELETE, lastOwner, LAST, NULL)});
        if (SendIconCalls(tray, icons, &IconCalls::add) != NOTIFY_ICON_SLOTS) {
            fprintf(stderr, "the shell took %d of %d icons\n", NotifyIconCount(), NOTIFY_ICON_SLOTS);
            failed = 1;
        } else {
            for (int i = 0; i < 3; ++i) TickTaskbar();
            Figures figures = TimeInTurns(TICKS, TickTaskbar, BarePass);
            PrintRow("tick, no change, " + std::to_string(TaskCount()) + " windows, " +
                         std::to_string(NotifyIconCount()) + " icons",
                     "bare EnumWindows pass, same queries", figures, "ms", RatioAtMost(1.2));
            failed |= BenchIconPictures(tray, lastOwner, icons, faces);
        }
        SendIconCalls(tray, icons, &IconCalls::remove);
    }
    for (HICON icon : {others, faces[0], faces[1]}) DestroyIcon(icon);
    return failed;
}
