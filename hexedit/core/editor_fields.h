// The editor's fields that need no window, listed once. The Win32 editor (CHexEdit) and the
// window-free model of the tests both declare their fields from these lists, so the portable
// rules, written as templates over "an editor", see the same names, types and starting values
// in both, and a field added here reaches both.
//
// Each entry is X(type, name, initial value). The lists are split where CHexEdit keeps fields
// of platform types (the font, the window handles), so its declaration order stays as it is.
#pragma once

#include <cstdint>

#include "hexedit/core/byte_source.h"
#include "hexedit/core/limits.h"
#include "hexedit/core/on_demand_source.h"
#include "hexedit/core/view_geometry.h"

// Byte offsets are signed 64-bit (-1: none), so a file of any size fits; pixel values are
// signed 32-bit; flags hold 0 or 1. The bytes are read through `source`: the whole block over
// buffer/length (kept in step wherever those change), or the on-demand file of a large one,
// whose length never changes and whose buffer stays empty.
#define HEXEDIT_VIEW_FIELDS(X)                                                                     \
    X(uint8_t*, buffer, nullptr)                                                                   \
    X(int64_t, length, 0)                                                                          \
    X(bytes::BlockSource, wholeBlock, bytes::BlockSource(nullptr, 0))                              \
    X(bytes::OnDemandSource*, onDemand, nullptr)                                                   \
    X(bytes::ByteSource*, source, &wholeBlock)                                                     \
    X(int64_t, topOffset, 0)                                                                       \
    X(int64_t, caretOffset, 0)                                                                     \
    X(int32_t, caretPane, kHexHigh)                                                                \
    X(int32_t, savedHexPane, kHexHigh)                                                             \
    X(int64_t, selAnchor, -1)                                                                      \
    X(int64_t, selEnd, -1)                                                                         \
    X(int32_t, bytesPerRow, 8)                                                                     \
    X(int32_t, visibleRows, 5)

// After the font.
#define HEXEDIT_LAYOUT_FIELDS(X)                                                                   \
    X(int32_t, charWidth, -1)                                                                      \
    X(int32_t, charHeight, -1)                                                                     \
    X(int32_t, layoutStale, 1)                                                                     \
    X(int32_t, hexColumnX, 0)                                                                      \
    X(int32_t, textColumnX, 0)                                                                     \
    X(int32_t, caretX, 0)                                                                          \
    X(int32_t, caretY, 0)                                                                          \
    X(int32_t, overwriteMode, 1)                                                                   \
    X(int32_t, caretShown, 0)                                                                      \
    X(int32_t, viewMode, 1)                                                                        \
    X(int32_t, normalWidth, 318)                                                                   \
    X(int32_t, normalHeight, 176)                                                                  \
    X(int32_t, normalLeft, 20)                                                                     \
    X(int32_t, normalTop, 60)

// After the window handles.
#define HEXEDIT_COMMAND_FIELDS(X)                                                                  \
    X(int32_t, dialogKind, 0) /* 1 Find, 2 Go To */                                                \
    X(char*, dialogText, nullptr)                                                                  \
    X(uint8_t*, hexPattern, nullptr)                                                               \
    X(int32_t, hexPatternState, 0)                                                                 \
    X(int32_t, hexPatternLength, 0)                                                                \
    X(uint8_t*, textPattern, nullptr)                                                              \
    X(int32_t, textPatternActive, 0)                                                               \
    X(int32_t, textPatternLength, 0)                                                               \
    X(int32_t, modified, 0)                                                                        \
    X(wchar_t, filePath[kPathCapacity], {})                                                        \
    X(int32_t, caretPending, 0)                                                                    \
    X(int32_t, caretMadeByPaint, 0)                                                                \
    X(uint8_t, editBitsValue, 0)                                                                   \
    X(int32_t, bookmarkSlot, -1)

// Declares one field with its starting value.
#define HEXEDIT_DECLARE_FIELD(type, name, initial) type name = initial;
