// Reads the sample application's options from its command line or its app.cfg.
#include "app_options.h"

#include <shellapi.h>
#include <strsafe.h>
#include <wchar.h>

#include <climits>

#include "sample_resource.h"

enum { kMaxConfigBytes = 64 * 1024, kMaxDelayMs = 24 * 60 * 60 * 1000 };

static const wchar_t kConfigFileName[] = L"app.cfg";

// Debug output is where a developer looks (zorv-log shows it); the program itself goes on.
static void report(const wchar_t* format, const wchar_t* text) {
  wchar_t line[kAppTitleChars + 64];
  StringCchPrintfW(line, ARRAYSIZE(line), format, text);
  OutputDebugStringW(line);
}

// A whole decimal number from low to high; 1 when the text is anything else.
static int parse_number(const wchar_t* text, int low, int high, int* value) {
  if (*text == L'\0') return 1;
  wchar_t* end = nullptr;
  long number = wcstol(text, &end, 10);
  if (*end != L'\0' || number < low || number > high) return 1;
  *value = (int)number;
  return 0;
}

static int parse_icon_source(const wchar_t* text, IconSource* source) {
  if (wcscmp(text, L"message") == 0) *source = ICON_FROM_MESSAGE;
  else if (wcscmp(text, L"class") == 0) *source = ICON_FROM_CLASS;
  else if (wcscmp(text, L"file") == 0) *source = ICON_FROM_FILE;
  else return 1;
  return 0;
}

void GetProgramFolderName(wchar_t* name, size_t chars) {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, ARRAYSIZE(path));
  if (length == 0 || length >= ARRAYSIZE(path)) {  // no path, or cut short
    StringCchCopyW(name, chars, L"Sample");
    return;
  }
  wchar_t* file = wcsrchr(path, L'\\');
  if (file == nullptr) {
    StringCchCopyW(name, chars, L"Sample");
    return;
  }
  *file = L'\0';
  wchar_t* folder = wcsrchr(path, L'\\');
  StringCchCopyW(name, chars, folder ? folder + 1 : path);
}

void ResetAppOptions(AppOptions* options) {
  ZeroMemory(options, sizeof(*options));
  GetProgramFolderName(options->title, ARRAYSIZE(options->title));
  options->icon = SAMPLE_FILE_ICON;  // the window shows what the file shows
  options->icon_source = ICON_FROM_MESSAGE;
  options->retitle_after_ms = 1000;
  options->hang_after_ms = -1;
  options->exit_after_ms = -1;
  options->windows = 1;
  options->notify_id = -1;
  options->notify_change_after_ms = -1;
  options->flip_every_ms = -1;
  options->width = 400;
  options->height = 240;
}

int ApplyAppOption(AppOptions* options, const wchar_t* argument) {
  if (wcsncmp(argument, L"--", 2) != 0) return 1;
  const wchar_t* name = argument + 2;
  if (wcscmp(name, L"dialog") == 0) {
    options->dialog = true;
    return 0;
  }
  if (wcscmp(name, L"refuse-close") == 0) {
    options->refuse_close = true;
    return 0;
  }
  if (wcscmp(name, L"full-screen") == 0) {
    options->full_screen = true;
    return 0;
  }
  if (wcscmp(name, L"notify-listen") == 0) {
    options->notify_listen = true;
    return 0;
  }
  const wchar_t* equals = wcschr(name, L'=');
  if (equals == nullptr) return 1;
  size_t name_length = (size_t)(equals - name);
  const wchar_t* value = equals + 1;
  auto is = [&](const wchar_t* known) {
    return wcslen(known) == name_length && wcsncmp(name, known, name_length) == 0;
  };

  // Texts are cut to fit, like any bounded copy.
  if (is(L"title")) {
    StringCchCopyW(options->title, ARRAYSIZE(options->title), value);
    return 0;
  }
  if (is(L"retitle")) {
    StringCchCopyW(options->retitle_text, ARRAYSIZE(options->retitle_text), value);
    options->retitle = true;
    return 0;
  }
  if (is(L"show")) {
    if (wcscmp(value, L"given") != 0) return 1;
    options->show_as_given = true;
    return 0;
  }
  // The numbers, each with its range.
  struct NumberOption {
    const wchar_t* name;
    int AppOptions::*field;
    int low, high;
  };
  static const NumberOption kNumbers[] = {
      {L"icon", &AppOptions::icon, 0, SAMPLE_ICON_COUNT - 1},
      {L"retitle-after", &AppOptions::retitle_after_ms, 0, kMaxDelayMs},
      {L"hang-after", &AppOptions::hang_after_ms, 0, kMaxDelayMs},
      {L"exit-after", &AppOptions::exit_after_ms, 0, kMaxDelayMs},
      {L"notify-icon", &AppOptions::notify_id, 0, INT_MAX},
      {L"notify-change-after", &AppOptions::notify_change_after_ms, 0, kMaxDelayMs},
      {L"windows", &AppOptions::windows, 1, kMaxAppWindows},
      {L"flip-every", &AppOptions::flip_every_ms, 1, kMaxDelayMs},
      {L"width", &AppOptions::width, 1, 4096},
      {L"height", &AppOptions::height, 1, 4096},
  };
  for (const NumberOption& number : kNumbers)
    if (is(number.name)) return parse_number(value, number.low, number.high, &(options->*number.field));
  if (is(L"icon-source")) return parse_icon_source(value, &options->icon_source);
  if (is(L"x")) {
    if (parse_number(value, -4096, 4096, &options->x) != 0) return 1;
    options->has_x = true;
    return 0;
  }
  if (is(L"y")) {
    if (parse_number(value, -4096, 4096, &options->y) != 0) return 1;
    options->has_y = true;
    return 0;
  }
  return 1;
}

static bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// One line of the file, bytes begin..end, without its line end.
static void apply_config_line(AppOptions* options, const char* begin, const char* end) {
  while (begin < end && is_blank(*begin)) begin++;
  while (end > begin && is_blank(end[-1])) end--;
  if (begin == end || *begin == '#') return;
  wchar_t argument[kAppTitleChars + 32];
  int chars = MultiByteToWideChar(CP_UTF8, 0, begin, (int)(end - begin), argument, ARRAYSIZE(argument) - 1);
  if (chars <= 0) {
    report(L"zorv-sample-app: skipping a line of %s that is too long or not UTF-8", kConfigFileName);
    return;
  }
  argument[chars] = L'\0';
  if (ApplyAppOption(options, argument) != 0) report(L"zorv-sample-app: skipping option \"%s\"", argument);
}

int LoadAppOptionsFile(AppOptions* options, const wchar_t* path) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  static char bytes[kMaxConfigBytes + 1];
  DWORD size = 0;
  BOOL read = ReadFile(file, bytes, sizeof(bytes), &size, nullptr);
  CloseHandle(file);
  if (!read || size > kMaxConfigBytes) {
    report(L"zorv-sample-app: cannot read %s", path);
    return 1;
  }
  const char* p = bytes;
  const char* end = bytes + size;
  if (size >= 3 && (unsigned char)p[0] == 0xEF && (unsigned char)p[1] == 0xBB && (unsigned char)p[2] == 0xBF) p += 3;
  while (p < end) {
    const char* line_end = p;
    while (line_end < end && *line_end != '\n') line_end++;
    apply_config_line(options, p, line_end);
    p = line_end + 1;
  }
  return 0;
}

// app.cfg beside the executable.
static int get_config_path(wchar_t* path, size_t chars) {
  DWORD length = GetModuleFileNameW(nullptr, path, (DWORD)chars);
  if (length == 0 || length >= chars) return 1;
  wchar_t* file = wcsrchr(path, L'\\');
  if (file == nullptr) return 1;
  file[1] = L'\0';
  return StringCchCatW(path, chars, kConfigFileName) == S_OK ? 0 : 1;
}

int LoadAppOptions(AppOptions* options) {
  ResetAppOptions(options);
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments != nullptr && count > 1) {
    for (int i = 1; i < count; i++) {
      if (ApplyAppOption(options, arguments[i]) != 0) report(L"zorv-sample-app: ignoring argument \"%s\"", arguments[i]);
    }
    LocalFree(arguments);
    return 0;
  }
  if (arguments != nullptr) LocalFree(arguments);
  wchar_t path[MAX_PATH];
  if (get_config_path(path, ARRAYSIZE(path)) == 0) LoadAppOptionsFile(options, path);
  return 0;
}
