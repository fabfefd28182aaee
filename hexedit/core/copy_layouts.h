// The texts the editor puts on the clipboard: the two styles of a plain copy (hex digits or
// the bytes as characters) and the named layouts of the "Copy" menu. Every size is computed
// in 64 bits, in a 32-bit process too, so neither a selection near the 2 GiB limit nor the View
// text of 1 GiB (over 5 GiB) can wrap it; a size the allocation guard refuses is a failed
// allocation for the caller.
#pragma once

#include <cstdint>

// The layouts of the "Copy" submenu, by the command value the menu passes to CopyAs.
enum class CopyLayout : int {
    Hex = 1,
    Text = 2,
    CArray = 3,
    Address = 4,
    AddressRange = 5,
    View = 6,
};

namespace layouts {

// Bytes per line of the View layout, whatever the view's row width.
constexpr uint64_t kViewLineBytes = 8;
// Values per line of the CArray layout.
constexpr uint64_t kCArrayLineValues = 16;

// Block sizes, terminating NUL included. The hex and character blocks are those of a plain
// copy; the CArray and View sizes are working texts with room to spare.
uint64_t HexBlockSize(uint64_t n);        // 3n + 1
uint64_t CharBlockSize(uint64_t n);       // n + 1
uint64_t CArrayWorkingSize(uint64_t n);   // n / 8 + 6n + 1000
uint64_t ViewWorkingSize(uint64_t n);     // 4n + 24 (n / 8) + 1000
constexpr uint64_t kAddressTextSize = 17; // up to 16 digits and a NUL
constexpr uint64_t kAddressRangeTextSize = 36;

// Each writer puts its text and a NUL at `out`, which holds at least the size above, and
// returns the text's length without the NUL.

// Two uppercase digits a byte, one space between bytes: "61 62 63".
uint64_t WriteHex(const uint8_t* bytes, uint64_t n, char* out);
// The bytes as characters, those below 0x20 as ".".
uint64_t WriteChars(const uint8_t* bytes, uint64_t n, char* out);
// "0x61, 0x62, 0x63": 16 values a line, each full line ending ",\r\n" (the last value of a
// full last line without its comma).
uint64_t WriteCArray(const uint8_t* bytes, uint64_t n, char* out);
// The shape of the View layout's lines for a copy of `n` bytes from `firstOffset`: every
// address takes the digits the last line's needs (8 below 4 GiB, as address::DigitsFor), and
// the characters start 27 columns after the address's first (column 35 with 8 digits).
struct ViewLines {
    int digits;
    uint64_t textColumn;
    uint64_t fullLineLength; // CR LF included
};
ViewLines ViewLinesFor(uint64_t firstOffset, uint64_t n);

// Lines of 8 bytes: "%08lX  ", "HH " per byte, padding so the characters start at their
// column, the characters (below 0x20 as spaces), CR LF. `firstOffset` is the address of the
// first byte; line k shows firstOffset + 8k.
uint64_t WriteView(const uint8_t* bytes, uint64_t n, uint64_t firstOffset, char* out);
// The same lines when these `n` bytes are a part of a longer copy shaped as `lines`.
uint64_t WriteViewPart(const uint8_t* bytes, uint64_t n, uint64_t firstOffset,
                       const ViewLines& lines, char* out);
// "%08lX", more digits from 4 GiB on (address::DigitsFor).
uint64_t WriteAddress(uint64_t offset, char* out);
// "%08lX - %08lX", both with the digits the last one needs.
uint64_t WriteAddressRange(uint64_t first, uint64_t last, char* out);

// The two offsets "Address Range" shows: the first and last selected byte (the larger end
// limited to the last byte), or the caret's offset twice when no byte is selected.
struct AddressRange {
    int64_t first;
    int64_t last;
};
AddressRange AddressRangeOf(int64_t selAnchor, int64_t selEnd, int64_t length, int64_t caretOffset);

} // namespace layouts
