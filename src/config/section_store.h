// Section file store: one section of a UTF-8, INI-style file held as key/value pairs.
//
// Results follow the shell's convention: 0 for success, 1 for failure. The store logs
// nothing; its callers do.
#pragma once
#include <windows.h>

enum {
    SECTION_STORE_SLOTS = 1024,
    SECTION_KEY_CHARS = 128,     // keys of at most 127 characters
    SECTION_VALUE_CHARS = 1024,  // values of at most 1023 characters
    SECTION_PATH_CHARS = 260,
    SECTION_NAME_MAX_CHARS = 252,
};

// Marks every slot empty without releasing anything; for a store that holds nothing.
int ResetSectionStore();
// Releases every pair.
int ClearSectionStore();

// Replaces the store's content with the pairs of the section. 1 when the file cannot be
// opened, the section is missing or it holds no pair.
int LoadSection(LPCWSTR path, LPCWSTR section);

// Copies the value of the key (case-insensitive), cut to capacity - 1 characters.
// 1 when the key is missing; the destination is then left as it was.
int GetSectionString(LPWSTR destination, int capacity, LPCWSTR key);
// The value read as a decimal integer; 0 for a missing key.
int GetSectionInt(LPCWSTR key);

// Adds the pair or replaces the value (and the key's case) of an existing key. Keys and
// values that are too long are cut to fit. A full table stores nothing; 1 only when
// memory for the pair cannot be had.
int SetSectionString(LPCWSTR key, LPCWSTR value);
int SetSectionInt(LPCWSTR key, int value);
int DeleteSectionKey(LPCWSTR key);

// Rewrites the file with the store's pairs as the given section, merged into its first
// occurrence (its comments, other lines and order stay; a pair line changes only when its
// value did, and goes when its key was deleted; new pairs come after the others) or
// appended. Everything outside that occurrence stays as it was. The original is replaced only by a completely
// written temporary file (the path with "_" appended); on any failure it stays as it was.
int WriteSection(LPCWSTR path, LPCWSTR section);

// Number of pairs held (the index of the first empty slot).
int CountSectionEntries();

// Seam for tests: the allocator of a pair's storage (malloc by default; null restores it).
typedef void* (*SectionAllocator)(size_t bytes);
void SetSectionAllocator(SectionAllocator allocator);
