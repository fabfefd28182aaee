// The editor's context menu without a window: its tree of items, which of them are grey in a
// given state, and which editor command each identifier runs. The Win32 side builds the menus
// from this tree and calls the dispatch on the real editor; tests call it on a recording one.
#pragma once

#include <cstddef>
#include <cstdint>

#include "hexedit/core/copy_layouts.h"

namespace menu {

// Command identifiers of the menu items.
enum Command : int {
    kDismissed = 0,
    kCut = 2,
    kCopy = 3,
    kPaste = 4,
    kDelete = 5,
    kSelectAll = 6,
    kFind = 13,
    kFindNext = 14,
    kGoTo = 15,
    kEditBits = 16,
    kFindPrevious = 17,
    kCopyHex = 23,
    kCopyText = 24,
    kCopyCArray = 25,
    kCopyAddress = 26,
    kRevert = 31,
    kSave = 32,
    kViewSize = 45,
    kCopyAddressRange = 46,
    kCopyView = 47,
    kGoToBookmark0 = 101, // "1" ... "0": slots 0 to 9
    kSetBookmark0 = 201,
};
constexpr int kBookmarkCount = 10;

// One step of the tree, read top to bottom: an item, a separator, the opening of a submenu
// (its label; the items up to the matching kEnd belong to it), or the view-size item whose
// label depends on the view mode.
enum class Kind { kItem, kSeparator, kBegin, kEnd, kViewItem };
struct Entry {
    Kind kind;
    const wchar_t* label;
    int id;
};

constexpr Entry kTree[] = {
    {Kind::kBegin, L"&Hex Editor", 0},
    {Kind::kItem, L"&Find", kFind},
    {Kind::kItem, L"Find &Next", kFindNext},
    {Kind::kItem, L"Find &Previous", kFindPrevious},
    {Kind::kSeparator, nullptr, 0},
    {Kind::kItem, L"&Go To", kGoTo},
    {Kind::kBegin, L"Book&marks", 0},
    {Kind::kItem, L"1", kGoToBookmark0 + 0},
    {Kind::kItem, L"2", kGoToBookmark0 + 1},
    {Kind::kItem, L"3", kGoToBookmark0 + 2},
    {Kind::kItem, L"4", kGoToBookmark0 + 3},
    {Kind::kItem, L"5", kGoToBookmark0 + 4},
    {Kind::kItem, L"6", kGoToBookmark0 + 5},
    {Kind::kItem, L"7", kGoToBookmark0 + 6},
    {Kind::kItem, L"8", kGoToBookmark0 + 7},
    {Kind::kItem, L"9", kGoToBookmark0 + 8},
    {Kind::kItem, L"0", kGoToBookmark0 + 9},
    {Kind::kSeparator, nullptr, 0},
    {Kind::kBegin, L"&Set", 0},
    {Kind::kItem, L"1", kSetBookmark0 + 0},
    {Kind::kItem, L"2", kSetBookmark0 + 1},
    {Kind::kItem, L"3", kSetBookmark0 + 2},
    {Kind::kItem, L"4", kSetBookmark0 + 3},
    {Kind::kItem, L"5", kSetBookmark0 + 4},
    {Kind::kItem, L"6", kSetBookmark0 + 5},
    {Kind::kItem, L"7", kSetBookmark0 + 6},
    {Kind::kItem, L"8", kSetBookmark0 + 7},
    {Kind::kItem, L"9", kSetBookmark0 + 8},
    {Kind::kItem, L"0", kSetBookmark0 + 9},
    {Kind::kEnd, nullptr, 0}, // &Set
    {Kind::kEnd, nullptr, 0}, // Book&marks
    {Kind::kSeparator, nullptr, 0},
    {Kind::kBegin, L"Fil&e", 0},
    {Kind::kItem, L"&Revert", kRevert},
    {Kind::kSeparator, nullptr, 0},
    {Kind::kItem, L"&Save", kSave},
    {Kind::kEnd, nullptr, 0}, // Fil&e
    {Kind::kItem, L"Edit &Bits", kEditBits},
    {Kind::kBegin, L"&Copy", 0},
    {Kind::kItem, L"as &Hex", kCopyHex},
    {Kind::kItem, L"as &Text / ASCII", kCopyText},
    {Kind::kItem, L"as &C / C++", kCopyCArray},
    {Kind::kItem, L"as &View", kCopyView},
    {Kind::kSeparator, nullptr, 0},
    {Kind::kItem, L"as A&ddress", kCopyAddress},
    {Kind::kItem, L"as Address &Range", kCopyAddressRange},
    {Kind::kEnd, nullptr, 0}, // &Copy
    {Kind::kSeparator, nullptr, 0},
    {Kind::kViewItem, nullptr, kViewSize},
    {Kind::kEnd, nullptr, 0}, // &Hex Editor
    {Kind::kSeparator, nullptr, 0},
    {Kind::kItem, L"Cu&t", kCut},
    {Kind::kItem, L"&Copy", kCopy},
    {Kind::kItem, L"&Paste", kPaste},
    {Kind::kItem, L"&Delete", kDelete},
    {Kind::kSeparator, nullptr, 0},
    {Kind::kItem, L"Select &All", kSelectAll},
};

// The view item names the next step of the view size; null (no item) for an unknown mode.
inline const wchar_t* ViewItemLabel(int32_t viewMode) {
    switch (viewMode) {
    case 1:
        return L"Expand &View";
    case 2:
        return L"Extend &View";
    case 3:
        return L"Collapse &View";
    default:
        return nullptr;
    }
}

// What the greying depends on, read when the menu opens.
struct State {
    bool hasSelection;
    bool modified;
    bool clipboardHasBytes; // text or the private format
    bool wholeSelected;     // the selection length equals the buffer length
};

inline bool IsGreyed(int id, const State& s) {
    switch (id) {
    case kCut:
    case kCopy:
    case kDelete:
    case kCopyHex:
    case kCopyText:
    case kCopyCArray:
    case kCopyView:
        return !s.hasSelection;
    case kRevert:
    case kSave:
        return !s.modified;
    case kPaste:
        return !s.clipboardHasBytes;
    case kSelectAll:
        return s.wholeSelected;
    default:
        return false;
    }
}

// The platform's priority-format answer: 0 for an empty clipboard, -1 when none of the listed
// formats is there, otherwise the first listed format present.
inline bool PriorityFormatFound(int answer) {
    return answer != 0 && answer != -1;
}

// Runs the command of a chosen identifier on the editor; anything unknown does nothing.
template <class Editor> void Dispatch(Editor& e, int id) {
    if (id > kGoToBookmark0 - 1 && id < kGoToBookmark0 + kBookmarkCount) {
        e.GoToBookmark(id - kGoToBookmark0);
        return;
    }
    if (id > kSetBookmark0 - 1 && id < kSetBookmark0 + kBookmarkCount) {
        e.SetBookmark(id - kSetBookmark0);
        return;
    }
    switch (id) {
    case kCut:
        e.Cut();
        break;
    case kCopy:
        e.Copy();
        break;
    case kPaste:
        e.Paste();
        break;
    case kDelete:
        e.DeleteForward();
        break;
    case kSelectAll:
        e.SelectAll();
        break;
    case kFind:
        e.ShowFindDialog(1);
        break;
    case kFindNext:
        e.FindNext(1);
        break;
    case kGoTo:
        e.ShowGoToDialog();
        break;
    case kEditBits:
        e.ShowEditBitsDialog();
        break;
    case kFindPrevious:
        e.FindPrevious();
        break;
    case kCopyHex:
        e.CopyAs(static_cast<int>(CopyLayout::Hex));
        break;
    case kCopyText:
        e.CopyAs(static_cast<int>(CopyLayout::Text));
        break;
    case kCopyCArray:
        e.CopyAs(static_cast<int>(CopyLayout::CArray));
        break;
    case kCopyAddress:
        e.CopyAs(static_cast<int>(CopyLayout::Address));
        break;
    case kRevert:
        e.RevertFile();
        break;
    case kSave:
        e.SaveFile(0); // the menu saves without a question
        break;
    case kViewSize:
        e.CycleViewSize();
        break;
    case kCopyAddressRange:
        e.CopyAs(static_cast<int>(CopyLayout::AddressRange));
        break;
    case kCopyView:
        e.CopyAs(static_cast<int>(CopyLayout::View));
        break;
    default:
        break;
    }
}

} // namespace menu
