#include "startmenu/start_menu.h"

#include <strsafe.h>

#include "config/shell_settings.h"
#include "core/log.h"
#include "core/shell_text.h"
#include "core/window_class.h"
#include "gfx/button_manager.h"
#include "gfx/surface.h"
#include "gfx/theme_parts.h"
#include "platform/platform.h"
#include "resource.h"
#include "startmenu/program_launch.h"
#include "startmenu/run_dialog.h"
#include "taskbar/taskbar.h"

SHORT StartMenuVisible;

namespace {

enum {
    START_COMMAND_BASE = 100,
    START_BUTTON_COUNT = 32,
    EXIT_BUTTON = 1,
    FIRST_SHORTCUT_BUTTON = 10,
    FIRST_SIDE_BUTTON = 20,
    ALL_PROGRAMS_BUTTON = 30,
    LABEL_CHARS = 128,
};

const WCHAR START_CLASS[] = L"ZORV_START_CLASS";
const WCHAR CREATION_FAILURE[] =
    L"Failed to start Lumaro: Main memory is very low, or resource of Lumaro is not found.";
const UINT_PTR EXIT_TIMER = 1;
const UINT EXIT_DELAY_MS = 100;  // the menu is gone from the screen before the exit screen's snapshot
const UINT LABEL_FORMAT = DT_VCENTER | DT_WORD_ELLIPSIS;
const UINT ALL_PROGRAMS_FORMAT = DT_VCENTER | DT_RIGHT | DT_WORD_ELLIPSIS;
const COLORREF BLACK = RGB(0, 0, 0), WHITE = RGB(255, 255, 255), SIDE_TEXT_UP = RGB(8, 36, 107);

// Where the menu's parts stand, in its client coordinates.
const int SIDE_X = 207, SIDE_ROWS[SIDE_ITEM_COUNT] = {73, 101, 129, 157, 193, 221, 257, 293};
const int SHORTCUT_X = 8, SHORTCUT_TOP = 73, SHORTCUT_STEP = 40, SHORTCUT_TEXT_X = 38, SHORTCUT_ICON_XY = 2;
const RECT EXIT_RECT = {276, 354, 276 + EXIT_BUTTON_CX, 354 + EXIT_BUTTON_CY};
const RECT ALL_PROGRAMS_RECT = {8, 320, 8 + ALL_PROGRAMS_CX, 320 + ALL_PROGRAMS_CY};
const int LABEL_X = 30;                              // side items and exit button
const int ALL_PROGRAMS_TEXT_RIGHT = 146;
const RECT USER_NAME_RECT = {65, 8, 365, 58};        // its shadow stands 2 pixels lower right
const int SHADOW_OFFSET = 2;

// What the side items open; the last three are the shell's own.
const LPCWSTR SIDE_TARGETS[SIDE_ITEM_COUNT] = {
    L"\\", L"\\NAND3\\", L"\\Storage Card\\", L"\\NAND3\\My Documents\\", L"\\Windows\\control.exe", NULL, NULL, NULL,
};
const int INPUT_PANEL_ITEM = 6, RUN_ITEM = 7;

// A button's two faces.
struct FacePair {
    MemorySurface up, down;
};

HWND startMenu;
HINSTANCE instance;
ExitScreenOpener exitScreenOpener;
bool creationFinished;      // WM_CREATE ran to its end
HDC windowDc;               // reference DC of the back buffer, kept for the window's life
MemorySurface backBuffer;   // the whole menu
MemorySurface background;   // STARTBACK, until the shape is cut from it
HRGN composedShape;         // cut from STARTBACK, until handed to the composition's caller
HRGN windowRegion;          // the shape, handed to the window
FacePair sideItems[SIDE_ITEM_COUNT], exitButton, allPrograms, shortcutBackground;
FacePair shortcuts[MENU_SHORTCUT_COUNT];

// Selects the font and colour in which a face's text is drawn.
void PrepareText(HDC dc, HFONT font, COLORREF color)
{
    SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
}

// Loads both faces of a themed button ("<name>U", "<name>D") for the back buffer.
int LoadFacePair(LPCWSTR name, FacePair* pair)
{
    WCHAR up[32], down[32];
    StringCchPrintfW(up, ARRAYSIZE(up), L"%lsU", name);
    StringCchPrintfW(down, ARRAYSIZE(down), L"%lsD", name);
    if (LoadThemeBitmap(backBuffer.dc, Settings.themeFolder, up, &pair->up) != 0 ||
        LoadThemeBitmap(backBuffer.dc, Settings.themeFolder, down, &pair->down) != 0)
        return 1;
    return 0;
}

// Draws the label of a string resource on both faces.
void LabelFacePair(const FacePair& pair, UINT stringId, COLORREF upColor, COLORREF downColor, const RECT& rect,
                   UINT format)
{
    WCHAR label[LABEL_CHARS] = L"";
    if (LoadShellText(instance, stringId, label, LABEL_CHARS) != 0) LogError(L"LoadString Error");
    PrepareText(pair.up.dc, NormalFont, upColor);
    DrawTextInRect(pair.up.dc, label, rect.left, rect.top, rect.right, rect.bottom, format);
    PrepareText(pair.down.dc, NormalFont, downColor);
    DrawTextInRect(pair.down.dc, label, rect.left, rect.top, rect.right, rect.bottom, format);
}

void PlaceButton(int index, int x, int y, int cx, int cy, const FacePair& pair, ButtonState state)
{
    SetButtonItem(startMenu, index, x, y, cx, cy, pair.up.dc, pair.down.dc, TRUE, state);
    DrawButtonItem(startMenu, index, 0);
}

int LoadStartMenuBuffer()
{
    const int width = Settings.startWidth, height = Settings.startHeight;
    windowDc = GetDC(startMenu);
    if (!windowDc) {
        LogError(L"GetDC Error");
        return 1;
    }
    if (CreateMemorySurface(windowDc, width, height, &backBuffer) != 0 ||
        LoadThemeBitmap(windowDc, Settings.themeFolder, L"STARTBACK", &background) != 0)
        return 1;
    return 0;
}

// The whole picture, scaled into its box; a missing picture leaves the background there.
void DrawUserPicture()
{
    HBITMAP picture = LoadDIBitmapFile(Settings.userPicturePath);
    if (!picture) {
        WCHAR message[LOG_LINE_CHARS];
        StringCchPrintfW(message, LOG_LINE_CHARS, L"Cannot Load BMP - Path:\"%ls\"", Settings.userPicturePath);
        LogError(message);
        return;
    }
    HDC pictureDc = CreateCompatibleDC(backBuffer.dc);
    if (pictureDc) {
        HGDIOBJ previous = SelectObject(pictureDc, picture);
        BITMAP size = {};
        GetObjectW(picture, sizeof size, &size);
        SetStretchBltMode(backBuffer.dc, COLORONCOLOR);  // a colour picture, not black on white
        StretchBlt(backBuffer.dc, Settings.startIconX, Settings.startIconY, Settings.startIconCX, Settings.startIconCY,
                   pictureDc, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
        SelectObject(pictureDc, previous);
        DeleteDC(pictureDc);
    }
    DeleteObject(picture);
}

void DrawUserName()
{
    const RECT& r = USER_NAME_RECT;
    PrepareText(backBuffer.dc, BigFont, BLACK);
    DrawTextInRect(backBuffer.dc, Settings.startUserName, r.left + SHADOW_OFFSET, r.top + SHADOW_OFFSET,
                   r.right + SHADOW_OFFSET, r.bottom + SHADOW_OFFSET, LABEL_FORMAT);
    PrepareText(backBuffer.dc, BigFont, WHITE);
    DrawTextInRect(backBuffer.dc, Settings.startUserName, r.left, r.top, r.right, r.bottom, LABEL_FORMAT);
}

// A shortcut's face: the themed background, its name and its program's icon.
void ComposeShortcutFace(HDC face, HDC faceBackground, const MenuShortcut& shortcut, HICON icon, COLORREF color)
{
    BitBlt(face, 0, 0, SHORTCUT_CX, SHORTCUT_CY, faceBackground, 0, 0, SRCCOPY);
    PrepareText(face, NormalFont, color);
    DrawTextInRect(face, shortcut.name, SHORTCUT_TEXT_X, 0, SHORTCUT_CX, SHORTCUT_CY, LABEL_FORMAT);
    if (icon) DrawIconEx(face, SHORTCUT_ICON_XY, SHORTCUT_ICON_XY, icon, 0, 0, 0, NULL, DI_NORMAL);
}

int BuildShortcuts()
{
    for (int i = 0; i < MENU_SHORTCUT_COUNT; ++i) {
        FacePair& pair = shortcuts[i];
        if (CreateMemorySurface(backBuffer.dc, SHORTCUT_CX, SHORTCUT_CY, &pair.up) != 0 ||
            CreateMemorySurface(backBuffer.dc, SHORTCUT_CX, SHORTCUT_CY, &pair.down) != 0)
            return 1;
    }
    for (int i = 0; i < MENU_SHORTCUT_COUNT; ++i) {
        const MenuShortcut& shortcut = Settings.menuShortcuts[i];
        HICON icon = shortcut.path[0] ? ExtractProgramIcon(shortcut.path, false) : NULL;
        ComposeShortcutFace(shortcuts[i].up.dc, shortcutBackground.up.dc, shortcut, icon, BLACK);
        ComposeShortcutFace(shortcuts[i].down.dc, shortcutBackground.down.dc, shortcut, icon, WHITE);
        if (icon) DestroyIcon(icon);
        PlaceButton(FIRST_SHORTCUT_BUTTON + i, SHORTCUT_X, SHORTCUT_TOP + SHORTCUT_STEP * i, SHORTCUT_CX, SHORTCUT_CY,
                    shortcuts[i], BUTTON_AUTO);
    }
    return 0;
}

int LoadStartMenuObjects()
{
    BitBlt(backBuffer.dc, 0, 0, Settings.startWidth, Settings.startHeight, background.dc, 0, 0, SRCCOPY);
    composedShape = CreateKeyColorRegion(background.dc, background.bitmap);
    ReleaseMemorySurface(&background);
    DrawUserPicture();

    const RECT sideLabel = {LABEL_X, 0, SIDE_ITEM_CX, SIDE_ITEM_CY};
    for (int i = 0; i < SIDE_ITEM_COUNT; ++i) {
        WCHAR name[16];
        StringCchPrintfW(name, ARRAYSIZE(name), L"SIDE%d", i);
        if (LoadFacePair(name, &sideItems[i]) != 0) return 1;
        LabelFacePair(sideItems[i], IDS_SIDE_ITEM_FIRST + i, SIDE_TEXT_UP, WHITE, sideLabel, LABEL_FORMAT);
    }
    DrawUserName();
    for (int i = 0; i < SIDE_ITEM_COUNT; ++i)
        PlaceButton(FIRST_SIDE_BUTTON + i, SIDE_X, SIDE_ROWS[i], SIDE_ITEM_CX, SIDE_ITEM_CY, sideItems[i], BUTTON_AUTO);

    if (LoadFacePair(L"EXITBTN", &exitButton) != 0) return 1;
    LabelFacePair(exitButton, IDS_EXIT_BUTTON, WHITE, WHITE, RECT{LABEL_X, 0, EXIT_BUTTON_CX, EXIT_BUTTON_CY},
                  LABEL_FORMAT);
    PlaceButton(EXIT_BUTTON, EXIT_RECT.left, EXIT_RECT.top, EXIT_BUTTON_CX, EXIT_BUTTON_CY, exitButton, BUTTON_AUTO);

    if (LoadFacePair(L"ALLPROGRAMS", &allPrograms) != 0) return 1;
    LabelFacePair(allPrograms, IDS_ALL_PROGRAMS, BLACK, WHITE, RECT{0, 0, ALL_PROGRAMS_TEXT_RIGHT, ALL_PROGRAMS_CY},
                  ALL_PROGRAMS_FORMAT);
    PlaceButton(ALL_PROGRAMS_BUTTON, ALL_PROGRAMS_RECT.left, ALL_PROGRAMS_RECT.top, ALL_PROGRAMS_CX, ALL_PROGRAMS_CY,
                allPrograms, BUTTON_UP);

    if (LoadFacePair(L"MAIN", &shortcutBackground) != 0) return 1;
    return BuildShortcuts();
}

void ReleaseStartMenuSurfaces()
{
    for (FacePair& pair : sideItems) {
        ReleaseMemorySurface(&pair.up);
        ReleaseMemorySurface(&pair.down);
    }
    ReleaseMemorySurface(&backBuffer);
}

void HandleCreate(HWND window, const CREATESTRUCTW* create)
{
    // Flags 0 leave the window hidden.
    SetWindowPos(window, HWND_TOPMOST, 0, ScreenSize.cy - Settings.startHeight - Settings.taskbarHeight,
                 Settings.startWidth, Settings.startHeight, 0);
    ComposeStartMenu(window, create->hInstance, &windowRegion);
    SetCursor(LoadCursorW(NULL, IDC_ARROW));  // start-up's wait cursor ends here
    creationFinished = true;
}

void HandlePaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    PaintStartMenu(dc);
    EndPaint(window, &paint);
}

void SetAllProgramsPressed(bool pressed)
{
    SetButtonState(startMenu, ALL_PROGRAMS_BUTTON, pressed ? BUTTON_DOWN : BUTTON_UP);
    RedrawButtonItem(startMenu, ALL_PROGRAMS_BUTTON, 0);
}

// Opens the popup at the All Programs button's bottom-right corner, growing upwards.
void OpenAllPrograms()
{
    SetAllProgramsPressed(true);
    POINT anchor = AllProgramsAnchor();
    ClientToScreen(startMenu, &anchor);
    if (ShowAllProgramsMenu(startMenu, anchor) != 0) HideStartMenu();
    SetAllProgramsPressed(false);
}

// A box with a text of the string table, in front of everything.
void ShowShellBox(UINT textId)
{
    WCHAR text[LABEL_CHARS], caption[LABEL_CHARS];
    LoadShellText(instance, textId, text, LABEL_CHARS);
    LoadShellText(instance, IDS_SHELL_CAPTION, caption, LABEL_CHARS);
    MessageBoxW(NULL, text, caption, MB_ICONHAND | MB_SETFOREGROUND | MB_TOPMOST);
}

void OpenRun()
{
    WCHAR settingsFile[MAX_PATH];
    if (FindShellSettingsFile(settingsFile, MAX_PATH) == 0) OpenRunDialog(instance, settingsFile);
}

// A command hides the menu on its release before it acts, so what it opens comes in front.
void HandleCommand(WPARAM wParam, LPARAM lParam)
{
    const int button = LOWORD(wParam) - START_COMMAND_BASE;
    const bool pressed = lParam != 0;
    if (button == ALL_PROGRAMS_BUTTON) {
        if (pressed) OpenAllPrograms();
        return;
    }
    if (pressed) return;
    HideStartMenu();
    if (button == EXIT_BUTTON) {
        SetTimer(startMenu, EXIT_TIMER, EXIT_DELAY_MS, NULL);
    } else if (button >= FIRST_SHORTCUT_BUTTON && button < FIRST_SHORTCUT_BUTTON + MENU_SHORTCUT_COUNT) {
        LaunchProgram(Settings.menuShortcuts[button - FIRST_SHORTCUT_BUTTON].path, L"");
    } else if (button >= FIRST_SIDE_BUTTON && button < FIRST_SIDE_BUTTON + SIDE_ITEM_COUNT &&
               SIDE_TARGETS[button - FIRST_SIDE_BUTTON]) {
        LaunchProgram(SIDE_TARGETS[button - FIRST_SIDE_BUTTON], L"");
    } else if (button == FIRST_SIDE_BUTTON + INPUT_PANEL_ITEM) {
        if (ToggleInputPanel() != 0) ShowShellBox(IDS_NO_INPUT_PANEL);
    } else if (button == FIRST_SIDE_BUTTON + RUN_ITEM) {
        OpenRun();
    } else {
        MessageBoxW(NULL, L"This function is not yet implemented.", L"Zorv", MB_ICONHAND | MB_SETFOREGROUND | MB_TOPMOST);
    }
}

void HandleExitTimer()
{
    KillTimer(startMenu, EXIT_TIMER);
    if (exitScreenOpener) exitScreenOpener(instance);
}

// Hiding because another window was activated: the taskbar is not made the foreground
// window, which would take the foreground from the window the user has just chosen.
void HideForDeactivation()
{
    StartMenuVisible = 0;
    ShowWindow(startMenu, SW_HIDE);
    SetStartButtonPressed(false);
}

LRESULT CALLBACK StartMenuWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        HandleCreate(window, reinterpret_cast<const CREATESTRUCTW*>(lParam));
        return 0;
    case WM_PAINT:
        HandlePaint(window);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE && StartMenuVisible) HideForDeactivation();
        return 0;
    case WM_SHOWWINDOW:
        if (wParam) SetActiveWindow(window);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) HideStartMenu();
        return 0;
    case WM_LBUTTONDOWN:
        ButtonPenDown(window, lParam);
        return 0;
    case WM_LBUTTONUP:
        ButtonPenUp(window, lParam);
        return 0;
    case WM_COMMAND:
        HandleCommand(wParam, lParam);
        return 0;
    case WM_TIMER:
        HandleExitTimer();
        return 0;
    case WM_DESTROY:
        ReleaseStartMenuSurfaces();
        PostQuitMessage(0);  // destroying the menu ends the shell
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int CreateStartMenu(HINSTANCE moduleInstance, ExitScreenOpener openExitScreen)
{
    exitScreenOpener = openExitScreen;
    StartMenuVisible = 0;
    if (!RegisterShellWindowClass(moduleInstance, START_CLASS, StartMenuWindowProc)) {
        LogError(L"RegisterClass Error");
        return 1;
    }
    creationFinished = false;
    startMenu = CreateWindowExW(WS_EX_TOPMOST, START_CLASS, L"Zorv StartMenu", WS_POPUP, 0, 0, 0, 0, TaskbarWindow,
                                NULL, moduleInstance, NULL);
    if (!startMenu) {
        LogError(L"Cannot create startmenu window");
        return 1;
    }
    // A fault inside WM_CREATE is swallowed by the window manager here.
    if (!creationFinished) {
        LogError(L"StartMenu creation did not complete");
        return 1;
    }
    UpdateWindow(startMenu);
    if (!SetWindowRgn(startMenu, windowRegion, TRUE)) LogError(L"SetWindowRgn Error!");
    return 0;
}

int ComposeStartMenu(HWND window, HINSTANCE moduleInstance, HRGN* shape)
{
    startMenu = window;
    instance = moduleInstance;
    composedShape = NULL;
    int failed = RunLoggedStep(L"Loading StartMenu buffer...", LoadStartMenuBuffer, CREATION_FAILURE);
    if (!failed) {
        RegisterButtonSurface(window, backBuffer.dc, START_COMMAND_BASE, START_BUTTON_COUNT);
        failed = RunLoggedStep(L"Loading StartMenu objects...", LoadStartMenuObjects, CREATION_FAILURE);
    }
    *shape = composedShape;
    return failed;
}

void PaintStartMenu(HDC dc)
{
    BitBlt(dc, 0, 0, Settings.startWidth, Settings.startHeight, backBuffer.dc, 0, 0, SRCCOPY);
}

POINT AllProgramsAnchor() { return POINT{ALL_PROGRAMS_RECT.right, ALL_PROGRAMS_RECT.bottom}; }

void ShowStartMenu()
{
    LogInfo(L"ShowStart");
    StartMenuVisible = 1;
    ShowWindow(startMenu, SW_SHOW);
    SetForegroundWindow(startMenu);
    SetStartButtonPressed(true);
}

void HideStartMenu()
{
    StartMenuVisible = 0;
    ShowWindow(startMenu, SW_HIDE);
    SetForegroundWindow(TaskbarWindow);
    SetStartButtonPressed(false);
}

void ToggleStartMenu()
{
    if (StartMenuVisible)
        HideStartMenu();
    else
        ShowStartMenu();
}
