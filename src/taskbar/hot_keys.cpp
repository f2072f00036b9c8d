#include "taskbar/hot_keys.h"

#include <wchar.h>

#include "core/log.h"
#include "platform/platform.h"

namespace {

struct NamedKey {
    LPCWSTR name;
    UINT key;
};

// Names beyond the letters, digits and F1 to F24.
const NamedKey KEY_NAMES[] = {
    {L"Esc", VK_ESCAPE},
    {L"Escape", VK_ESCAPE},
    {L"Tab", VK_TAB},
    {L"Enter", VK_RETURN},
    {L"Space", VK_SPACE},
    {L"Backspace", VK_BACK},
    {L"Insert", VK_INSERT},
    {L"Delete", VK_DELETE},
    {L"Home", VK_HOME},
    {L"End", VK_END},
    {L"PageUp", VK_PRIOR},
    {L"PageDown", VK_NEXT},
    {L"Up", VK_UP},
    {L"Down", VK_DOWN},
    {L"Left", VK_LEFT},
    {L"Right", VK_RIGHT},
    {L"Pause", VK_PAUSE},
    {L"ScrollLock", VK_SCROLL},
    {L"PrintScreen", VK_SNAPSHOT},
    {L"Apps", VK_APPS},
    {L"LWin", VK_LWIN},
    {L"RWin", VK_RWIN},
    {L"Multiply", VK_MULTIPLY},
    {L"Add", VK_ADD},
    {L"Subtract", VK_SUBTRACT},
    {L"Decimal", VK_DECIMAL},
    {L"Divide", VK_DIVIDE},
    {L"BrowserHome", VK_BROWSER_HOME},
    {L"LaunchMail", VK_LAUNCH_MAIL},
    {L"LaunchApp1", VK_LAUNCH_APP1},
    {L"LaunchApp2", VK_LAUNCH_APP2},
};

const NamedKey MODIFIER_NAMES[] = {
    {L"Ctrl+", MOD_CONTROL}, {L"Alt+", MOD_ALT}, {L"Shift+", MOD_SHIFT}, {L"Win+", MOD_WIN}};

// The key of a name without modifiers; 0 when the shell does not know it.
UINT KeyOfName(LPCWSTR name)
{
    const size_t length = wcslen(name);
    if (length == 1) {
        const WCHAR c = name[0] >= L'a' && name[0] <= L'z' ? name[0] - L'a' + L'A' : name[0];
        if ((c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9')) return c;  // their virtual keys are their codes
    }
    if ((name[0] == L'F' || name[0] == L'f') && length >= 2 && length <= 3) {
        WCHAR* end = NULL;
        const unsigned long number = wcstoul(name + 1, &end, 10);
        if (*end == L'\0' && name[1] != L'0' && number >= 1 && number <= 24)
            return VK_F1 + static_cast<UINT>(number) - 1;
    }
    if (length == 7 && _wcsnicmp(name, L"NumPad", 6) == 0 && name[6] >= L'0' && name[6] <= L'9')
        return VK_NUMPAD0 + (name[6] - L'0');
    for (const NamedKey& named : KEY_NAMES)
        if (_wcsicmp(name, named.name) == 0) return named.key;
    return 0;
}

struct ShellKey {
    ShellHotKey id;
    KeyChord chord;
    LPCWSTR name;  // for the log
};

// A held Tab goes on switching; a held menu key opens the menu once.
const ShellKey FIXED_KEYS[] = {
    {HOT_KEY_MENU, {MOD_CONTROL | HOT_KEY_NO_REPEAT, VK_ESCAPE}, L"Ctrl+Esc"},
    {HOT_KEY_SWITCH, {MOD_ALT, VK_TAB}, L"Alt+Tab"},
    {HOT_KEY_SWITCH_BACK, {MOD_ALT | MOD_SHIFT, VK_TAB}, L"Shift+Alt+Tab"},
};

void RegisterKey(HWND window, const ShellKey& key)
{
    if (!RegisterHotKey(window, key.id, key.chord.modifiers, key.chord.key))
        LogErrorF(L"Hot key %ls is not the shell's: another program holds it (error %lu)", key.name, GetLastError());
}

}  // namespace

bool ParseKeyName(LPCWSTR name, KeyChord* chord)
{
    UINT modifiers = 0;
    for (bool found = true; found;) {
        found = false;
        for (const NamedKey& modifier : MODIFIER_NAMES) {
            const size_t length = wcslen(modifier.name);
            if (_wcsnicmp(name, modifier.name, length) != 0) continue;
            modifiers |= modifier.key;
            name += length;
            found = true;
        }
    }
    const UINT key = KeyOfName(name);
    if (!key) return false;
    *chord = KeyChord{modifiers, key};
    return true;
}

void RegisterShellHotKeys(HWND window, LPCWSTR menuKeyName)
{
    for (const ShellKey& key : FIXED_KEYS) RegisterKey(window, key);
    if (!menuKeyName[0]) return;
    ShellKey chosen = {HOT_KEY_CHOSEN_MENU, {}, menuKeyName};
    if (!ParseKeyName(menuKeyName, &chosen.chord)) {
        LogErrorF(
            L"MenuKey \"%ls\" is not a key the shell knows: no menu key but "
            L"Ctrl+Esc",
            menuKeyName);
        return;
    }
    chosen.chord.modifiers |= HOT_KEY_NO_REPEAT;
    RegisterKey(window, chosen);
}

void UnregisterShellHotKeys(HWND window)
{
    for (const ShellKey& key : FIXED_KEYS) UnregisterHotKey(window, key.id);
    UnregisterHotKey(window, HOT_KEY_CHOSEN_MENU);
}
