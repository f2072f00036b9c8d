#include "startmenu/start_menu.h"

#include "core/log.h"
#include "core/shell_text.h"
#include "dialogs/run_dialog.h"
#include "dialogs/settings_dialog.h"
#include "gfx/button_manager.h"
#include "gfx/composed_window.h"
#include "gfx/gdi_scope.h"
#include "gfx/surface.h"
#include "launch/program_launch.h"
#include "platform/platform.h"
#include "resource.h"
#include "startmenu/all_programs.h"
#include "startmenu/menu_focus.h"
#include "taskbar/taskbar.h"
#include "theme/start_menu_layout.h"
#include "theme/theme_parts.h"

SHORT StartMenuVisible;

namespace {

enum {
    START_COMMAND_BASE = 100,
    START_BUTTON_COUNT = 32,
    EXIT_BUTTON = 1,
    FIRST_SHORTCUT_BUTTON = 10,
    FIRST_SIDE_BUTTON = 20,
    ALL_PROGRAMS_BUTTON = 30,
    SETTINGS_BUTTON = FIRST_SIDE_BUTTON + 5,
    LABEL_CHARS = 128,
};

const WCHAR START_CLASS[] = L"ZORV_START_CLASS";
const UINT_PTR EXIT_TIMER = 1;
const UINT EXIT_DELAY_MS = 100;  // the menu is gone from the screen before the exit screen's snapshot
const UINT LABEL_FORMAT = DT_VCENTER | DT_WORD_ELLIPSIS;
const UINT ALL_PROGRAMS_FORMAT = DT_VCENTER | DT_RIGHT | DT_WORD_ELLIPSIS;

// The menu's items stand where the theme file puts them (StartMenuLayout, in the menu's
// client coordinates). Whatever the values, drawing stays on the surfaces: GDI clips every
// copy and text to the bitmap of the DC it draws into, and no surface takes its size from
// an item.

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
const ShellSettings* settings;  // given at creation; they outlive the menu
StartMenuPlaces places;         // where the settings put the items
WCHAR home[SETTING_PATH_CHARS]; // the HomeDirectory, whose settings the dialogs edit
ComposedWindow menu = {&startMenu};
MemorySurface& backBuffer = menu.backBuffer;  // the whole menu
const HINSTANCE& instance = menu.instance;
ExitScreenOpener exitScreenOpener;
MemorySurface background;   // STARTBACK, until the shape is cut from it
HRGN composedShape;         // cut from STARTBACK, until handed to the composition's caller
HRGN windowRegion;          // the shape, handed to the window
FacePair sideItems[SIDE_ITEM_COUNT], exitButton, allPrograms, shortcutBackground;
FacePair shortcuts[MENU_SHORTCUT_COUNT];
// The item the keyboard's focus is on (a StartMenuItem), -1 until a key shows it.
int focusedItem = -1;
// Items whose pressed face looks like the up one show the focus as a frame instead.
bool framedFocus[START_MENU_ITEM_COUNT];
bool allProgramsOpen;  // its popup's loop runs

// Selects the font and colour in which a face's text is drawn.
void PrepareText(HDC dc, HFONT font, COLORREF color)
{
    SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
}

// A theme position moved by an offset: values out of all bounds wrap as 32-bit sums do
// instead of overflowing.
int Moved(int position, long long offset) { return static_cast<int>(position + offset); }

// Loads both faces of a themed button: the up face's part and the pressed one after it.
int LoadFacePair(int upPart, FacePair* pair)
{
    if (LoadThemeBitmap(backBuffer.dc, settings->themeFolder, THEME_PARTS[upPart].name, &pair->up) != 0 ||
        LoadThemeBitmap(backBuffer.dc, settings->themeFolder, THEME_PARTS[upPart + 1].name, &pair->down) != 0)
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

// The item's rectangle, its sums wrapped as 32-bit sums are.
RECT ItemRect(int item)
{
    const LayoutItem& place = places[item];
    const int left = static_cast<int>(place.x), top = static_cast<int>(place.y);
    return RECT{left, top, Moved(left, place.cx), Moved(top, place.cy)};
}

void PlaceButton(int index, int item, const FacePair& pair, ButtonState state)
{
    const LayoutItem& place = places[item];
    SetButtonItem(startMenu, index, static_cast<int>(place.x), static_cast<int>(place.y), static_cast<int>(place.cx),
                  static_cast<int>(place.cy), pair.up.dc, pair.down.dc, TRUE, state);
    DrawButtonItem(startMenu, index, 0);
}

// An item of the menu as a button: its index, its faces, the state it rests in and the
// colour of its text.
struct MenuControl {
    int button;
    const FacePair& faces;
    ButtonState resting;
    COLORREF text;
};

MenuControl ItemControl(int item)
{
    const ShellSettings& s = *settings;
    if (item >= ITEM_FIRST_SHORTCUT && item < ITEM_FIRST_SHORTCUT + MENU_SHORTCUT_COUNT)
        return MenuControl{FIRST_SHORTCUT_BUTTON + item - ITEM_FIRST_SHORTCUT, shortcuts[item - ITEM_FIRST_SHORTCUT],
                           BUTTON_AUTO, s.startShortcutTextColor};
    if (item >= ITEM_FIRST_SIDE && item < ITEM_FIRST_SIDE + SIDE_ITEM_COUNT)
        return MenuControl{FIRST_SIDE_BUTTON + item - ITEM_FIRST_SIDE, sideItems[item - ITEM_FIRST_SIDE], BUTTON_AUTO,
                           s.startSideTextColor};
    if (item == ITEM_ALL_PROGRAMS)
        return MenuControl{ALL_PROGRAMS_BUTTON, allPrograms, BUTTON_UP, s.startAllProgramsTextColor};
    return MenuControl{EXIT_BUTTON, exitButton, BUTTON_AUTO, s.startExitTextColor};
}

int LoadStartMenuBuffer()
{
    if (CreateBackBuffer(&menu, settings->startWidth, settings->startHeight) != 0 ||
        LoadThemeBitmap(menu.windowDc, settings->themeFolder, THEME_PARTS[PART_START_BACK].name, &background) != 0)
        return 1;
    return 0;
}

// The whole picture, scaled into its box; a missing picture leaves the background there.
void DrawUserPicture()
{
    HBITMAP picture = LoadDIBitmapFile(settings->userPicturePath);
    if (!picture) {
        LogErrorF(L"Cannot Load BMP - Path:\"%ls\"", settings->userPicturePath);
        return;
    }
    HDC pictureDc = CreateCompatibleDC(backBuffer.dc);
    if (pictureDc) {
        ScopedSelection selected(pictureDc, picture);
        BITMAP size = {};
        GetObjectW(picture, sizeof size, &size);
        const RECT box = ItemRect(ITEM_USER_ICON);
        SetStretchBltMode(backBuffer.dc, COLORONCOLOR);  // a colour picture, not black on white
        StretchBlt(backBuffer.dc, box.left, box.top, settings->startIconCX, settings->startIconCY, pictureDc, 0, 0,
                   size.bmWidth, size.bmHeight, SRCCOPY);
    }
    if (pictureDc) DeleteDC(pictureDc);
    DeleteObject(picture);
}

void DrawUserName()
{
    const ShellSettings& s = *settings;
    const RECT box = ItemRect(ITEM_USER_NAME);
    const int dx = s.startUserNameShadowX, dy = s.startUserNameShadowY;
    PrepareText(backBuffer.dc, BigFont, s.startUserNameShadowColor);
    DrawTextInRect(backBuffer.dc, s.startUserName, Moved(box.left, dx), Moved(box.top, dy), Moved(box.right, dx),
                   Moved(box.bottom, dy), LABEL_FORMAT);
    PrepareText(backBuffer.dc, BigFont, s.startUserNameColor);
    DrawTextInRect(backBuffer.dc, s.startUserName, box.left, box.top, box.right, box.bottom, LABEL_FORMAT);
}

// A shortcut's face: the themed background, its name and its program's icon.
void ComposeShortcutFace(const MemorySurface& face, const MemorySurface& faceBackground, const MenuShortcut& shortcut,
                         HICON icon, COLORREF color)
{
    const SIZE size = SurfaceSize(faceBackground);
    BitBlt(face.dc, 0, 0, size.cx, size.cy, faceBackground.dc, 0, 0, SRCCOPY);
    PrepareText(face.dc, NormalFont, color);
    DrawTextInRect(face.dc, shortcut.name, settings->startShortcutTextX, 0, settings->startShortcutCX,
                   settings->startShortcutCY, LABEL_FORMAT);
    if (icon)
        DrawIconEx(face.dc, settings->startShortcutIconX, settings->startShortcutIconY, icon, 0, 0, 0, NULL, DI_NORMAL);
}

// Each shortcut's faces are MAINU and MAIND at their own size, with its name and icon.
int BuildShortcuts()
{
    const ShellSettings& s = *settings;
    for (FacePair& pair : shortcuts) {
        const SIZE up = SurfaceSize(shortcutBackground.up), down = SurfaceSize(shortcutBackground.down);
        if (CreateMemorySurface(backBuffer.dc, up.cx, up.cy, &pair.up) != 0 ||
            CreateMemorySurface(backBuffer.dc, down.cx, down.cy, &pair.down) != 0)
            return 1;
    }
    for (int i = 0; i < MENU_SHORTCUT_COUNT; ++i) {
        const MenuShortcut& shortcut = s.menuShortcuts[i];
        HICON icon = shortcut.path[0] ? ExtractProgramIcon(shortcut.path, false) : NULL;
        ComposeShortcutFace(shortcuts[i].up, shortcutBackground.up, shortcut, icon, s.startShortcutTextColor);
        ComposeShortcutFace(shortcuts[i].down, shortcutBackground.down, shortcut, icon, s.startShortcutTextDownColor);
        if (icon) DestroyIcon(icon);
        PlaceButton(FIRST_SHORTCUT_BUTTON + i, ITEM_FIRST_SHORTCUT + i, shortcuts[i], BUTTON_AUTO);
    }
    return 0;
}

int LoadStartMenuObjects()
{
    const ShellSettings& s = *settings;
    BitBlt(backBuffer.dc, 0, 0, s.startWidth, s.startHeight, background.dc, 0, 0, SRCCOPY);
    composedShape = CreateKeyColorRegion(background.dc, background.bitmap, KEY_COLOR);
    ReleaseMemorySurface(&background);
    DrawUserPicture();

    const RECT sideLabel = {s.startSideTextX, 0, s.startSideCX, s.startSideCY};
    for (int i = 0; i < SIDE_ITEM_COUNT; ++i) {
        if (LoadFacePair(PART_FIRST_SIDE_UP + 2 * i, &sideItems[i]) != 0) return 1;
        LabelFacePair(sideItems[i], IDS_SIDE_ITEM_FIRST + i, s.startSideTextColor, s.startSideTextDownColor, sideLabel,
                      LABEL_FORMAT);
    }
    DrawUserName();
    for (int i = 0; i < SIDE_ITEM_COUNT; ++i)
        PlaceButton(FIRST_SIDE_BUTTON + i, ITEM_FIRST_SIDE + i, sideItems[i], BUTTON_AUTO);

    if (LoadFacePair(PART_EXIT_UP, &exitButton) != 0) return 1;
    LabelFacePair(exitButton, IDS_EXIT_BUTTON, s.startExitTextColor, s.startExitTextDownColor,
                  RECT{s.startExitTextX, 0, s.startExitCX, s.startExitCY}, LABEL_FORMAT);
    PlaceButton(EXIT_BUTTON, ITEM_EXIT, exitButton, BUTTON_AUTO);

    if (LoadFacePair(PART_ALL_PROGRAMS_UP, &allPrograms) != 0) return 1;
    LabelFacePair(allPrograms, IDS_ALL_PROGRAMS, s.startAllProgramsTextColor, s.startAllProgramsTextDownColor,
                  RECT{0, 0, s.startAllProgramsTextRight, s.startAllProgramsCY}, ALL_PROGRAMS_FORMAT);
    PlaceButton(ALL_PROGRAMS_BUTTON, ITEM_ALL_PROGRAMS, allPrograms, BUTTON_UP);

    if (LoadFacePair(PART_SHORTCUT_UP, &shortcutBackground) != 0 || BuildShortcuts() != 0) return 1;
    // An item whose pressed face shows nothing new cannot show the focus with it.
    for (int item = 0; item <= ITEM_EXIT; ++item) {
        const FacePair& faces = ItemControl(item).faces;
        framedFocus[item] = SurfacesLookAlike(faces.up, faces.down);
    }
    return 0;
}

// Only the side items and the back buffer: the other faces, the window DC and the region
// end with the process, as the menu lives until the shell ends.
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
    SetWindowPos(window, HWND_TOPMOST, 0, ScreenSize.cy - settings->startHeight - settings->taskbarHeight,
                 settings->startWidth, settings->startHeight, 0);
    ComposeStartMenu(window, create->hInstance, *settings, &windowRegion);
    SetCursor(LoadCursorW(NULL, IDC_ARROW));  // start-up's wait cursor ends here
    menu.creationFinished = true;
}

void SetAllProgramsPressed(bool pressed)
{
    SetButtonState(startMenu, ALL_PROGRAMS_BUTTON, pressed ? BUTTON_DOWN : BUTTON_UP);
    RedrawButtonItem(startMenu, ALL_PROGRAMS_BUTTON, 0);
}

// Opens the popup at the All Programs button's bottom-right corner, growing upwards; from a
// key, with its first program selected.
void OpenAllPrograms(bool fromKey)
{
    SetAllProgramsPressed(true);
    POINT anchor = AllProgramsAnchor();
    ClientToScreen(startMenu, &anchor);
    allProgramsOpen = true;
    const int chosen = ShowAllProgramsMenu(startMenu, instance, anchor, fromKey);
    allProgramsOpen = false;
    if (chosen != 0) HideStartMenu();
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
    WCHAR settingsFile[SETTING_PATH_CHARS];
    if (FormatSettingsPath(home, SHELL_SETTINGS_FILE, settingsFile) == 0) OpenRunDialog(instance, settingsFile);
}

// A command hides the menu on its release before it acts, so what it opens comes in front.
void HandleCommand(WPARAM wParam, LPARAM lParam)
{
    const int button = LOWORD(wParam) - START_COMMAND_BASE;
    if (lParam == BUTTON_HELD) return;  // the menu's buttons have no held action
    const bool pressed = lParam == BUTTON_PRESSED;
    if (button == ALL_PROGRAMS_BUTTON) {
        if (pressed) OpenAllPrograms(false);
        return;
    }
    if (pressed) return;
    HideStartMenu();
    if (button == EXIT_BUTTON) {
        SetTimer(startMenu, EXIT_TIMER, EXIT_DELAY_MS, NULL);
    } else if (button >= FIRST_SHORTCUT_BUTTON && button < FIRST_SHORTCUT_BUTTON + MENU_SHORTCUT_COUNT) {
        LaunchProgram(settings->menuShortcuts[button - FIRST_SHORTCUT_BUTTON].path, L"");
    } else if (button >= FIRST_SIDE_BUTTON && button < FIRST_SIDE_BUTTON + SIDE_ITEM_COUNT &&
               SIDE_TARGETS[button - FIRST_SIDE_BUTTON]) {
        LaunchProgram(SIDE_TARGETS[button - FIRST_SIDE_BUTTON], L"");
    } else if (button == SETTINGS_BUTTON) {
        RunSettingsDialog(instance, TaskbarWindow, home);
    } else if (button == FIRST_SIDE_BUTTON + INPUT_PANEL_ITEM) {
        if (ToggleInputPanel() != 0) ShowShellBox(IDS_NO_INPUT_PANEL);
    } else if (button == FIRST_SIDE_BUTTON + RUN_ITEM) {
        OpenRun();
    }
}

// Draws the item with the keyboard's focus on it, or as it rests.
void DrawFocus(int item, bool focused)
{
    const MenuControl control = ItemControl(item);
    const bool framed = focused && framedFocus[item];
    SetButtonState(startMenu, control.button, focused && !framed ? BUTTON_DOWN : control.resting);
    DrawButtonItem(startMenu, control.button, 0);
    if (framed) {
        DrawFrame(backBuffer.dc, ItemRect(item), control.text);
    }
    ShowButtonItem(startMenu, control.button);
}

void MoveFocusTo(int item)
{
    if (focusedItem >= 0) DrawFocus(focusedItem, false);
    focusedItem = item;
    if (item >= 0) DrawFocus(item, true);
}

// What a tap on the item does; its focus is drawn off first, so the menu opens again at rest.
void ActivateItem(int item)
{
    if (item == ITEM_ALL_PROGRAMS) {
        OpenAllPrograms(true);
        if (StartMenuVisible && focusedItem == item) DrawFocus(item, true);
        return;
    }
    const int command = START_COMMAND_BASE + ItemControl(item).button;
    MoveFocusTo(-1);
    HandleCommand(command, BUTTON_PRESSED);
    HandleCommand(command, BUTTON_RELEASED);
}

MenuFocusMove FocusMoveOfKey(WPARAM key)
{
    switch (key) {
    case VK_UP:
        return FOCUS_UP;
    case VK_DOWN:
        return FOCUS_DOWN;
    case VK_LEFT:
        return FOCUS_LEFT;
    case VK_RIGHT:
        return FOCUS_RIGHT;
    default:
        return GetKeyState(VK_SHIFT) < 0 ? FOCUS_PREVIOUS : FOCUS_NEXT;
    }
}

void HandleKey(WPARAM key)
{
    if (key == VK_ESCAPE) {
        HideStartMenu();
        return;
    }
    const bool moves = key == VK_UP || key == VK_DOWN || key == VK_LEFT || key == VK_RIGHT || key == VK_TAB;
    if (focusedItem < 0) {
        // The pen opened the menu: the first key shows the focus where a key would have put it.
        if (moves) MoveFocusTo(MoveMenuFocus(places, -1, FOCUS_NEXT));
        return;
    }
    if (key == VK_RETURN || key == VK_SPACE || (key == VK_RIGHT && focusedItem == ITEM_ALL_PROGRAMS)) {
        ActivateItem(focusedItem);
        return;
    }
    if (moves) MoveFocusTo(MoveMenuFocus(places, focusedItem, FocusMoveOfKey(key)));
}

void HandleExitTimer(UINT_PTR timer)
{
    if (timer != EXIT_TIMER) return;
    KillTimer(startMenu, EXIT_TIMER);
    if (exitScreenOpener) exitScreenOpener(instance);
}

// Hiding because another window was activated: the taskbar is not made the foreground
// window, which would take the foreground from the window the user has just chosen.
void HideForDeactivation()
{
    MoveFocusTo(-1);
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
        HandleComposedPaint(menu);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE && StartMenuVisible) HideForDeactivation();
        return 0;
    case WM_SHOWWINDOW:
        if (wParam) SetActiveWindow(window);
        return 0;
    case WM_KEYDOWN:
        HandleKey(wParam);
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
        HandleExitTimer(wParam);
        return 0;
    case WM_DESTROY:
        ReleaseStartMenuSurfaces();
        PostQuitMessage(0);  // destroying the menu ends the shell
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int CreateStartMenu(HINSTANCE moduleInstance, const ShellSettings& menuSettings, ExitScreenOpener openExitScreen)
{
    settings = &menuSettings;
    FindHomeDirectory(home);
    exitScreenOpener = openExitScreen;
    StartMenuVisible = 0;
    // Placed and sized by its WM_CREATE.
    const ComposedWindowClass windowClass = {START_CLASS, L"Zorv StartMenu", WS_EX_TOPMOST, WS_POPUP,
                                             StartMenuWindowProc, L"RegisterClass Error",
                                             L"Cannot create startmenu window", L"StartMenu creation did not complete"};
    if (CreateComposedWindow(&menu, windowClass, moduleInstance, RECT{}, TaskbarWindow) != 0) return 1;
    if (!SetWindowRgn(startMenu, windowRegion, TRUE)) LogError(L"SetWindowRgn Error!");
    return 0;
}

int ComposeStartMenu(HWND window, HINSTANCE moduleInstance, const ShellSettings& menuSettings, HRGN* shape)
{
    settings = &menuSettings;
    places = StartMenuLayout(menuSettings);
    composedShape = NULL;
    const ComposingSteps steps = {L"Loading StartMenu buffer...", LoadStartMenuBuffer, L"Loading StartMenu objects...",
                                  LoadStartMenuObjects, START_COMMAND_BASE, START_BUTTON_COUNT, false};
    int failed = ComposeWindow(&menu, window, moduleInstance, steps);
    *shape = composedShape;
    return failed;
}

void PaintStartMenu(HDC dc) { PaintComposedWindow(menu, dc); }

POINT AllProgramsAnchor()
{
    const RECT button = ItemRect(ITEM_ALL_PROGRAMS);
    return POINT{button.right, button.bottom};
}

void ShowStartMenu(StartMenuRequest request)
{
    LogInfo(L"ShowStart");
    MoveFocusTo(request == MENU_BY_KEY ? MoveMenuFocus(places, -1, FOCUS_NEXT) : -1);
    StartMenuVisible = 1;
    SetStartButtonPressed(true);  // first, so that a bar behind a program comes up under the menu
    ShowWindow(startMenu, SW_SHOW);
    SetForegroundWindow(startMenu);
}

void HideStartMenu()
{
    MoveFocusTo(-1);
    StartMenuVisible = 0;
    ShowWindow(startMenu, SW_HIDE);
    SetForegroundWindow(TaskbarWindow);
    SetStartButtonPressed(false);
}

void ToggleStartMenu(StartMenuRequest request)
{
    if (!StartMenuVisible) {
        ShowStartMenu(request);
        return;
    }
    if (allProgramsOpen) CloseOpenMenu();  // its loop ends once the menu has gone
    HideStartMenu();
}
