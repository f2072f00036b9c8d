#include "startmenu/program_launch.h"

#include <shellapi.h>
#include <strsafe.h>

#include "core/log.h"
#include "core/shell_text.h"
#include "resource.h"
#include "platform/platform.h"

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

// The length of the longest part of the command, ending before a space or at its end, that
// names an existing file or folder; the first word's when none does.
size_t NamedPartLength(LPCWSTR command)
{
    size_t length = 0;
    for (LPCWSTR at = command;; ++at) {
        if (*at != L' ' && *at != L'\0') continue;
        if (length == 0) length = at - command;
        WCHAR part[MAX_PATH];
        if (at[-1] != L' ' && SUCCEEDED(StringCchCopyNW(part, MAX_PATH, command, at - command)) &&
            GetFileAttributesW(part) != INVALID_FILE_ATTRIBUTES)
            length = at - command;
        if (*at == L'\0') return length;
    }
}

}  // namespace

int LaunchProgram(LPCWSTR path, LPCWSTR arguments, DWORD* failure, HANDLE* process)
{
    SetCursor(LoadCursorW(NULL, IDC_WAIT));
    WCHAR file[MAX_PATH];
    DWORD error = ERROR_SUCCESS;
    if (ResolveRootedPath(path, file, MAX_PATH) != 0) error = ERROR_FILENAME_EXCED_RANGE;
    SHELLEXECUTEINFOW execute = {};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_FLAG_NO_UI | (process ? SEE_MASK_NOCLOSEPROCESS : 0);  // a failure is logged, never shown
    execute.lpFile = file;
    execute.lpParameters = arguments;
    execute.nShow = SW_SHOWNORMAL;  // programs that honour it would otherwise start hidden
    if (error == ERROR_SUCCESS && !ShellExecuteExW(&execute)) error = GetLastError();
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        LogErrorF(L"Cannot Execute - Path:\"%ls\" Arg:\"%ls\"", path, arguments);
        if (failure) *failure = error;
    }
    if (process) *process = error == ERROR_SUCCESS ? execute.hProcess : NULL;
    SetCursor(LoadCursorW(NULL, IDC_ARROW));
    return error == ERROR_SUCCESS ? 0 : 1;
}

int SplitCommand(LPCWSTR command, LPWSTR program, int programChars, LPWSTR arguments, int argumentChars)
{
    while (*command == L' ') ++command;
    if (!*command) return 1;
    size_t programLength;
    LPCWSTR rest;
    if (*command == L'"') {
        ++command;
        LPCWSTR quote = wcschr(command, L'"');
        programLength = quote ? quote - command : wcslen(command);
        rest = quote ? quote + 1 : command + programLength;
    } else {
        programLength = NamedPartLength(command);
        rest = command + programLength;
    }
    while (*rest == L' ') ++rest;
    if (programLength == 0 || FAILED(StringCchCopyNW(program, programChars, command, programLength))) return 1;
    return FAILED(StringCchCopyW(arguments, argumentChars, rest)) ? 1 : 0;
}

void AppendApplicationItems(HMENU menu, const ApplicationVolume* volumes, int volumeCount, ApplicationPaths* paths)
{
    paths->count = 0;
    bool anyBefore = false;
    for (int i = 0; i < volumeCount; ++i)
        if (AppendVolume(menu, volumes[i], anyBefore, paths)) anyBefore = true;
}

int ShowAllProgramsMenu(HWND owner, HINSTANCE instance, POINT anchor)
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
    // Read in 16 bits on purpose, as the device's shell reads it: every item id fits.
    int chosen = static_cast<SHORT>(TrackPopupMenuEx(menu, POPUP_FLAGS, anchor.x, anchor.y, owner, NULL));
    DestroyMenu(menu);
    if (chosen <= 0 || chosen > applicationPaths.count) return 0;
    LaunchProgram(applicationPaths.path[chosen - 1], L"");
    return 1;
}
