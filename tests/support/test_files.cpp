#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/log.h"

namespace fs = std::filesystem;

static std::error_code ignored;  // where a helper's failure shows later, as a missing file
static LogCapture* activeCapture;

// A crash ends the test at once, rather than in Wine's crash dialog at the time-out.
static const LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter([](EXCEPTION_POINTERS* e) -> LONG {
    fprintf(stderr, "crashed: exception 0x%08lx\n", e->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
});

std::wstring TempDirectory::Unique(const wchar_t* kind)
{
    static unsigned serial;
    return fs::temp_directory_path() / (L"zorv-" + std::wstring(kind) + L"-" + std::to_wstring(GetCurrentProcessId()) +
                                        L"-" + std::to_wstring(++serial));
}

TempDirectory::TempDirectory()
{
    while (!fs::create_directory(path_ = Unique(L"test"), ignored)) {}
}

TempDirectory::~TempDirectory() { fs::remove_all(path_, ignored); }

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    fs::create_directories(fs::path(path).parent_path(), ignored);
    std::ofstream file(fs::path(path), std::ios::binary);
    ASSERT_TRUE(file.write(bytes.data(), bytes.size()).flush()) << "cannot write " << ToUtf8(path);
}

std::string ReadBytes(const std::wstring& path)
{
    std::ifstream file(fs::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string ReadText(const std::wstring& path)
{
    std::string bytes = ReadBytes(path);
    bytes.erase(std::remove(bytes.begin(), bytes.end(), '\r'), bytes.end());
    return bytes;
}


void InstallDefaultHome(const std::wstring& home)
{
    fs::create_directories(home, ignored);
    fs::copy(SourcePath(L"themes\\default"), home, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

std::string ToUtf8(const std::wstring& text) { return fs::path(text).u8string(); }
std::wstring FromUtf8(const std::string& text) { return fs::u8path(text).wstring(); }

std::wstring SourcePath(const std::wstring& relative)
{
    return L"Z:" + fs::u8path(ZORV_SOURCE_DIR).make_preferred().wstring() + L"\\" + relative;
}

std::string BmpFile(int width, int height)
{
    const DWORD stride = (width * 3 + 3) / 4 * 4, offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    const BITMAPFILEHEADER file = {0x4D42, offset + stride * height, 0, 0, offset};
    const BITMAPINFOHEADER info = {sizeof info, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::string bytes = std::string(reinterpret_cast<const char*>(&file), sizeof file) +
                        std::string(reinterpret_cast<const char*>(&info), sizeof info);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) bytes += {char(255 - x), char(y * 10), char(x)};  // blue, green, red
        bytes.append(stride - 3 * width, '\0');
    }
    return bytes;
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
    TakeQuitMessage();  // a fatal error's quit request must not reach the next test
}

std::wstring WindowText(HWND window)
{
    WCHAR text[4096] = L"";
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, ARRAYSIZE(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &copied);
    return text;
}

std::wstring AnswerBox(HWND box, int button)
{
    const std::wstring text = WindowText(GetDlgItem(box, 0xFFFF));  // the message's static control
    PostMessageW(box, WM_COMMAND, button, reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    return text;
}

bool TakeQuitMessage(int* exitCode)
{
    bool quit = false;
    for (MSG msg; PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE);) {
        if (msg.message != WM_QUIT) DispatchMessageW(&msg);  // a window left unpainted would come back for ever
        if (msg.message == WM_QUIT && exitCode) *exitCode = static_cast<int>(msg.wParam);
        quit = quit || msg.message == WM_QUIT;
    }
    return quit;
}
