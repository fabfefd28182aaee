// Drawing the view: lay out the columns when needed, then render the frame's plan into a
// memory bitmap and copy it to the window in one step, so the view never flickers.
#include "hexedit/hex_edit.h"

#include <algorithm>
#include <vector>

#include "hexedit/core/address_width.h"
#include "hexedit/core/editor_source.h"
#include "hexedit/core/paint_plan.h"
#include "hexedit/core/scroll_math.h"
#include "hexedit/win32_handles.h"

namespace {

int32_t AddressDigits(const CHexEdit& e, int64_t length) {
    return address::ViewDigits(static_cast<uint64_t>(length), e.bytesPerRow);
}

// The bytes of the rows that fit the client, from the top offset, and which of them could not
// be read: only these are read, whatever the file's size.
struct ShownRows {
    std::vector<uint8_t> bytes;
    std::vector<uint8_t> unreadable;
};

// The rows of a file `length` bytes long from `top`. Never empty, so a file whose rows are all
// above the view still counts as one with bytes.
ShownRows ReadShownRows(const CHexEdit& e, int64_t length, int64_t top, int clientHeight) {
    int64_t shown = 0;
    if (e.charHeight > 0 && length > top) {
        const int64_t count =
            int64_t{paintplan::RowLimit(clientHeight, e.charHeight) / e.charHeight} * e.bytesPerRow;
        shown = std::min(count, length - top);
    }
    ShownRows rows;
    rows.bytes.resize(static_cast<size_t>(std::max<int64_t>(shown, 1)));
    rows.unreadable.resize(rows.bytes.size());
    e.source->Read(static_cast<uint64_t>(top), rows.bytes.data(), static_cast<size_t>(shown),
                   rows.unreadable.data());
    return rows;
}

// Measures the font and places the columns; creates a caret that was wanted before the font
// was known.
void LayOut(CHexEdit& e, HDC dc, int clientHeight) {
    SIZE cell{};
    if (!GetTextExtentPoint32W(dc, L"0", 1, &cell) || cell.cx <= 0 || cell.cy <= 0)
        return; // nothing measurable: stay unmeasured and try again next time
    e.charWidth = cell.cx;
    e.charHeight = cell.cy;
    const scroll::ColumnLayout columns =
        scroll::ColumnsFor(cell.cx, cell.cy, e.bytesPerRow, AddressDigits(e, e.length));
    e.hexColumnX = columns.hexColumnX;
    e.textColumnX = columns.textColumnX;
    e.layoutStale = 0;
    e.visibleRows = clientHeight / e.charHeight;
    e.UpdateScrollBar();
    if (e.caretPending) {
        e.RecreateCaret();
        // EndPaint shows the caret once more: this keeps the show requests balanced.
        HideCaret(e.hwnd);
        e.PlaceCaret(e.caretOffset);
        e.caretPending = 0;
        e.caretMadeByPaint = 1;
    }
}

void UseRole(HDC dc, paintplan::Role role) {
    const bool selected = role == paintplan::Role::kSelected;
    int text = COLOR_WINDOWTEXT;
    if (selected)
        text = COLOR_HIGHLIGHTTEXT;
    else if (role != paintplan::Role::kActive)
        text = COLOR_GRAYTEXT;
    SetTextColor(dc, GetSysColor(text));
    SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
}

void Render(HDC dc, const RECT& client, const std::vector<paintplan::Item>& items) {
    bool haveRole = false;
    paintplan::Role current = paintplan::Role::kAddress;
    wchar_t wide[paintplan::kMaxItemChars];
    for (const paintplan::Item& item : items) {
        if (!haveRole || item.role != current) {
            UseRole(dc, item.role);
            current = item.role;
            haveRole = true;
        }
        if (item.kind == paintplan::Kind::kTextByte) {
            TextOutA(dc, item.x, item.y, item.text, item.count);
            continue;
        }
        for (int i = 0; i < item.count; ++i)
            wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(item.text[i]));
        if (item.kind == paintplan::Kind::kHexByte) {
            TextOutW(dc, item.x, item.y, wide, item.count);
        } else {
            RECT area{item.x, item.y, client.right, client.bottom};
            DrawTextW(dc, wide, item.count, &area, DT_NOPREFIX | DT_SINGLELINE);
        }
    }
}

} // namespace

void CHexEdit::Paint() {
    if (!GetUpdateRect(hwnd, nullptr, FALSE))
        return;
    ScopedPaint paint(hwnd);
    RECT client{};
    GetClientRect(hwnd, &client);
    UniqueMemoryDc memory(CreateCompatibleDC(paint.dc()));
    UniqueBitmap bitmap(CreateCompatibleBitmap(paint.dc(), client.right, client.bottom));
    if (!memory || !bitmap)
        return;
    ScopedSelectObject useBitmap(memory.get(), bitmap.get());
    FillRect(memory.get(), &client, GetSysColorBrush(COLOR_WINDOW));
    ScopedSelectObject useFont(memory.get(), font);
    if (layoutStale)
        LayOut(*this, memory.get(), client.bottom);

    // The rows are read where the buffer is now, whoever resized it last.
    if (!editing::IsOnDemand(*this))
        editing::SyncWholeBlock(*this);
    // A read that waits for the medium lets other messages run, which may move the view or
    // find the file changed: this frame is drawn as it was asked for, and the next one as it is.
    const int64_t shownLength = length;
    const int64_t shownTop = topOffset;
    const ShownRows rows = ReadShownRows(*this, shownLength, shownTop, client.bottom);
    if (length != shownLength || topOffset != shownTop)
        Invalidate();
    const paintplan::Frame frame{shownLength > 0 ? rows.bytes.data() : nullptr,
                                 shownLength,
                                 shownTop,
                                 caretPane,
                                 selAnchor,
                                 selEnd,
                                 bytesPerRow,
                                 charWidth,
                                 charHeight,
                                 hexColumnX,
                                 textColumnX,
                                 client.bottom,
                                 shownTop,
                                 rows.unreadable.data(),
                                 AddressDigits(*this, shownLength)};
    std::vector<paintplan::Item> items;
    paintplan::PlanFrame(frame, items);
    Render(memory.get(), client, items);

    BitBlt(paint.dc(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
}
