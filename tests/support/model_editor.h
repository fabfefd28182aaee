// A window-free editor for the portable editing code: the editor's fields, declared from the
// same lists as CHexEdit's, the view operations computed with the real scroll arithmetic, a scroll
// bar that keeps its position the way the platform clamps it, and commands that only record a call.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "hexedit/core/byte_buffer.h"
#include "hexedit/core/caret_motion.h"
#include "hexedit/core/editor_fields.h"
#include "hexedit/core/editor_source.h"
#include "hexedit/core/key_commands.h"
#include "hexedit/core/scroll_mapping.h"
#include "hexedit/core/typing.h"
#include "tests/support/paged_reader.h"

struct ModelEditor {
    // The editor's own fields, from the same lists as CHexEdit's.
    HEXEDIT_VIEW_FIELDS(HEXEDIT_DECLARE_FIELD)
    HEXEDIT_LAYOUT_FIELDS(HEXEDIT_DECLARE_FIELD)
    HEXEDIT_COMMAND_FIELDS(HEXEDIT_DECLARE_FIELD)

    // The scroll bar as the platform holds it (rows).
    int32_t barMaximum = 0;
    int32_t barPage = 0;
    int32_t barPosition = 0;

    // Effects seen.
    int invalidations = 0;
    int caretRecreations = 0;
    int scrollBarUpdates = 0;
    int64_t lastPlaced = -1;
    bool caretInView = false;
    std::vector<std::string> commands;
    std::unique_ptr<bytes::OnDemandSource> file; // a file read on demand, when one is loaded

    ModelEditor() = default;
    explicit ModelEditor(const std::vector<uint8_t>& bytes) { Load(bytes); }
    ~ModelEditor() {
        GuardedFree(buffer);
        GuardedFree(hexPattern);
        GuardedFree(textPattern);
        GuardedFree(dialogText);
    }
    ModelEditor(const ModelEditor&) = delete;
    ModelEditor& operator=(const ModelEditor&) = delete;

    // As a fresh load: caret at 0 in the hex pane's high digit, no selection, view at the top.
    void Load(const std::vector<uint8_t>& bytes) {
        GuardedFree(buffer);
        buffer = nullptr;
        length = 0;
        if (!bytes.empty()) {
            buffer = static_cast<uint8_t*>(GuardedAlloc(bytes.size()));
            std::memcpy(buffer, bytes.data(), bytes.size());
            length = static_cast<int32_t>(bytes.size());
        }
        editing::UseWholeBlock(*this);
        Reset();
    }

    // As a fresh load of a file read on demand: `reader` gives its `size` bytes.
    void LoadOnDemand(bytes::FileReader& reader, uint64_t size) {
        GuardedFree(buffer);
        buffer = nullptr;
        file = std::make_unique<bytes::OnDemandSource>(reader, size);
        editing::UseOnDemand(*this, *file);
        Reset();
    }
    void Reset() {
        topOffset = caretOffset = 0;
        caretPane = 2;
        selAnchor = selEnd = -1;
        modified = 0;
        UpdateScrollBar();
    }
    // What the view shows at `offset` (-1: unreadable).
    int32_t ByteAt(int64_t offset) const { return editing::ReadByteAt(*this, offset); }

    std::vector<uint8_t> Bytes() const {
        return buffer ? std::vector<uint8_t>(buffer, buffer + length) : std::vector<uint8_t>();
    }
    std::vector<std::string> TakeCommands() {
        std::vector<std::string> taken;
        taken.swap(commands);
        return taken;
    }

    // Input, as the Win32 control hands it over.
    void Key(int key, bool shift = false, bool ctrl = false) {
        editing::HandleKey(*this, key, shift, ctrl);
    }
    void Char(uint32_t code, bool ctrl = false) { editing::TypeCharacter(*this, code, ctrl); }
    void Type(const char* text) {
        for (; *text; ++text)
            Char(static_cast<uint8_t>(*text));
    }

    // The editor's own operations.
    void MoveCaret(int dx, int dy) { editing::MoveCaret(*this, dx, dy); }
    void SetSelection(int64_t anchor, int64_t end) { editing::SetSelection(*this, anchor, end); }
    void SelectAll() { editing::SelectAll(*this); }
    int64_t SelectionLength() const { return editing::SelectionLength(*this); }
    bool ResizeBuffer(int64_t delta) { return editing::ResizeBuffer(*this, delta); }
    void DeleteForward() { editing::DeleteForward(*this); }
    void DeleteBackward() { editing::DeleteBackward(*this); }
    void DeleteSelection() { editing::DeleteSelection(*this); }

    // View operations with the real arithmetic.
    scroll::WideRows RowsNow() const {
        return {static_cast<uint64_t>(length), visibleRows, bytesPerRow};
    }
    void SetBarPosition(int32_t rows) {
        barPosition = scroll::ClampedBarPosition(rows, barMaximum, barPage);
    }
    void UpdateScrollBar() {
        ++scrollBarUpdates;
        const scroll::ScrollBarSettings s =
            scroll::ScrollBarFor(static_cast<uint64_t>(topOffset), RowsNow());
        barMaximum = s.maximum;
        barPage = s.page;
        SetBarPosition(s.position);
    }
    void Scroll(int code) {
        if (length == 0)
            return;
        uint64_t newTop = static_cast<uint64_t>(topOffset);
        // Outside a thumb drag the bar reports its own position as the tracking position.
        if (!scroll::ScrollTop(code, newTop, RowsNow(), barPosition, newTop))
            return;
        topOffset = static_cast<int64_t>(newTop);
        Invalidate();
        SetBarPosition(scroll::ScrollBarFor(newTop, RowsNow()).position);
        PlaceCaret(caretOffset);
    }
    void EnsureVisible(int64_t offset) {
        const int64_t page = static_cast<int64_t>(visibleRows) * bytesPerRow;
        if (topOffset <= offset && offset < topOffset + page)
            return;
        topOffset = static_cast<int64_t>(scroll::EnsureVisibleTop(
            static_cast<uint64_t>(offset), static_cast<uint64_t>(topOffset), RowsNow()));
        UpdateScrollBar();
    }
    void PlaceCaret(int64_t offset) {
        lastPlaced = offset;
        const int64_t d = offset - topOffset;
        caretInView = d >= 0 && d / bytesPerRow <= visibleRows - 1 && d % bytesPerRow >= 0;
    }
    void Invalidate() { ++invalidations; }
    void Beep() { Record("Beep"); }
    void RecreateCaret() { ++caretRecreations; }

    // Commands of other parts of the editor: recorded only.
    void Record(const std::string& what) { commands.push_back(what); }
    void ReportResizeRefused() { Record("ResizeRefused"); }
    void Copy() { Record("Copy"); }
    void Cut() { Record("Cut"); }
    void Paste() { Record("Paste"); }
    void GoToBookmark(int slot) { Record("GoToBookmark " + std::to_string(slot)); }
    long SetBookmark(int slot) {
        Record("SetBookmark " + std::to_string(slot));
        return 0;
    }
    void NextBookmark() { Record("NextBookmark"); }
    void PreviousBookmark() { Record("PreviousBookmark"); }
    void ShowEditBitsDialog() { Record("ShowEditBitsDialog"); }
    void ShowFindDialog(int direction) { Record("ShowFindDialog " + std::to_string(direction)); }
    void FindNext(int direction) { Record("FindNext " + std::to_string(direction)); }
    void FindPrevious() { Record("FindPrevious"); }
    void ShowGoToDialog() { Record("ShowGoToDialog"); }
    void RevertFile() { Record("RevertFile"); }
    unsigned long SaveFile(int ask) {
        Record("SaveFile " + std::to_string(ask));
        return 0;
    }
    long CycleViewSize() {
        Record("CycleViewSize");
        return 0;
    }
    void ShowContextMenuAtCaret() { Record("ContextMenu"); }
    void MoveFocusOut(bool previous) { Record(previous ? "FocusPrevious" : "FocusNext"); }
};

// The model on a file of 100 GiB read on demand (byte i is 0x10 + i), the caret at `caret`.
struct LargeModel {
    static constexpr int64_t kLength = int64_t{100} << 30;
    PagedReader reader;
    ModelEditor e;
    explicit LargeModel(int64_t caret = 0) {
        e.LoadOnDemand(reader, kLength);
        e.caretOffset = caret;
        e.EnsureVisible(caret);
    }
};
