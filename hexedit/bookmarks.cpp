// Bookmarks: the registry values and the caret moves to them.
#include "hexedit/bookmarks.h"

#include <cwchar>

#include "hexedit/core/bookmark_slots.h"
#include "hexedit/core/caret_motion.h"
#include "hexedit/hex_edit.h"
#include "hexedit/win32_handles.h"

const wchar_t kBookmarkKeyPath[] = L"Software\\Kestrow Software\\propWeave Hex Editor";

namespace {
constexpr size_t kValueNameCapacity = 200;

void ValueName(int slot, wchar_t (&name)[kValueNameCapacity]) {
    std::swprintf(name, kValueNameCapacity, L"Bookmark%d", slot);
}
} // namespace

DWORD ReadBookmark(int slot) {
    const DWORD fallback = bookmarks::DefaultOffset(slot);
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kBookmarkKeyPath, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return fallback;
    const UniqueRegKey key(opened);
    wchar_t name[kValueNameCapacity];
    ValueName(slot, name);
    // Any value of at most 4 bytes is the offset, whatever its type; a longer one doesn't fit.
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExW(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS)
        return fallback;
    return value;
}

LONG WriteBookmark(int slot, DWORD offset) {
    HKEY created = nullptr;
    const LONG opened = RegCreateKeyExW(HKEY_CURRENT_USER, kBookmarkKeyPath, 0, nullptr, 0,
                                        KEY_ALL_ACCESS, nullptr, &created, nullptr);
    if (opened != ERROR_SUCCESS)
        return opened;
    const UniqueRegKey key(created);
    wchar_t name[kValueNameCapacity];
    ValueName(slot, name);
    return RegSetValueExW(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&offset),
                          sizeof(offset));
}

void CHexEdit::GoToBookmark(int slot) {
    const DWORD offset = ReadBookmark(slot);
    bookmarkSlot = slot;
    editing::JumpCaretTo(*this, bookmarks::CaretFor(offset, length));
}

LONG CHexEdit::SetBookmark(int slot) {
    const LONG result = WriteBookmark(slot, static_cast<DWORD>(caretOffset));
    bookmarkSlot = slot;
    return result;
}

void CHexEdit::NextBookmark() {
    bookmarkSlot = bookmarks::NextSlot(bookmarkSlot);
    GoToBookmark(bookmarkSlot);
}

void CHexEdit::PreviousBookmark() {
    bookmarkSlot = bookmarks::PreviousSlot(bookmarkSlot);
    GoToBookmark(bookmarkSlot);
}
