#include "platform/notify_record.h"

#include <shellapi.h>
#include <strsafe.h>

#include <cstring>

namespace {

// The record as the desktop's shell library sends it: 32-bit fields whatever the sender's
// width, then, with NIF_ICON, the icon's mask bits and colour bits.
struct WireRecord {
    DWORD window, id, flags, callbackMessage;
    WCHAR tip[128];
    DWORD state, stateMask;
    WCHAR info[256];
    DWORD timeoutOrVersion;
    WCHAR infoTitle[64];
    DWORD infoFlags;
    GUID item;
    DWORD iconWidth, iconHeight, iconPlanes, iconBitsPerPixel;
};
static_assert(sizeof(WireRecord) == 960, "the shell library's record has a 960-byte header");

const DWORD MAX_ICON_SIDE = 256;
const DWORD MAX_RECORD_BYTES = static_cast<DWORD>(sizeof(WireRecord)) + 2 * 4 * MAX_ICON_SIDE * MAX_ICON_SIDE;

// The sender's sizes: each plane of bits rounded up to whole 16-bit words.
DWORD SentBitsBytes(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD planes)
{
    return (planes * width * height * bitsPerPixel + 15) / 16 * 2;
}
// CreateIcon's: every row rounded up to whole 16-bit words.
DWORD RowAlignedBytes(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD planes)
{
    return (width * bitsPerPixel + 15) / 16 * 2 * height * planes;
}

bool IsIconFormat(const WireRecord& wire)
{
    const DWORD bpp = wire.iconBitsPerPixel;
    return wire.iconWidth >= 1 && wire.iconWidth <= MAX_ICON_SIDE && wire.iconHeight >= 1 &&
           wire.iconHeight <= MAX_ICON_SIDE && wire.iconPlanes == 1 &&
           (bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32);
}

// The sender's bits, padded with zeros to the rows CreateIcon reads.
std::vector<BYTE> PaddedBits(const BYTE* bits, DWORD sent, DWORD needed)
{
    std::vector<BYTE> padded(sent > needed ? sent : needed, 0);
    std::memcpy(padded.data(), bits, sent);
    return padded;
}

NotifyRefusal DecodeIcon(const WireRecord& wire, const BYTE* bits, DWORD bitsBytes, HICON* icon)
{
    *icon = NULL;
    if (bitsBytes == 0 && wire.iconWidth == 0) return NOTIFY_DECODED;  // the call gave no icon it could copy
    if (!IsIconFormat(wire)) return NOTIFY_BAD_ICON;
    const DWORD w = wire.iconWidth, h = wire.iconHeight, bpp = wire.iconBitsPerPixel, planes = wire.iconPlanes;
    const DWORD maskBytes = SentBitsBytes(w, h, 1, 1), colourBytes = SentBitsBytes(w, h, bpp, planes);
    if (bitsBytes != maskBytes + colourBytes) return NOTIFY_BAD_SIZE;
    const std::vector<BYTE> mask = PaddedBits(bits, maskBytes, RowAlignedBytes(w, h, 1, 1));
    const std::vector<BYTE> colour = PaddedBits(bits + maskBytes, colourBytes, RowAlignedBytes(w, h, bpp, planes));
    *icon = CreateIcon(NULL, static_cast<int>(w), static_cast<int>(h), static_cast<BYTE>(planes),
                       static_cast<BYTE>(bpp), mask.data(), colour.data());
    return *icon ? NOTIFY_DECODED : NOTIFY_BAD_ICON;
}

bool IsOperation(ULONG_PTR operation)
{
    return operation == NOTIFY_ADD || operation == NOTIFY_MODIFY || operation == NOTIFY_DELETE ||
           operation == NOTIFY_SET_VERSION;
}

// Appends the bitmap's bits as the sender gives them: its whole rows, cut to the sender's
// rounding. False when it has none to give.
bool AppendBitmapBits(HBITMAP bitmap, const BITMAP& format, std::vector<BYTE>* bytes)
{
    const DWORD sent = SentBitsBytes(format.bmWidth, format.bmHeight, format.bmBitsPixel, format.bmPlanes);
    std::vector<BYTE> rows(static_cast<size_t>(format.bmWidthBytes) * format.bmHeight * format.bmPlanes);
    if (rows.size() < sent || GetBitmapBits(bitmap, static_cast<LONG>(rows.size()), rows.data()) == 0) return false;
    bytes->insert(bytes->end(), rows.begin(), rows.begin() + sent);
    return true;
}

// The icon's format in the header and its bits after it; nothing for an icon without colour.
void AppendIcon(HICON icon, WireRecord* wire, std::vector<BYTE>* bits)
{
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info)) return;
    BITMAP colour = {}, mask = {};
    if (info.hbmColor && GetObjectW(info.hbmColor, sizeof colour, &colour) && GetObjectW(info.hbmMask, sizeof mask, &mask) &&
        mask.bmWidth == colour.bmWidth && mask.bmHeight == colour.bmHeight) {
        if (AppendBitmapBits(info.hbmMask, mask, bits) && AppendBitmapBits(info.hbmColor, colour, bits)) {
            wire->iconWidth = colour.bmWidth;
            wire->iconHeight = colour.bmHeight;
            wire->iconPlanes = colour.bmPlanes;
            wire->iconBitsPerPixel = colour.bmBitsPixel;
        } else {
            bits->clear();
        }
    }
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
}

}  // namespace

void NotifyRecordRelease::operator()(NotifyRecord* record) const
{
    if (record && record->icon) DestroyIcon(record->icon);
    delete record;
}

NotifyRecordPtr DecodeNotifyCopyData(ULONG_PTR operation, const void* data, DWORD size)
{
    NotifyRecordPtr record(new NotifyRecord());
    record->bytes = size;
    record->operation = static_cast<DWORD>(operation);
    if (!IsOperation(operation)) {
        record->refusal = NOTIFY_BAD_OPERATION;
        return record;
    }
    if (!data || size < sizeof(WireRecord)) {
        record->refusal = NOTIFY_TOO_SHORT;
        return record;
    }
    if (size > MAX_RECORD_BYTES) {
        record->refusal = NOTIFY_BAD_SIZE;
        return record;
    }
    WireRecord wire;
    std::memcpy(&wire, data, sizeof wire);  // the sender's bytes need not be aligned
    record->owner = reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<LONG>(wire.window)));
    record->id = wire.id;
    record->flags = wire.flags & (NIF_MESSAGE | NIF_ICON | NIF_TIP);
    record->callbackMessage = wire.callbackMessage;
    record->version = wire.timeoutOrVersion;
    StringCchCopyNW(record->tip, NOTIFY_TIP_CHARS, wire.tip, ARRAYSIZE(wire.tip));

    const BYTE* bits = static_cast<const BYTE*>(data) + sizeof wire;
    const DWORD bitsBytes = size - static_cast<DWORD>(sizeof wire);
    if (record->flags & NIF_ICON)
        record->refusal = DecodeIcon(wire, bits, bitsBytes, &record->icon);
    else
        record->refusal = bitsBytes == 0 ? NOTIFY_DECODED : NOTIFY_BAD_SIZE;
    return record;
}

std::vector<BYTE> EncodeNotifyRecord(const NotifyRecord& record)
{
    WireRecord wire = {};
    wire.window = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(record.owner));
    wire.id = record.id;
    wire.flags = record.flags;
    wire.callbackMessage = record.callbackMessage;
    wire.timeoutOrVersion = record.version;
    StringCchCopyW(wire.tip, ARRAYSIZE(wire.tip), record.tip);
    std::vector<BYTE> bits;
    if (record.flags & NIF_ICON) AppendIcon(record.icon, &wire, &bits);
    std::vector<BYTE> bytes(sizeof wire);
    std::memcpy(bytes.data(), &wire, sizeof wire);
    bytes.insert(bytes.end(), bits.begin(), bits.end());
    return bytes;
}

int WriteNotifyRecords(LPCWSTR path, const std::vector<const NotifyRecord*>& records)
{
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return 1;
    bool written = true;
    for (const NotifyRecord* record : records) {
        const std::vector<BYTE> bytes = EncodeNotifyRecord(*record);
        const DWORD head[2] = {record->operation, static_cast<DWORD>(bytes.size())};
        DWORD done = 0, doneBytes = 0;
        written = written && WriteFile(file, head, sizeof head, &done, NULL) && done == sizeof head &&
                  WriteFile(file, bytes.data(), head[1], &doneBytes, NULL) && doneBytes == head[1];
    }
    CloseHandle(file);
    if (!written) DeleteFileW(path);
    return written ? 0 : 1;
}

int ReadNotifyRecords(LPCWSTR path, std::vector<NotifyRecordPtr>* records)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return 1;
    std::vector<BYTE> bytes;
    for (DWORD head[2], done; ReadFile(file, head, sizeof head, &done, NULL) && done == sizeof head;) {
        if (head[1] > MAX_RECORD_BYTES) break;
        bytes.resize(head[1]);
        if (!ReadFile(file, bytes.data(), head[1], &done, NULL) || done != head[1]) break;
        NotifyRecordPtr record = DecodeNotifyCopyData(head[0], bytes.data(), head[1]);
        if (record->refusal == NOTIFY_DECODED) records->push_back(std::move(record));
    }
    CloseHandle(file);
    return 0;
}

void LetWindowTakeForeground(HWND window)
{
    DWORD processId = 0;
    if (GetWindowThreadProcessId(window, &processId)) AllowSetForegroundWindow(processId);
}
