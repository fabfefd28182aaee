// Bookmarks: the registry values and the caret moves to them.
#include "hexedit/bookmarks.h"

#include <cwchar>

#include "hexedit/core/bookmark_slots.h"
#include "hexedit/core/bookmark_value.h"
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

uint64_t ReadBookmark(int slot) {
    const uint64_t fallback = bookmarks::DefaultOffset(slot);
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kBookmarkKeyPath, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return fallback;
    const UniqueRegKey key(opened);
    wchar_t name[kValueNameCapacity];
    ValueName(slot, name);
    // Any value of at most 4 bytes is the offset, whatever its type, as is a REG_QWORD (an
    // offset from 4 GiB on); any other doesn't fit.
    uint8_t value[8] = {};
    DWORD size = sizeof(value);
    DWORD type = REG_NONE;
    if (RegQueryValueExW(key.get(), name, nullptr, &type, value, &size) != ERROR_SUCCESS)
        return fallback;
    if (size > 4 && type != REG_QWORD)
        return fallback;
    return bookmarks::DecodeOffset(value, size, fallback);
}

LONG WriteBookmark(int slot, uint64_t offset) {
    HKEY created = nullptr;
    const LONG opened = RegCreateKeyExW(HKEY_CURRENT_USER, kBookmarkKeyPath, 0, nullptr, 0,
                                        KEY_ALL_ACCESS, nullptr, &created, nullptr);
    if (opened != ERROR_SUCCESS)
        return opened;
    const UniqueRegKey key(created);
    wchar_t name[kValueNameCapacity];
    ValueName(slot, name);
    const bookmarks::StoredValue stored = bookmarks::EncodeOffset(offset);
    return RegSetValueExW(key.get(), name, 0, stored.size == 8 ? REG_QWORD : REG_DWORD,
                          stored.bytes, stored.size);
}

void CHexEdit::GoToBookmark(int slot) {
    const uint64_t offset = ReadBookmark(slot);
    bookmarkSlot = slot;
    editing::JumpCaretTo(*this, static_cast<int64_t>(bookmarks::CaretForWide(
                                    offset, static_cast<uint64_t>(length))));
}

LONG CHexEdit::SetBookmark(int slot) {
    const LONG result = WriteBookmark(slot, static_cast<uint64_t>(caretOffset));
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
