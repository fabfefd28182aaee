// The ten bookmarks of the current user, in the registry: one REG_DWORD value per slot,
// shared by every file and every page.
#pragma once

#include <windows.h>

// "Software\Kestrow Software\propWeave Hex Editor" under HKEY_CURRENT_USER.
extern const wchar_t kBookmarkKeyPath[];

// The stored offset of `slot`, or slot x 65536 when the key or a value of at most 4 bytes
// can't be read.
DWORD ReadBookmark(int slot);

// Stores `offset` in `slot`; the registry's error code (0 on success).
LONG WriteBookmark(int slot, DWORD offset);
