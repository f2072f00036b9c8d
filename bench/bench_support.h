// What the benchmarks share: the clock, medians, the build's folders and a shell home.
#pragma once
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

inline double NowMs()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart * 1000.0 / frequency.QuadPart;
}

// The median time of the step in milliseconds, repeated until enough time was spent.
inline double MedianMs(const std::function<void()>& step, int maxRepetitions = 50, double enoughMs = 2000)
{
    std::vector<double> times;
    double spent = 0;
    do {
        double start = NowMs();
        step();
        times.push_back(NowMs() - start);
        spent += times.back();
    } while (static_cast<int>(times.size()) < maxRepetitions && spent < enoughMs);
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The build folder: the benchmarks live in its bench\ folder.
inline std::wstring BuildDirectory()
{
    WCHAR path[MAX_PATH];
    GetModuleFileNameW(NULL, path, MAX_PATH);
    std::wstring directory = path;
    directory = directory.substr(0, directory.rfind(L'\\'));
    return directory.substr(0, directory.rfind(L'\\'));
}

inline void EndProcess(HANDLE process)
{
    if (!process) return;
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
}

// A home directory under the temporary folder: the theme's settings and bitmaps and zorv.exe.
inline std::wstring InstallShellHome(const std::wstring& theme, const std::wstring& name)
{
    WCHAR temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring home = std::wstring(temp) + name;
    std::wstring copy = L"xcopy /e /i /q /y \"" + theme + L"\" \"" + home + L"\" >nul";
    _wsystem(copy.c_str());
    CopyFileW((BuildDirectory() + L"\\zorv.exe").c_str(), (home + L"\\zorv.exe").c_str(), FALSE);
    return home;
}

// Starts a program with the given current directory; the process handle, NULL on failure.
inline HANDLE StartProgram(std::wstring commandLine, LPCWSTR directory = NULL)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(NULL, &commandLine[0], NULL, NULL, FALSE, 0, NULL, directory, &startup, &process)) return NULL;
    CloseHandle(process.hThread);
    return process.hProcess;
}
