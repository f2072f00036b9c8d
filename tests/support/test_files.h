// Helpers shared by the tests: temporary folders, files as bytes, captured log lines, the
// texts of windows and boxes.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// A fresh folder under the temporary directory, removed with everything in it.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    static std::wstring Unique(const wchar_t* kind);  // a fresh name under the temporary directory
    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

void WriteBytes(const std::wstring& path, const std::string& bytes);  // its folders made as needed
std::string ReadBytes(const std::wstring& path);  // empty for a missing file
std::string ReadText(const std::wstring& path);  // the bytes with the CR of text mode's CR LF dropped
// The bundled home directory copied into the folder, which is made when missing.
void InstallDefaultHome(const std::wstring& home);
std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);
// A path in the source tree (given with backslashes), as Wine sees it.
std::wstring SourcePath(const std::wstring& relative);

// A 24-bit bottom-up BMP file whose pixel (x, y) is RGB(x, 10 * y, 255 - x), each mod 256.
std::string BmpFile(int width, int height);

// Catches the shell's log lines and fatal boxes in process while it lives.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    std::vector<std::wstring> lines, fatalBoxes;
};

// A window's text, read through the window's own answer: an edit control of another process
// keeps its text there alone. Empty when the window does not answer in time.
std::wstring WindowText(HWND window);
// A message box's text, read before the button is pressed.
std::wstring AnswerBox(HWND box, int button = IDOK);

// Handles the messages waiting for this thread; true when WM_QUIT was among them, with
// its exit code stored.
bool TakeQuitMessage(int* exitCode = nullptr);
