#include "test_files.h"

#include <gtest/gtest.h>

#include "core/log.h"

TempDirectory::TempDirectory()
{
    WCHAR base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static unsigned serial;
    for (;;) {
        WCHAR name[MAX_PATH];
        wsprintfW(name, L"%lszorv-test-%lu-%u", base, GetCurrentProcessId(), ++serial);
        if (CreateDirectoryW(name, NULL)) {
            path_ = name;
            return;
        }
    }
}

TempDirectory::~TempDirectory() { RemoveTree(path_); }

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << "cannot create " << ToUtf8(path);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL);
    CloseHandle(file);
    ASSERT_EQ(bytes.size(), written);
}

std::string ReadBytes(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string bytes;
    char buffer[4096];
    DWORD read;
    while (ReadFile(file, buffer, sizeof buffer, &read, NULL) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void MakeDirectories(const std::wstring& path)
{
    for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1))
        CreateDirectoryW(path.substr(0, at).c_str(), NULL);
    CreateDirectoryW(path.c_str(), NULL);
}

void RemoveTree(const std::wstring& path)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring child = path + L"\\" + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

void CopyTree(const std::wstring& from, const std::wstring& to)
{
    MakeDirectories(to);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((from + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CopyTree(from + L"\\" + name, to + L"\\" + name);
        else
            CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

std::string WithoutCarriageReturns(const std::string& text)
{
    std::string result;
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) result += text[i];
    return result;
}

std::string ToUtf8(const std::wstring& text)
{
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), NULL, 0, NULL, NULL);
    std::string result(bytes, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &result[0], bytes, NULL, NULL);
    return result;
}

std::wstring FromUtf8(const std::string& text)
{
    int chars = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), NULL, 0);
    std::wstring result(chars, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &result[0], chars);
    return result;
}

namespace {
LogCapture* activeCapture;
}

LogCapture::LogCapture()
{
    activeCapture = this;
    SetLogSink([](LPCWSTR line) { activeCapture->lines.push_back(line); });
    SetFatalBoxPresenter([](LPCWSTR text, LPCWSTR, UINT) { activeCapture->fatalBoxes.push_back(text); });
}

LogCapture::~LogCapture()
{
    SetLogSink(nullptr);
    SetFatalBoxPresenter(nullptr);
    activeCapture = nullptr;
    TakeQuitMessage();
}

bool LogCapture::Contains(const std::wstring& fragment) const
{
    for (const std::wstring& line : lines)
        if (line.find(fragment) != std::wstring::npos) return true;
    return false;
}

bool TakeQuitMessage(int* exitCode)
{
    bool quit = false;
    MSG msg;
    while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_QUIT) {
            DispatchMessageW(&msg);  // a window left unpainted would come back for ever
            continue;
        }
        quit = true;
        if (exitCode) *exitCode = static_cast<int>(msg.wParam);
    }
    return quit;
}

std::wstring SourcePath(const std::wstring& relative)
{
    std::wstring root = L"Z:" + FromUtf8(ZORV_SOURCE_DIR);
    for (WCHAR& c : root)
        if (c == L'/') c = L'\\';
    return root + L"\\" + relative;
}
