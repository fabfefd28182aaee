// The ten bookmarks of the current user, in the registry: one REG_DWORD value per slot (a
// REG_QWORD for an offset from 4 GiB on), shared by every file and every page.
#pragma once

#include <windows.h>

// "Software\Kestrow Software\propWeave Hex Editor" under HKEY_CURRENT_USER.
extern const wchar_t kBookmarkKeyPath[];

#include <cstdint>

// The stored offset of `slot`, or slot x 65536 when the key or a value of at most 4 bytes or
// a REG_QWORD can't be read.
uint64_t ReadBookmark(int slot);

// Stores `offset` in `slot`; the registry's error code (0 on success).
LONG WriteBookmark(int slot, uint64_t offset);
