// Console output of the tools: UTF-8 bytes, so that Japanese paths survive a Unix terminal.
#pragma once
#include <windows.h>

#include <string>

inline void WriteUtf8(HANDLE output, const std::wstring& text)
{
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), NULL, 0, NULL, NULL);
    std::string utf8(bytes, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), bytes, NULL, NULL);
    DWORD written;
    WriteFile(output, utf8.data(), static_cast<DWORD>(utf8.size()), &written, NULL);
}
