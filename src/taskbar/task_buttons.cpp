#include "taskbar/task_buttons.h"

#include "core/log.h"
#include "core/shell_text.h"
#include "gfx/button_manager.h"
#include "gfx/surface.h"
#include "platform/platform.h"
#include "resource.h"
#include "taskbar/task_list.h"
#include "taskbar/task_menu.h"
#include "theme/theme_parts.h"

namespace {

enum { MORE_TEXT_CHARS = 128, FACE_PARTS = 3 };

const int TASK_AREA_GAP = 2;  // background left beside the start button and the clock
const int ICON_X = 4, ICON_Y = 5, TITLE_AFTER_ICON_X = 22, TEXT_MARGIN = 4;
const UINT TITLE_FORMAT = DT_LEFT | DT_VCENTER | DT_WORD_ELLIPSIS;
const UINT MORE_FORMAT = DT_CENTER | DT_VCENTER | DT_WORD_ELLIPSIS;
const COLORREF TITLE_COLOR = RGB(255, 255, 255);
const COLORREF MORE_COLOR = RGB(255, 255, 0);

// The first of the three theme parts (left part, fill column, right cap) of each face, up
// and down; the table gives how much of each part the face uses.
const int FACE_FIRST_PARTS[2] = {PART_TASK_BUTTON_UP_LEFT, PART_TASK_BUTTON_DOWN_LEFT};

TaskButtonArea area;
HINSTANCE textInstance;                               // holds the texts of the buttons and their menus
MemorySurface faceParts[2][FACE_PARTS];               // up and down theme parts
MemorySurface faces[TASK_BUTTON_SLOTS][2];            // up and down face of each position
HICON faceIcons[TASK_BUTTON_SLOTS][2];                // the icon a face shows whole, NULL when none
WCHAR moreText[MORE_TEXT_CHARS];                      // label of the overflow button
int pressedPosition = -1;                             // the button drawn pressed, -1 when none
HWND minimisingWindow;                                // the last press asked it to minimise
int reservedEndCX;                                    // taken from the area's right end

bool IsButtonPosition(int position) { return position >= 0 && position < TASK_BUTTON_SLOTS; }

int CapCX(int style) { return THEME_PARTS[FACE_FIRST_PARTS[style] + 2].size(*area.settings).cx; }

// The face's background from column `from` on (the left part's columns included from 0).
void ComposeFace(HDC face, int style, int width, int from)
{
    const ShellSettings& s = *area.settings;
    const int height = s.taskbarButtonHeight;
    const MemorySurface (&parts)[FACE_PARTS] = faceParts[style];
    const int leftCX = THEME_PARTS[FACE_FIRST_PARTS[style]].size(s).cx;
    const int capCX = CapCX(style);
    StretchBlt(face, from, 0, s.taskbarButtonMaxCX - from, height, parts[1].dc, 0, 0, 1, height, SRCCOPY);
    if (from < leftCX) BitBlt(face, from, 0, leftCX - from, height, parts[0].dc, from, 0, SRCCOPY);
    BitBlt(face, width - capCX, 0, capCX, height, parts[2].dc, 0, 0, SRCCOPY);
}

// The icon and title, or More's text; with keptIcon the face already shows the icon.
void DrawFaceContent(HDC face, int width, int entry, bool keptIcon)
{
    const int height = area.settings->taskbarButtonHeight;
    SelectObject(face, NormalFont);
    SetBkMode(face, TRANSPARENT);
    if (entry == TASK_BUTTON_MORE) {
        SetTextColor(face, MORE_COLOR);
        DrawTextInRect(face, moreText, TEXT_MARGIN, 0, width - TEXT_MARGIN, height, MORE_FORMAT);
        return;
    }
    SetTextColor(face, TITLE_COLOR);
    const TaskEntry& task = CurrentTask(entry);
    int titleLeft = TEXT_MARGIN;
    if (task.icon) {
        if (!keptIcon) DrawIconAtSize(face, ICON_X, ICON_Y, task.icon, TASK_ICON_SIZE);
        titleLeft = TITLE_AFTER_ICON_X;
    }
    DrawTextInRect(face, task.title, titleLeft, 0, width - TEXT_MARGIN, height, TITLE_FORMAT);
}

// Composes both faces of the button at position i and draws its up face into the back buffer.
// A face that shows the entry's icon whole keeps it and the columns before the title: the
// icon is the dearest part of a face, and a change of the area's width redraws every button.
void DrawTaskButton(int i, TaskButtonPlace place, int entry)
{
    HICON icon = entry == TASK_BUTTON_MORE ? NULL : CurrentTask(entry).icon;
    for (int style = 0; style < 2; ++style) {
        const bool whole = place.width - CapCX(style) >= TITLE_AFTER_ICON_X;  // the cap clear of the icon
        const bool kept = icon && whole && faceIcons[i][style] == icon;
        ComposeFace(faces[i][style].dc, style, place.width, kept ? TITLE_AFTER_ICON_X : 0);
        DrawFaceContent(faces[i][style].dc, place.width, entry, kept);
        faceIcons[i][style] = whole ? icon : NULL;
    }
    SetButtonItem(area.window, FIRST_TASK_BUTTON + i, place.x, TASK_BUTTON_Y, place.width,
                  area.settings->taskbarButtonHeight, faces[i][0].dc, faces[i][1].dc, TRUE, BUTTON_UP);
    DrawButtonItem(area.window, FIRST_TASK_BUTTON + i, 0);
}

// An empty position: no rectangle, never hit. Its faces forget their icons, which may be
// destroyed and their handles given to others.
void ClearTaskButton(int i)
{
    faceIcons[i][0] = faceIcons[i][1] = NULL;
    SetButtonItem(area.window, FIRST_TASK_BUTTON + i, 0, 0, 0, 0, faces[i][0].dc, faces[i][1].dc, FALSE, BUTTON_UP);
}

int TaskAreaLeft() { return area.settings->taskbarStartButtonCX + TASK_AREA_GAP; }
int TaskAreaEnd() { return ScreenSize.cx - area.settings->taskbarClockCX - reservedEndCX; }
int TaskAreaWidth() { return TaskAreaEnd() - TASK_AREA_GAP - TaskAreaLeft(); }
int ShownTaskButtons() { return TaskCount() < TASK_BUTTON_SLOTS ? TaskCount() : TASK_BUTTON_SLOTS; }

void LayoutTaskButtons()
{
    const ShellSettings& s = *area.settings;
    const int left = TaskAreaLeft(), end = TaskAreaEnd(), areaWidth = TaskAreaWidth();
    StretchBlt(area.backBuffer, left, 0, end - left, s.taskbarHeight, area.background, 0, 0, 1, s.taskbarHeight,
               SRCCOPY);
    const int count = TaskCount();
    const int shown = ShownTaskButtons();
    for (int i = 0; i < shown; ++i) {
        DrawTaskButton(i, PlaceTaskButton(left, areaWidth, s.taskbarButtonMaxCX, shown, i), TaskButtonEntry(i, count));
    }
    for (int i = shown; i < TASK_BUTTON_SLOTS; ++i) ClearTaskButton(i);
    pressedPosition = -1;  // every face is up now
}

void SetTaskButtonFace(int position, ButtonState state, bool show)
{
    if (!IsButtonPosition(position)) return;
    SetButtonState(area.window, FIRST_TASK_BUTTON + position, state);
    if (show)
        RedrawButtonItem(area.window, FIRST_TASK_BUTTON + position, 0);
    else
        DrawButtonItem(area.window, FIRST_TASK_BUTTON + position, 0);
}

// Draws the old pressed button up and the one at the position pressed.
void MarkPressed(int position, bool show)
{
    if (position == pressedPosition) return;
    SetTaskButtonFace(pressedPosition, BUTTON_UP, show);
    SetTaskButtonFace(position, BUTTON_DOWN, show);
    pressedPosition = IsButtonPosition(position) ? position : -1;
}

}  // namespace

int LoadTaskButtonImages(HDC backBuffer, const ShellSettings& settings)
{
    for (int style = 0; style < 2; ++style)
        for (int part = 0; part < FACE_PARTS; ++part)
            if (LoadThemeBitmap(backBuffer, settings.themeFolder, THEME_PARTS[FACE_FIRST_PARTS[style] + part].name,
                                &faceParts[style][part]) != 0)
                return 1;
    return 0;
}

int CreateTaskButtons(const TaskButtonArea& buttonArea, HINSTANCE instance)
{
    area = buttonArea;
    textInstance = instance;
    pressedPosition = -1;
    reservedEndCX = 0;
    if (LoadShellText(instance, IDS_MORE, moreText, MORE_TEXT_CHARS) != 0) LogError(L"LoadString Error");
    for (int i = 0; i < TASK_BUTTON_SLOTS; ++i) {
        for (MemorySurface& face : faces[i])
            if (CreateMemorySurface(area.backBuffer, area.settings->taskbarButtonMaxCX,
                                    area.settings->taskbarButtonHeight, &face) != 0)
                return 1;
        ClearTaskButton(i);
    }
    return 0;
}

void ReleaseTaskButtons()
{
    for (MemorySurface(&parts)[FACE_PARTS] : faceParts)
        for (MemorySurface& part : parts) ReleaseMemorySurface(&part);
    for (MemorySurface(&pair)[2] : faces)
        for (MemorySurface& face : pair) ReleaseMemorySurface(&face);
}

void DrawTaskListChanges(unsigned changes)
{
    if (changes & TASK_LIST_CHANGED) LayoutTaskButtons();
    MarkPressed(SelectedTask(), false);
}

void ReserveTaskAreaEnd(int width)
{
    const int oldWidth = TaskAreaWidth();
    reservedEndCX = width;
    // Buttons of their full width from the left stay where they are; the strip that changes
    // hands is the reserving area's to draw.
    const int shown = ShownTaskButtons(), maxCX = area.settings->taskbarButtonMaxCX;
    if (shown * maxCX < oldWidth && shown * maxCX < TaskAreaWidth()) return;
    LayoutTaskButtons();
    MarkPressed(SelectedTask(), false);
}

void PressTaskButton(int position)
{
    if (!IsButtonPosition(position) || position >= TaskCount()) return;
    HWND window = CurrentTask(position).window;
    const bool minimised = IsWindowMinimised(window);
    const bool inFront = SelectedTask() == position;
    SelectTask(position);
    minimisingWindow = inFront && !minimised ? window : NULL;
    if (minimisingWindow) {
        MarkPressed(-1, true);
        // Asynchronous: a hung application must not stop the shell.
        MinimiseWindowAsync(window);
        return;
    }
    MarkPressed(position, true);
    BringWindowToFront(window);
}

void HoldTaskButton(int position)
{
    RECT button;
    if (!IsButtonPosition(position) || position >= TaskCount() ||
        GetButtonRect(area.window, FIRST_TASK_BUTTON + position, &button) != 0)
        return;
    POINT anchor = {button.left, 0};  // the menu stands on the bar, above the button
    ClientToScreen(area.window, &anchor);
    const TaskMenuOwner owner = {area.window, textInstance};
    if (TaskButtonEntry(position, TaskCount()) == TASK_BUTTON_MORE)
        ShowTaskListMenu(owner, position, anchor);
    else
        ShowTaskMenu(owner, position, anchor, CurrentTask(position).window == minimisingWindow);
}

int TaskButtonEntry(int position, int count)
{
    return count > TASK_BUTTON_SLOTS && position == TASK_BUTTON_SLOTS - 1 ? TASK_BUTTON_MORE : position;
}

TaskButtonPlace PlaceTaskButton(int left, int areaWidth, int buttonMaxCX, int shown, int i)
{
    if (shown * buttonMaxCX < areaWidth) return TaskButtonPlace{left + i * buttonMaxCX, buttonMaxCX};
    int start = areaWidth * i / shown;
    return TaskButtonPlace{left + start, areaWidth * (i + 1) / shown - start};
}
