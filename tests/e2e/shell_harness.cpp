#include "shell_harness.h"

#include <chrono>

#include "debug_session.h"
#include "desktop.h"
#include "test_files.h"

namespace {

std::wstring ModuleDirectory()
{
    WCHAR path[MAX_PATH];
    GetModuleFileNameW(NULL, path, MAX_PATH);
    std::wstring directory = path;
    return directory.substr(0, directory.rfind(L'\\'));
}

// A message box's text is its longest static control.
std::wstring MessageBoxText(HWND box)
{
    std::wstring text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        WCHAR name[32], content[4096];
        if (!GetClassNameW(child, name, 32) || _wcsicmp(name, L"Static") != 0) continue;
        GetWindowTextW(child, content, 4096);
        if (wcslen(content) > text.size()) text = content;
    }
    return text;
}

}  // namespace

ShellHarness::ShellHarness(std::wstring home) : home_(std::move(home)) {}

ShellHarness::~ShellHarness()
{
    Terminate();
    if (debugger_.joinable()) debugger_.join();
}

std::wstring ShellHarness::BuildDirectory() { return ModuleDirectory() + L"\\.."; }

void ShellHarness::InstallDefaultHome(const std::wstring& home) { CopyTree(SourcePath(L"themes\\default"), home); }

bool ShellHarness::Start(LPCWSTR desktop)
{
    desktop_ = desktop ? desktop : L"";
    std::wstring shell = home_ + L"\\zorv.exe";
    if (!CopyFileW((BuildDirectory() + L"\\zorv.exe").c_str(), shell.c_str(), FALSE)) return false;
    debugger_ = std::thread([this, shell] {
        DebugSessionEvents events;
        events.started = [this](const PROCESS_INFORMATION& process) {
            std::lock_guard<std::mutex> lock(mutex_);
            DuplicateHandle(GetCurrentProcess(), process.hProcess, GetCurrentProcess(), &process_, 0, FALSE,
                            DUPLICATE_SAME_ACCESS);
            processId_ = process.dwProcessId;
            started_ = true;
            changed_.notify_all();
        };
        events.line = [this](const std::wstring& line) {
            std::lock_guard<std::mutex> lock(mutex_);
            lines_.push_back(line);
            changed_.notify_all();
        };
        DWORD code = 0;
        bool ran = RunDebugSession(L"\"" + shell + L"\"", home_.c_str(), desktop_.empty() ? nullptr : desktop_.c_str(),
                                   events, &code);
        std::lock_guard<std::mutex> lock(mutex_);
        exitCode_ = code;
        ended_ = true;
        started_ = started_ || !ran;
        changed_.notify_all();
    });
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return started_; });
    return processId_ != 0;
}

std::vector<std::wstring> ShellHarness::Lines()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
}

int ShellHarness::FindLine(const std::wstring& fragment, int from)
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (int i = from < 0 ? 0 : from; i < static_cast<int>(lines_.size()); ++i)
        if (lines_[i].find(fragment) != std::wstring::npos) return i;
    return -1;
}

bool ShellHarness::WaitForLine(const std::wstring& fragment, DWORD timeoutMs)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        for (const std::wstring& line : lines_)
            if (line.find(fragment) != std::wstring::npos) return true;
        return false;
    });
}

bool ShellHarness::AnswerMessageBox(MessageBoxSeen* seen, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        HWND box = NULL;
        for (HWND window : TopLevelWindows(processId_, desktop_.empty() ? nullptr : desktop_.c_str())) {
            WCHAR name[16];
            if (IsWindowVisible(window) && GetClassNameW(window, name, 16) && wcscmp(name, L"#32770") == 0) box = window;
        }
        if (box) {
            WCHAR caption[256] = L"";
            GetWindowTextW(box, caption, 256);
            seen->caption = caption;
            seen->text = MessageBoxText(box);
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
            // Wait for the box to go, so that a second box is not mistaken for this one.
            for (int i = 0; i < 100 && IsWindow(box) && IsWindowVisible(box); ++i) Sleep(20);
            return true;
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (ended_) return false;
        }
        Sleep(50);
    }
    return false;
}

bool ShellHarness::WaitForExit(DWORD* exitCode, DWORD timeoutMs)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (!changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return ended_; })) return false;
    *exitCode = exitCode_;
    return true;
}

void ShellHarness::Terminate()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (process_ && !ended_) TerminateProcess(process_, 255);
    if (process_) CloseHandle(process_);
    process_ = NULL;
}

std::string RunAndCapture(const std::wstring& commandLine, DWORD timeoutMs)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
    HANDLE readEnd, writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return std::string();
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process = {};
    std::wstring mutableLine = commandLine;
    BOOL created = CreateProcessW(NULL, &mutableLine[0], NULL, NULL, TRUE, CREATE_NO_WINDOW, NULL, NULL, &startup, &process);
    CloseHandle(writeEnd);
    std::string output;
    if (created) {
        char buffer[512];
        DWORD read;
        while (ReadFile(readEnd, buffer, sizeof buffer, &read, NULL) && read > 0) output.append(buffer, read);
        WaitForSingleObject(process.hProcess, timeoutMs);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(readEnd);
    return output;
}
