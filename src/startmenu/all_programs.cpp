#include "startmenu/all_programs.h"

#include <strsafe.h>

#include "core/log.h"
#include "core/shell_text.h"
#include "launch/program_launch.h"
#include "resource.h"

namespace {

enum { HEADING_CHARS = 64 };

const WCHAR APPLICATION_FOLDER[] = L"\u30A2\u30D7\u30EA";  // アプリ
// The device's volumes and their headings' texts.
const struct {
    LPCWSTR root;
    UINT headingId;
} DEVICE_VOLUMES[] = {{L"\\NAND3", IDS_NAND3_HEADING}, {L"\\Storage Card", IDS_SD_CARD_HEADING}};
const UINT POPUP_FLAGS = TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_RETURNCMD;

ApplicationPaths applicationPaths;  // one popup's worth, on the UI thread only

bool IsApplicationFolder(const WIN32_FIND_DATAW& found)
{
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    // Desktop directory searches report the folder itself and its parent.
    return wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0;
}

// Appends one volume's folders; true when it had any.
bool AppendVolume(HMENU menu, const ApplicationVolume& volume, bool separate, ApplicationPaths* paths)
{
    WCHAR pattern[MAX_PATH];
    if (FAILED(StringCchPrintfW(pattern, MAX_PATH, L"%ls\\%ls\\*.*", volume.root, APPLICATION_FOLDER))) return false;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return false;  // no such volume or folder
    bool any = false;
    do {
        if (!IsApplicationFolder(found) || paths->count >= MAX_APPLICATIONS) continue;
        LPWSTR path = paths->path[paths->count];
        if (FAILED(StringCchPrintfW(path, MAX_PATH, L"%ls\\%ls\\%ls\\AppMain.exe", volume.root, APPLICATION_FOLDER,
                                    found.cFileName)))
            continue;  // a name too long for a path is left out
        if (!any) {
            if (separate) AppendMenuW(menu, MF_SEPARATOR, 0, NULL);
            AppendMenuW(menu, MF_GRAYED, 0, volume.heading);
            any = true;
        }
        ++paths->count;
        AppendMenuW(menu, MF_STRING, paths->count, found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return any;
}

// Queues the Down presses that take a menu's keyboard selection to its first item that can
// be chosen: the menu's loop reads them as soon as it runs, and steps over separators only.
void QueueSelectionOfFirstChoice(HWND owner, HMENU menu)
{
    int presses = 0;
    MENUITEMINFOW item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_TYPE | MIIM_STATE;
    for (UINT i = 0; GetMenuItemInfoW(menu, i, TRUE, &item); ++i, item.cch = 0) {
        if (item.fType & MFT_SEPARATOR) continue;
        ++presses;
        if (!(item.fState & MFS_DISABLED)) break;
    }
    for (int i = 0; i < presses; ++i) PostMessageW(owner, WM_KEYDOWN, VK_DOWN, 0);
}

}  // namespace

void AppendApplicationItems(HMENU menu, const ApplicationVolume* volumes, int volumeCount, ApplicationPaths* paths)
{
    paths->count = 0;
    bool anyBefore = false;
    for (int i = 0; i < volumeCount; ++i)
        if (AppendVolume(menu, volumes[i], anyBefore, paths)) anyBefore = true;
}

int ShowAllProgramsMenu(HWND owner, HINSTANCE instance, POINT anchor, bool selectFirst)
{
    HMENU menu = CreatePopupMenu();
    if (!menu) return 0;
    WCHAR headings[ARRAYSIZE(DEVICE_VOLUMES)][HEADING_CHARS];
    ApplicationVolume volumes[ARRAYSIZE(DEVICE_VOLUMES)];
    for (size_t i = 0; i < ARRAYSIZE(volumes); ++i) {
        if (LoadShellText(instance, DEVICE_VOLUMES[i].headingId, headings[i], HEADING_CHARS) != 0)
            LogError(L"LoadString Error");
        volumes[i] = {DEVICE_VOLUMES[i].root, headings[i]};
    }
    AppendApplicationItems(menu, volumes, ARRAYSIZE(volumes), &applicationPaths);
    if (selectFirst && applicationPaths.count > 0) QueueSelectionOfFirstChoice(owner, menu);
    // Read in 16 bits on purpose, as the device's shell reads it: every item id fits.
    int chosen = static_cast<SHORT>(TrackPopupMenuEx(menu, POPUP_FLAGS, anchor.x, anchor.y, owner, NULL));
    DestroyMenu(menu);
    if (chosen <= 0 || chosen > applicationPaths.count) return 0;
    LaunchProgram(applicationPaths.path[chosen - 1], L"");
    return 1;
}
