#include "gdi_count.h"

#include <windows.h>

#include <winternl.h>

int CountGdiObjects()
{
    // x64: the PEB holds the table's address at 0xF8. Each entry is 24 bytes, { UINT64 object;
    // UINT32 owner; UINT16 unique; UINT8 type; ... }, and live while object and type are nonzero.
    PROCESS_BASIC_INFORMATION process = {};
    NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &process, sizeof process, NULL);
    const BYTE* peb = reinterpret_cast<const BYTE*>(process.PebBaseAddress);
    const BYTE* table = *reinterpret_cast<const BYTE* const*>(peb + 0xF8);
    int live = 0;
    for (const BYTE* entry = table; entry < table + 24 * 0x10000; entry += 24)
        live += entry[14] && *reinterpret_cast<const UINT64*>(entry);
    return live;
}
