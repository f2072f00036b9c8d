// zorv-sample-app: a small application for the simulated device. It opens one or more
// top-level windows with a title and an icon, and can change its title, open an owned
// dialog, stop answering messages or close itself, as its options say (app_options.h).
#include <windows.h>
#include <strsafe.h>

#include "app_notify.h"
#include "app_options.h"
#include "sample_resource.h"

static const wchar_t kMainClass[] = L"ZorvSampleApp";
static const wchar_t kDialogClass[] = L"ZorvSampleDialog";

enum {
  kBandHeight = 48,     // coloured band at the top of the client area
  kCascadeStep = 20,    // offset between the windows of one process
  kCascadeCount = 6,    // windows per cascade before it starts again
  kDialogWidth = 280,
  kDialogHeight = 120,
};

// Halfway colours of the icon tiles drawn by make_app_icons.py, one per icon, and the text
// colour that reads on each.
static const COLORREF kBandColours[SAMPLE_ICON_COUNT] = {
  RGB(241, 182, 60), RGB(60, 110, 210), RGB(70, 169, 78), RGB(216, 72, 64),
};
static const COLORREF kBandTextColours[SAMPLE_ICON_COUNT] = {
  RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
};
static const wchar_t* const kIconSourceNames[] = {L"message", L"class", L"file"};

static AppOptions options;                 // what this instance was asked to do
static HINSTANCE instance;
static HICON small_icon, big_icon;         // the chosen embedded icon; shared, never destroyed
static HFONT title_font, detail_font;      // for painting; made at start, deleted at the end
static HWND main_windows[kMaxAppWindows];  // top-level windows in creation order; NULL once gone
static int live_windows;                   // main windows not yet destroyed; 0 ends the loop
static HWND dialog_window;                 // the owned dialog, while it is open
static UINT_PTR retitle_timer, hang_timer, exit_timer, notify_timer, flip_timer;  // thread timers; 0 when not set

// The title of window k: the text itself for a single window, "TEXT k+1" for several.
static void format_window_title(const wchar_t* text, int k, wchar_t* title, size_t chars) {
  if (options.windows == 1) StringCchCopyW(title, chars, text);
  else StringCchPrintfW(title, chars, L"%s %d", text, k + 1);
}

static void paint_main_window(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

  RECT band = {0, 0, client.right, kBandHeight};
  HBRUSH band_brush = CreateSolidBrush(kBandColours[options.icon]);
  FillRect(dc, &band, band_brush);
  DeleteObject(band_brush);
  if (big_icon) DrawIconEx(dc, 10, (kBandHeight - 32) / 2, big_icon, 32, 32, 0, nullptr, DI_NORMAL);

  wchar_t title[kAppTitleChars];
  GetWindowTextW(window, title, ARRAYSIZE(title));
  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ old_font = SelectObject(dc, title_font);
  SetTextColor(dc, kBandTextColours[options.icon]);
  RECT title_rect = {52, 0, client.right - 8, kBandHeight};
  DrawTextW(dc, title, -1, &title_rect, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);

  wchar_t detail[128];
  StringCchPrintfW(detail, ARRAYSIZE(detail), L"icon %d from %s, process %lu", options.icon,
                   kIconSourceNames[options.icon_source], GetCurrentProcessId());
  SelectObject(dc, detail_font);
  SetTextColor(dc, RGB(0, 0, 0));
  RECT detail_rect = {12, kBandHeight + 10, client.right - 8, client.bottom};
  DrawTextW(dc, detail, -1, &detail_rect, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old_font);
  EndPaint(window, &paint);
}

static void paint_dialog_window(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));
  RECT edge = {0, 0, 8, client.bottom};
  HBRUSH edge_brush = CreateSolidBrush(kBandColours[options.icon]);
  FillRect(dc, &edge, edge_brush);
  DeleteObject(edge_brush);
  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ old_font = SelectObject(dc, detail_font);
  RECT text = {20, 0, client.right - 8, client.bottom};
  DrawTextW(dc, L"A dialog owned by the main window.", -1, &text,
            DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  SelectObject(dc, old_font);
  EndPaint(window, &paint);
}

// The last main window to go ends the message loop.
static void forget_main_window(HWND window) {
  for (int k = 0; k < options.windows; k++) {
    if (main_windows[k] == window) main_windows[k] = nullptr;
  }
  live_windows--;
  if (live_windows == 0) PostQuitMessage(0);
}

static LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (window == main_windows[0] && handle_notify_message(message, wparam, lparam)) return 0;
  switch (message) {
    case WM_PAINT:
      paint_main_window(window);
      return 0;
    case WM_CLOSE:
      if (options.refuse_close) return 0;
      break;
    case WM_DESTROY:
      if (window == main_windows[0]) delete_notify_icon();
      forget_main_window(window);
      return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

static LRESULT CALLBACK dialog_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      paint_dialog_window(window);
      return 0;
    case WM_DESTROY:
      dialog_window = nullptr;
      return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

// The thread blocks for good: a message sent to any of its windows never returns.
static void hang_ui_thread() {
  OutputDebugStringW(L"zorv-sample-app: no longer answering messages");
  for (;;) Sleep(INFINITE);
}

static void retitle_windows() {
  for (int k = 0; k < options.windows; k++) {
    if (main_windows[k] == nullptr) continue;  // closed by the user
    wchar_t title[kAppTitleChars + 16];
    format_window_title(options.retitle_text, k, title, ARRAYSIZE(title));
    SetWindowTextW(main_windows[k], title);
    InvalidateRect(main_windows[k], nullptr, FALSE);
  }
}

static void close_all_windows() {
  if (dialog_window) DestroyWindow(dialog_window);
  for (int k = 0; k < options.windows; k++) {
    if (main_windows[k]) DestroyWindow(main_windows[k]);
  }
}

// Thread timers come to the loop with no window, so closing any one window stops none.
static void handle_thread_timer(UINT_PTR id) {
  if (id == retitle_timer) {
    KillTimer(nullptr, retitle_timer);
    retitle_timer = 0;
    retitle_windows();
  } else if (id == hang_timer) {
    hang_ui_thread();
  } else if (id == notify_timer) {
    KillTimer(nullptr, notify_timer);
    notify_timer = 0;
    // The next embedded icon, so that the change shows.
    int next = IDI_APP0 + (options.icon + 1) % SAMPLE_ICON_COUNT;
    change_notify_icon(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(next), IMAGE_ICON,
                                                     GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                     LR_SHARED)),
                       options);
  } else if (id == flip_timer) {
    // Between the whole screen and the window's own size, in front all the while.
    static bool shrunk;
    shrunk = !shrunk;
    SetWindowPos(main_windows[0], nullptr, 0, 0, shrunk ? options.width : GetSystemMetrics(SM_CXSCREEN),
                 shrunk ? options.height : GetSystemMetrics(SM_CYSCREEN), SWP_NOZORDER | SWP_NOACTIVATE);
  } else if (id == exit_timer) {
    KillTimer(nullptr, exit_timer);
    exit_timer = 0;
    close_all_windows();
  }
}

static int load_icons() {
  int id = IDI_APP0 + options.icon;
  small_icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  big_icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                           GetSystemMetrics(SM_CYICON), LR_SHARED));
  return small_icon && big_icon ? 0 : 1;
}

// Fonts follow the system's message font, so Japanese titles show wherever the system's
// own captions show them.
static void create_fonts() {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  detail_font = CreateFontIndirectW(&metrics.lfMessageFont);
  LOGFONTW title = metrics.lfMessageFont;
  title.lfHeight = -20;
  title.lfWeight = FW_BOLD;
  title_font = CreateFontIndirectW(&title);
}

static void delete_fonts() {
  if (title_font) DeleteObject(title_font);
  if (detail_font) DeleteObject(detail_font);
}

static int register_classes() {
  WNDCLASSEXW main_class = {};
  main_class.cbSize = sizeof(main_class);
  main_class.lpfnWndProc = main_window_proc;
  main_class.hInstance = instance;
  main_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  main_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  main_class.lpszClassName = kMainClass;
  if (options.icon_source == ICON_FROM_CLASS) {
    main_class.hIcon = big_icon;
    main_class.hIconSm = small_icon;
  }
  WNDCLASSEXW dialog_class = main_class;
  dialog_class.lpfnWndProc = dialog_window_proc;
  dialog_class.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  dialog_class.hIcon = nullptr;
  dialog_class.hIconSm = nullptr;
  dialog_class.lpszClassName = kDialogClass;
  return RegisterClassExW(&main_class) && RegisterClassExW(&dialog_class) ? 0 : 1;
}

// A launcher may ask for SW_HIDE, and the first ShowWindow of a process may take the
// launcher's choice; the device ignores it, so the window shows anyway, unless the options
// ask to honour the launcher (as many desktop programs do).
static void show_main_window(HWND window, int show_command) {
  if (options.show_as_given) {
    ShowWindow(window, show_command);
  } else {
    ShowWindow(window, SW_SHOWNORMAL);
    if (!IsWindowVisible(window)) ShowWindow(window, SW_SHOWNORMAL);
  }
  UpdateWindow(window);
}

// Default placement steps with the icon number, so that applications with different icons
// do not hide each other, and every window fits the 800 x 450 above the taskbar.
static HWND create_main_window(int k) {
  int step = kCascadeStep * (k % kCascadeCount);
  int x = (options.has_x ? options.x : 30 + 90 * options.icon) + step;
  int y = (options.has_y ? options.y : 16 + 30 * options.icon) + step;
  wchar_t title[kAppTitleChars + 16];
  format_window_title(options.title, k, title, ARRAYSIZE(title));
  const bool full = options.full_screen && k == 0;
  HWND window = full ? CreateWindowExW(0, kMainClass, title, WS_POPUP, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                       GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, nullptr)
                     : CreateWindowExW(0, kMainClass, title, WS_OVERLAPPEDWINDOW, x, y, options.width, options.height,
                                       nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return nullptr;
  if (options.icon_source == ICON_FROM_MESSAGE) {
    SendMessageW(window, WM_SETICON, ICON_SMALL, (LPARAM)small_icon);
    SendMessageW(window, WM_SETICON, ICON_BIG, (LPARAM)big_icon);
  }
  return window;
}

// An owned popup with a caption, centred on its owner and brought to the front, so the
// foreground window is the dialog and GetParent of it is the owner.
static HWND open_dialog_window(HWND owner) {
  RECT owner_rect;
  GetWindowRect(owner, &owner_rect);
  int x = (owner_rect.left + owner_rect.right - kDialogWidth) / 2;
  int y = (owner_rect.top + owner_rect.bottom - kDialogHeight) / 2;
  wchar_t title[kAppTitleChars + 16];
  StringCchPrintfW(title, ARRAYSIZE(title), L"%s - Dialog", options.title);
  HWND dialog = CreateWindowExW(WS_EX_DLGMODALFRAME, kDialogClass, title, WS_POPUP | WS_CAPTION | WS_SYSMENU, x, y,
                                kDialogWidth, kDialogHeight, owner, nullptr, instance, nullptr);
  if (dialog == nullptr) return nullptr;
  ShowWindow(dialog, SW_SHOW);
  UpdateWindow(dialog);
  SetForegroundWindow(dialog);
  return dialog;
}

// Lets everything that showing the windows queued (painting first of all) happen.
static void flush_messages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

static void start_timers() {
  if (options.retitle) retitle_timer = SetTimer(nullptr, 0, options.retitle_after_ms, nullptr);
  if (options.hang_after_ms > 0) hang_timer = SetTimer(nullptr, 0, options.hang_after_ms, nullptr);
  if (options.notify_change_after_ms >= 0)
    notify_timer = SetTimer(nullptr, 0, options.notify_change_after_ms, nullptr);
  if (options.exit_after_ms >= 0) exit_timer = SetTimer(nullptr, 0, options.exit_after_ms, nullptr);
  if (options.full_screen && options.flip_every_ms > 0)
    flip_timer = SetTimer(nullptr, 0, options.flip_every_ms, nullptr);
}

static int run_message_loop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.hwnd == nullptr && message.message == WM_TIMER) {
      handle_thread_timer(message.wParam);
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return (int)message.wParam;
}

// The entry point keeps the parameter names of its declaration in winbase.h.
int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR, int nShowCmd) {
  instance = hInstance;
  LoadAppOptions(&options);
  if (load_icons() != 0) OutputDebugStringW(L"zorv-sample-app: cannot load icon");
  create_fonts();
  if (register_classes() != 0) {
    OutputDebugStringW(L"zorv-sample-app: cannot register window classes");
    delete_fonts();
    return 1;
  }
  for (int k = 0; k < options.windows; k++) {
    main_windows[k] = create_main_window(k);
    if (main_windows[k] == nullptr) {
      OutputDebugStringW(L"zorv-sample-app: cannot create a window");
      close_all_windows();
      delete_fonts();
      return 1;
    }
    live_windows++;
  }
  for (int k = 0; k < options.windows; k++) show_main_window(main_windows[k], nShowCmd);
  add_notify_icon(main_windows[0], small_icon, options);
  if (options.dialog) dialog_window = open_dialog_window(main_windows[0]);
  start_timers();
  if (options.hang_after_ms == 0) {
    flush_messages();
    hang_ui_thread();
  }
  int code = run_message_loop();
  delete_fonts();
  return code;
}
