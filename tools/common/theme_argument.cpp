#include "theme_argument.h"

namespace {

std::wstring Folder(const std::wstring& path)
{
    const size_t last = path.find_last_of(L'\\');
    return last == std::wstring::npos ? L"." : path.substr(0, last);
}

// The bundled settings.cfg, from the tool's resources into a temporary file.
int WriteBundledSettings(std::wstring* path)
{
    HRSRC found = FindResourceW(NULL, L"BUNDLED_SETTINGS", RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(NULL, found) : NULL;
    WCHAR folder[MAX_PATH], file[MAX_PATH];
    if (!loaded || !GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, L"zth", 0, file)) return 1;
    HANDLE output = CreateFileW(file, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, NULL);
    if (output == INVALID_HANDLE_VALUE) return 1;
    const DWORD size = SizeofResource(NULL, found);
    DWORD written = 0;
    const BOOL complete = WriteFile(output, LockResource(loaded), size, &written, NULL) && written == size;
    CloseHandle(output);
    *path = file;
    return complete ? 0 : 1;
}

}  // namespace

std::wstring FullPath(LPCWSTR path)
{
    WCHAR full[MAX_PATH];
    DWORD length = GetFullPathNameW(path, MAX_PATH, full, NULL);
    std::wstring result = length > 0 && length < MAX_PATH ? full : path;
    while (result.size() > 3 && result.back() == L'\\') result.pop_back();
    return result;
}

int ThemeArgument::Read(LPCWSTR argument, std::wstring* error)
{
    const std::wstring path = FullPath(argument);
    // What is not a file is a home directory, whose missing settings the shell's reader names.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        home_ = path;
        return 0;
    }
    themePath_ = path;
    home_ = Folder(Folder(path));
    if (WriteBundledSettings(&settingsPath_) != 0) {
        *error = L"cannot lay out the bundled settings in the temporary folder";
        return 1;
    }
    return 0;
}

ThemeArgument::~ThemeArgument()
{
    if (!settingsPath_.empty()) DeleteFileW(settingsPath_.c_str());
}

SettingsFiles ThemeArgument::files() const
{
    SettingsFiles files = {home_.c_str()};
    if (!themePath_.empty()) {
        files.themePath = themePath_.c_str();
        files.settingsPath = settingsPath_.c_str();
    }
    return files;
}
