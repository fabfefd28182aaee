#include "hexedit/core/paint_plan.h"

#include <algorithm>

#include "hexedit/core/address_width.h"
#include "hexedit/core/view_geometry.h"

namespace paintplan {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

Item Start(Kind kind, Role role, int32_t x, int32_t y) {
    Item item{};
    item.kind = kind;
    item.role = role;
    item.x = x;
    item.y = y;
    return item;
}

void Put(Item& item, char c) {
    item.text[item.count++] = c;
}

void PutHex(Item& item, uint8_t byte, bool space) {
    Put(item, kDigits[byte >> 4]);
    Put(item, kDigits[byte & 0x0F]);
    if (space)
        Put(item, ' ');
}

Item Address(int64_t offset, int32_t digits, int32_t y) {
    Item item = Start(Kind::kAddress, Role::kAddress, 1, y);
    char text[17];
    item.count = static_cast<uint8_t>(
        address::WriteAddress(static_cast<uint64_t>(offset), std::clamp(digits, 8, 16), text));
    std::copy(text, text + item.count, item.text);
    return item;
}

// The byte at `offset` among those handed over, and whether it could be read.
bool ByteAt(const Frame& f, int64_t offset, uint8_t& byte) {
    const auto i = static_cast<size_t>(offset - f.bufferStart);
    byte = f.buffer[i];
    return !(f.unreadable && f.unreadable[i]);
}

void PutHexAt(Item& item, const Frame& f, int64_t offset, bool space) {
    uint8_t byte = 0;
    if (ByteAt(f, offset, byte)) {
        PutHex(item, byte, space);
        return;
    }
    Put(item, '?');
    Put(item, '?');
    if (space)
        Put(item, ' ');
}

// Control characters have no glyph worth showing.
char Shown(uint8_t byte) {
    return byte < 0x20 ? ' ' : static_cast<char>(byte);
}

struct Selection {
    bool shown;
    int64_t first;
    int64_t last; // limited to the last byte of the file
    Role RoleOf(int64_t offset) const {
        return shown && first <= offset && offset <= last ? Role::kSelected : Role::kActive;
    }
};

void PlainHexRows(const Frame& f, int32_t yLimit, Role role, std::vector<Item>& items) {
    int32_t y = kTopMargin;
    for (int64_t row = f.topOffset; row < f.length && y < yLimit; row += f.bytesPerRow) {
        Item item = Start(Kind::kHexRow, role, f.hexColumnX, y);
        for (int32_t j = 0; j < f.bytesPerRow; ++j) {
            if (row + j < f.length) {
                PutHexAt(item, f, row + j, true);
            } else {
                Put(item, ' ');
                Put(item, ' ');
                Put(item, ' ');
            }
        }
        items.push_back(item);
        y += f.charHeight;
    }
}

// One item per byte; a selected byte that ends the selection, its row or the file leaves the
// space after it unhighlighted.
void HexBytes(const Frame& f, int32_t yLimit, const Selection& sel, std::vector<Item>& items) {
    int32_t y = kTopMargin;
    int32_t col = 0;
    for (int64_t o = f.topOffset; o < f.length && y < yLimit; ++o) {
        const Role role = sel.RoleOf(o);
        const bool lastOfRow = col == f.bytesPerRow - 1;
        const bool space =
            role != Role::kSelected || !(o == sel.last || o == f.length - 1 || lastOfRow);
        Item item =
            Start(Kind::kHexByte, role, f.hexColumnX + kHexCellsPerByte * col * f.charWidth, y);
        PutHexAt(item, f, o, space);
        items.push_back(item);
        if (lastOfRow) {
            col = 0;
            y += f.charHeight;
        } else {
            ++col;
        }
    }
}

void TextBytes(const Frame& f, int32_t yLimit, Role plain, const Selection& sel,
               std::vector<Item>& items) {
    int32_t y = kTopMargin;
    int32_t col = 0;
    for (int64_t o = f.topOffset; o < f.length && y < yLimit; ++o) {
        const Role role = sel.shown ? sel.RoleOf(o) : plain;
        Item item = Start(Kind::kTextByte, role, f.textColumnX + col * f.charWidth, y);
        uint8_t byte = 0;
        Put(item, ByteAt(f, o, byte) ? Shown(byte) : '?');
        items.push_back(item);
        if (++col == f.bytesPerRow) {
            col = 0;
            y += f.charHeight;
        }
    }
}

} // namespace

int32_t RowLimit(int32_t clientHeight, int32_t charHeight) {
    if (charHeight <= 0 || clientHeight <= 0)
        return 0;
    return clientHeight / charHeight * charHeight;
}

void PlanFrame(const Frame& f, std::vector<Item>& items) {
    items.clear();
    if (f.charWidth <= 0 || f.charHeight <= 0 || f.bytesPerRow <= 0 ||
        kHexCellsPerByte * f.bytesPerRow > kMaxItemChars)
        return;
    if (!f.buffer || f.length <= 0) {
        items.push_back(Address(f.topOffset, f.addressDigits, kTopMargin));
        return;
    }
    const int32_t yLimit = RowLimit(f.clientHeight, f.charHeight);

    int32_t y = kTopMargin;
    for (int64_t row = f.topOffset; row < f.length && y < yLimit; row += f.bytesPerRow) {
        items.push_back(Address(row, f.addressDigits, y));
        y += f.charHeight;
    }

    const bool hexHasCaret = f.caretPane != kTextPane;
    // Both ends must be set; a half-made selection shows nothing rather than a wrong range.
    const bool selected = f.selAnchor >= 0 && f.selEnd >= 0;
    Selection none{false, 0, -1};
    Selection sel{selected, std::min(f.selAnchor, f.selEnd),
                  std::min<int64_t>(std::max(f.selAnchor, f.selEnd), f.length - 1)};

    if (selected && hexHasCaret)
        HexBytes(f, yLimit, sel, items);
    else
        PlainHexRows(f, yLimit, hexHasCaret ? Role::kActive : Role::kInactive, items);

    TextBytes(f, yLimit, hexHasCaret ? Role::kInactive : Role::kActive,
              selected && !hexHasCaret ? sel : none, items);
}

} // namespace paintplan
