#include "config/section_store.h"

#include <stdio.h>
#include <stdlib.h>
#include <strsafe.h>
#include <wchar.h>

#include <algorithm>
#include <iterator>

#include "platform/platform.h"

namespace {

enum { LINE_BYTES = 1024 };  // a line is read in pieces of at most 1023 bytes

struct SectionEntry {
    WCHAR* key;    // null marks an empty slot; the value shares the key's allocation
    WCHAR* value;
};

SectionEntry entries[SECTION_STORE_SLOTS];  // occupied slots are contiguous from slot 0
SectionAllocator allocateEntry = malloc;

// Reads a file line by line in pieces that never split a UTF-8 character.
struct LineReader {
    FILE* file;
    char carried[4];  // start of a character cut off by the previous piece
    int carriedCount;
};

struct Line {
    char raw[LINE_BYTES];    // the bytes as read, byte order mark included
    int length;              // of raw: a NUL byte may stand inside it
    WCHAR text[LINE_BYTES];  // the bytes after a byte order mark, as UTF-16
};

int Utf8SequenceLength(unsigned char lead)
{
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

// Length of the incomplete character at the end of a piece, 0 when it ends whole.
int IncompleteTailLength(const char* bytes, int length)
{
    for (int back = 1; back <= 3 && back <= length; ++back) {
        unsigned char c = static_cast<unsigned char>(bytes[length - back]);
        if ((c & 0xC0) == 0x80) continue;  // continuation byte: keep looking for the lead
        return (c >= 0xC0 && Utf8SequenceLength(c) > back) ? back : 0;
    }
    return 0;
}

bool ReadLine(LineReader& reader, Line& line)
{
    memcpy(line.raw, reader.carried, reader.carriedCount);
    int length = reader.carriedCount, c = 0;
    reader.carriedCount = 0;
    // Byte by byte, since fgets gives no count and a NUL byte would hide where the piece ends.
    while (length < LINE_BYTES - 1 && c != '\n' && (c = fgetc(reader.file)) != EOF)
        line.raw[length++] = static_cast<char>(c);
    if (length == 0) return false;
    if (length == LINE_BYTES - 1 && line.raw[length - 1] != '\n') {  // the line goes on in the next piece
        reader.carriedCount = IncompleteTailLength(line.raw, length);
        length -= reader.carriedCount;
        memcpy(reader.carried, line.raw + length, reader.carriedCount);
    }
    line.raw[length] = '\0';
    line.length = length;
    const char* text = line.raw;
    if (static_cast<unsigned char>(text[0]) == 0xEF && static_cast<unsigned char>(text[1]) == 0xBB &&
        static_cast<unsigned char>(text[2]) == 0xBF)
        text += 3;
    // Invalid sequences become U+FFFD; the result always fits, one character per byte at most.
    // The length is explicit: with -1, a line that ends inside a character is converted
    // without a terminator on some platforms.
    int bytes = static_cast<int>(strlen(text));
    int chars = bytes > 0 ? MultiByteToWideChar(CP_UTF8, 0, text, bytes, line.text, LINE_BYTES - 1) : 0;
    line.text[chars] = L'\0';
    return true;
}

bool IsIgnoredLine(WCHAR first) { return first == L'\n' || first == L':' || first == L'#'; }

void FormatHeader(WCHAR (&header)[SECTION_PATH_CHARS], LPCWSTR section)
{
    StringCchPrintfW(header, SECTION_PATH_CHARS, L"[%ls]\n", section);
}

bool FitsLimit(LPCWSTR text, size_t maxChars)
{
    size_t length;
    return SUCCEEDED(StringCchLengthW(text, maxChars + 1, &length));
}

int FindEntry(LPCWSTR key)
{
    for (int i = 0; i < SECTION_STORE_SLOTS && entries[i].key; ++i)
        if (_wcsicmp(entries[i].key, key) == 0) return i;
    return -1;
}

// Fills an empty slot; false when memory cannot be had.
bool FillEntry(SectionEntry& entry, LPCWSTR key, LPCWSTR value)
{
    WCHAR* storage = static_cast<WCHAR*>(allocateEntry((SECTION_KEY_CHARS + SECTION_VALUE_CHARS) * sizeof(WCHAR)));
    if (!storage) return false;
    entry.key = storage;
    entry.value = storage + SECTION_KEY_CHARS;
    StringCchCopyW(entry.key, SECTION_KEY_CHARS, key);
    StringCchCopyW(entry.value, SECTION_VALUE_CHARS, value);
    return true;
}

// Splits a pair line at its first '=' and appends it; a line without '=' makes no pair,
// and pairs beyond the table are ignored.
void StorePairLine(WCHAR* text, int& nextSlot)
{
    if (WCHAR* lineFeed = wcschr(text, L'\n')) *lineFeed = L'\0';
    WCHAR* equals = wcschr(text, L'=');
    if (!equals || nextSlot >= SECTION_STORE_SLOTS) return;
    *equals = L'\0';
    if (FillEntry(entries[nextSlot], text, equals + 1)) ++nextSlot;
}

// A stream that was only read loses nothing at its close, whatever the close says.
void CloseReadStream(FILE* stream)
{
    if (stream) (void)fclose(stream);
}

bool WriteBytes(FILE* stream, const char* bytes) { return fputs(bytes, stream) >= 0; }

// Writes the text and a line feed as UTF-8. A line longer than the reader takes (1023
// bytes with its line feed) is cut at a character boundary.
bool WriteTextLine(FILE* stream, LPCWSTR text)
{
    enum { MAX_LINE_BYTES = LINE_BYTES - 1 };
    // Room for a whole "key=value" pair: each UTF-16 unit takes at most 3 bytes in UTF-8
    // (a surrogate pair takes 4 for 2 units), so nothing fails the conversion before the cut.
    char bytes[(SECTION_KEY_CHARS + SECTION_VALUE_CHARS) * 3 + 2];
    int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes, NULL, NULL);
    length = length > 0 ? length - 1 : 0;
    if (length > MAX_LINE_BYTES - 1) {
        length = MAX_LINE_BYTES - 1;
        while (length > 0 && (static_cast<unsigned char>(bytes[length]) & 0xC0) == 0x80) --length;
    }
    bytes[length] = '\n';
    bytes[length + 1] = '\0';
    return WriteBytes(stream, bytes);
}

bool WriteEntry(FILE* stream, const SectionEntry& entry)
{
    WCHAR line[SECTION_KEY_CHARS + SECTION_VALUE_CHARS];
    StringCchPrintfW(line, ARRAYSIZE(line), L"%ls=%ls", entry.key, entry.value);
    return WriteTextLine(stream, line);
}

// Writes every pair as a "key=value" line; false when a write fails.
bool WriteSectionEntries(FILE* stream)
{
    for (int i = 0; i < SECTION_STORE_SLOTS && entries[i].key; ++i)
        if (!WriteEntry(stream, entries[i])) return false;
    return true;
}

// Writes the section after the copied lines, apart from them by a blank line when the last
// of them is not blank (a line feed first ends a last line that has none); false when a
// write fails.
bool AppendSection(FILE* target, bool blankLineBefore, bool lastLineOpen, LPCWSTR header)
{
    if (blankLineBefore) {
        if (!WriteBytes(target, "\n")) return false;
        if (lastLineOpen && !WriteBytes(target, "\n")) return false;
    }
    WCHAR headerLine[SECTION_PATH_CHARS];
    StringCchCopyW(headerLine, SECTION_PATH_CHARS, header);
    headerLine[wcslen(headerLine) - 1] = L'\0';  // WriteTextLine adds the line feed
    return WriteTextLine(target, headerLine) && WriteSectionEntries(target);
}

// Which of the store's pairs the section's lines have taken, and the blank lines held back
// so that pairs added to the section go before them.
struct SectionMerge {
    bool written[SECTION_STORE_SLOTS];
    int heldBlankLines;
    bool lastEnded;  // the output so far ends with a line feed
};

bool CopyLine(FILE* target, const Line& line, SectionMerge& merge)
{
    if (fwrite(line.raw, 1, line.length, target) != static_cast<size_t>(line.length)) return false;
    merge.lastEnded = line.raw[line.length - 1] == '\n';
    return true;
}

// Writes a pair of the store on a line of its own.
bool WritePairLine(FILE* target, const SectionEntry& entry, SectionMerge& merge)
{
    if (!merge.lastEnded && !WriteBytes(target, "\n")) return false;
    merge.lastEnded = true;
    return WriteEntry(target, entry);
}

// The store's first pair not yet written whose key the pair line names, -1 when none: the
// key was deleted, or the table had no room for it.
int MatchPairLine(const WCHAR* text, const SectionMerge& merge)
{
    WCHAR key[SECTION_KEY_CHARS];
    StringCchCopyNW(key, SECTION_KEY_CHARS, text, wcschr(text, L'=') - text);
    for (int i = 0; i < SECTION_STORE_SLOTS && entries[i].key; ++i)
        if (!merge.written[i] && _wcsicmp(entries[i].key, key) == 0) return i;
    return -1;
}

// Whether the pair line, its line feed aside, says exactly the pair, its key cut as the
// store cuts it.
bool LineHoldsPair(const WCHAR* text, const SectionEntry& entry)
{
    const WCHAR* equals = wcschr(text, L'=');
    const size_t keyLength = std::min<size_t>(equals - text, SECTION_KEY_CHARS - 1);
    if (wcslen(entry.key) != keyLength || wcsncmp(text, entry.key, keyLength) != 0) return false;
    const size_t valueLength = wcslen(entry.value);
    if (wcsncmp(equals + 1, entry.value, valueLength) != 0) return false;
    const WCHAR* rest = equals + 1 + valueLength;
    return rest[0] == L'\0' || (rest[0] == L'\n' && rest[1] == L'\0');
}

// A line of the section: comments and other lines stay as they are, a pair line keeps its
// bytes while the store holds it unchanged, takes the store's value when changed and goes
// when the store no longer holds it.
bool MergeLine(FILE* target, const Line& line, SectionMerge& merge)
{
    if (line.raw[0] == '\n') {
        ++merge.heldBlankLines;
        return true;
    }
    for (; merge.heldBlankLines > 0; --merge.heldBlankLines)
        if (!WriteBytes(target, "\n")) return false;
    if (IsIgnoredLine(line.text[0]) || !wcschr(line.text, L'=')) return CopyLine(target, line, merge);
    const int i = MatchPairLine(line.text, merge);
    if (i < 0) return true;
    merge.written[i] = true;
    return LineHoldsPair(line.text, entries[i]) ? CopyLine(target, line, merge) : WritePairLine(target, entries[i], merge);
}

// Ends the section: the pairs no line took, then the blank lines held back.
bool FinishMerge(FILE* target, SectionMerge& merge)
{
    for (int i = 0; i < SECTION_STORE_SLOTS && entries[i].key; ++i)
        if (!merge.written[i] && !WritePairLine(target, entries[i], merge)) return false;
    for (; merge.heldBlankLines > 0; --merge.heldBlankLines)
        if (!WriteBytes(target, "\n")) return false;
    return true;
}

// Copies the file's lines with the store's pairs merged into the section's first
// occurrence, whose comments and line order stay; false when a write fails. Later
// occurrences, which no reader takes, are copied as they are.
bool CopyWithSection(FILE* source, FILE* target, LPCWSTR header)
{
    SectionMerge merge = {};
    merge.lastEnded = true;
    bool merging = false, sectionFound = false, anyLine = false, lastEmpty = false;
    Line line;
    LineReader reader = {source, {}, 0};
    while (source && ReadLine(reader, line)) {
        const bool headerLine = line.text[0] == L'[';
        if (headerLine && merging) {
            if (!FinishMerge(target, merge)) return false;
            merging = false;
        }
        if (merging ? !MergeLine(target, line, merge) : !CopyLine(target, line, merge)) return false;
        if (headerLine && !sectionFound && _wcsicmp(line.text, header) == 0) merging = sectionFound = true;
        anyLine = true;
        lastEmpty = line.raw[0] == '\n';
    }
    if (source && ferror(source)) return false;
    if (merging) return FinishMerge(target, merge);
    return sectionFound || AppendSection(target, anyLine && !lastEmpty, !merge.lastEnded, header);
}

}  // namespace

void SetSectionAllocator(SectionAllocator allocator) { allocateEntry = allocator ? allocator : malloc; }

int ResetSectionStore()
{
    std::fill(std::begin(entries), std::end(entries), SectionEntry{});
    return 0;
}

int ClearSectionStore()
{
    for (SectionEntry& entry : entries) {
        free(entry.key);
        entry = SectionEntry{};
    }
    return 0;
}

int CountSectionEntries()
{
    int count = 0;
    while (count < SECTION_STORE_SLOTS && entries[count].key) ++count;
    return count;
}

int LoadSection(LPCWSTR path, LPCWSTR section)
{
    ClearSectionStore();
    if (!FitsLimit(path, SECTION_PATH_CHARS - 1) || !FitsLimit(section, SECTION_NAME_MAX_CHARS)) return 1;
    WCHAR header[SECTION_PATH_CHARS];
    FormatHeader(header, section);

    FILE* file = _wfopen(path, L"r");
    if (!file) return 1;
    LineReader reader = {file, {}, 0};
    Line line;
    int nextSlot = 0;
    bool inSection = false;
    while (ReadLine(reader, line)) {
        WCHAR first = line.text[0];
        if (IsIgnoredLine(first)) continue;
        if (first == L'[') {
            if (inSection) break;  // only the first occurrence of the section is read
            inSection = _wcsicmp(line.text, header) == 0;
            continue;
        }
        if (inSection) StorePairLine(line.text, nextSlot);
    }
    CloseReadStream(file);
    return nextSlot > 0 ? 0 : 1;
}

int GetSectionString(LPWSTR destination, int capacity, LPCWSTR key)
{
    int i = FindEntry(key);
    if (i < 0 || capacity < 1) return 1;
    StringCchCopyW(destination, capacity, entries[i].value);
    return 0;
}

int GetSectionInt(LPCWSTR key)
{
    WCHAR value[SECTION_VALUE_CHARS] = L"";
    GetSectionString(value, SECTION_VALUE_CHARS, key);
    return static_cast<int>(_wtol(value));
}

int SetSectionString(LPCWSTR key, LPCWSTR value)
{
    for (SectionEntry& entry : entries) {
        if (!entry.key) return FillEntry(entry, key, value) ? 0 : 1;
        if (_wcsicmp(entry.key, key) == 0) {
            StringCchCopyW(entry.key, SECTION_KEY_CHARS, key);
            StringCchCopyW(entry.value, SECTION_VALUE_CHARS, value);
            return 0;
        }
    }
    return 0;  // the table is full: nothing is stored
}

int SetSectionInt(LPCWSTR key, int value)
{
    WCHAR text[SECTION_VALUE_CHARS];
    StringCchPrintfW(text, SECTION_VALUE_CHARS, L"%d", value);
    return SetSectionString(key, text);
}

int DeleteSectionKey(LPCWSTR key)
{
    int i = FindEntry(key);
    if (i < 0) return 1;
    free(entries[i].key);
    for (; i < SECTION_STORE_SLOTS - 1 && entries[i + 1].key; ++i) entries[i] = entries[i + 1];
    entries[i] = SectionEntry{};
    return 0;
}

int WriteSection(LPCWSTR path, LPCWSTR section)
{
    if (!FitsLimit(path, SECTION_PATH_CHARS - 2) || !FitsLimit(section, SECTION_NAME_MAX_CHARS)) return 1;
    WCHAR temporaryPath[SECTION_PATH_CHARS], header[SECTION_PATH_CHARS];
    StringCchPrintfW(temporaryPath, SECTION_PATH_CHARS, L"%ls_", path);
    FormatHeader(header, section);

    FILE* source = _wfopen(path, L"r");
    if (!source && !IsMissingFileFailure()) return 1;  // a missing file is written from scratch
    FILE* target = _wfopen(temporaryPath, L"w");
    if (!target) {
        CloseReadStream(source);
        return 1;
    }
    bool written = CopyWithSection(source, target, header);
    CloseReadStream(source);
    // The last buffer goes out here, where a full disk shows: flushed apart from the close,
    // whose own flush failing is not reported by every C runtime (Wine's returns 0).
    written = fflush(target) == 0 && written;
    written = fclose(target) == 0 && written;
    if (!written || ReplaceFileWith(temporaryPath, path) != 0) {
        DeleteFileW(temporaryPath);
        return 1;
    }
    return 0;
}
