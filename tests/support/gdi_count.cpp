#include "gdi_count.h"

#include <windows.h>

#include <winternl.h>

namespace {

struct GdiTableEntry {
    UINT64 object;  // nonzero, with a nonzero type, while the handle is live
    UINT32 owner;
    UINT16 unique;
    UINT8 type;
    UINT8 flags;
    UINT64 user;
};
static_assert(sizeof(GdiTableEntry) == 24, "the table's entries are 24 bytes");

const int GDI_TABLE_ENTRIES = 0x10000;
const size_t PEB_GDI_SHARED_HANDLE_TABLE = 0xF8;  // x64 layout

}  // namespace

int CountGdiObjects()
{
    PROCESS_BASIC_INFORMATION process = {};
    NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &process, sizeof process, NULL);
    const BYTE* peb = reinterpret_cast<const BYTE*>(process.PebBaseAddress);
    if (!peb) return -1;
    const GdiTableEntry* table = *reinterpret_cast<const GdiTableEntry* const*>(peb + PEB_GDI_SHARED_HANDLE_TABLE);
    if (!table) return -1;
    int live = 0;
    for (int i = 0; i < GDI_TABLE_ENTRIES; ++i)
        if (table[i].type && table[i].object) ++live;
    return live;
}
