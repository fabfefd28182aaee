// Plays random keys, characters, modifier states, Insert toggles, deletions and failing
// allocations against the portable editing code and against a plain reference written
// straight from the rules, and checks after every step that both agree and that the editor's
// invariants hold. A first byte with its high bit set plays the same on a file of 100 GiB read
// on demand, where only overwrites change bytes and every insert or deletion is refused once.
#include <sanitizer/allocator_interface.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <vector>

#include "hexedit/core/code_page_1252.h"
#include "support/model_editor.h"

namespace {

namespace k = editing::keys;

// The rules, written plainly over a vector. It also keeps the size of the heap block the
// editor should hold, so the exact-size rule can be checked.
struct Reference {
    std::vector<uint8_t> bytes;
    size_t block = 0;
    int64_t caret = 0;
    int pane = 2;
    int saved = 2;
    int64_t anchor = -1;
    int64_t end = -1;
    bool overwrite = true;
    bool modified = false;
    int rows = 5;
    int failing = 0;
    // A file read on demand: its length (-1: the bytes are held whole), byte i is 0x10 + i
    // unless overwritten, and the refusals of this step.
    int64_t large = -1;
    std::map<int64_t, uint8_t> changes;
    int refused = 0;

    int64_t len() const { return large >= 0 ? large : static_cast<int64_t>(bytes.size()); }
    uint8_t At(int64_t i) const { // of the file read on demand
        const auto c = changes.find(i);
        return c != changes.end() ? c->second : static_cast<uint8_t>(0x10 + i);
    }
    // True when the file cannot change its length: the try is refused.
    bool Refused() {
        if (large < 0)
            return false;
        ++refused;
        return true;
    }
    bool hex() const { return pane != 1; }
    bool selected() const { return anchor != -1; }

    // One request to the heap for a new block size; freeing never fails.
    bool Allocate(size_t size) {
        if (size == 0) {
            block = 0;
            return true;
        }
        if (failing > 0) {
            --failing;
            return false;
        }
        block = size;
        return true;
    }
    void Remove(int64_t first, int64_t count) {
        Allocate(bytes.size() - static_cast<size_t>(count)); // a failed shrink keeps the block
        bytes.erase(bytes.begin() + first, bytes.begin() + first + count);
    }
    bool InsertZero(int64_t at) {
        if (!Allocate(bytes.size() + 1))
            return false;
        bytes.insert(bytes.begin() + at, 0);
        return true;
    }

    void Move(int key, bool ctrl) {
        switch (key) {
        case k::kLeft:
            if (pane == 1)
                caret = std::max<int64_t>(0, caret - 1);
            else if (pane == 3)
                pane = 2;
            else if (caret > 0)
                --caret, pane = 3;
            break;
        case k::kRight:
            if (pane == 1)
                caret = std::min(len(), caret + 1);
            else if (pane == 2)
                pane = 3;
            else if (caret < len())
                ++caret, pane = 2;
            break;
        case k::kUp:
            if (caret >= 8)
                caret -= 8;
            break;
        case k::kDown:
            caret = std::min(len(), caret + 8);
            break;
        case k::kPageUp:
            if (caret >= 8 * rows)
                caret -= 8 * rows;
            else if (rows > 1)
                caret %= 8;
            break;
        case k::kPageDown:
            caret = std::min(len(), caret + 8 * rows);
            break;
        case k::kHome:
            caret = ctrl ? 0 : caret - caret % 8;
            if (pane == 3)
                pane = 2;
            break;
        case k::kEnd:
            caret = ctrl ? len() : std::min(len(), caret - caret % 8 + 7);
            if (pane == 2)
                pane = 3;
            break;
        }
    }

    void DeleteSelection() {
        modified = true;
        const int64_t lo = std::min(std::min(anchor, end), len());
        const int64_t hi = std::min(std::max(anchor, end), len() - 1);
        if (lo <= hi)
            Remove(lo, hi - lo + 1);
        caret = lo;
        anchor = end = -1;
    }
    void DeleteForward() {
        if (len() == 0 || Refused())
            return;
        if (selected())
            return DeleteSelection();
        if (caret == len())
            return;
        modified = true;
        Remove(caret, 1);
    }
    void DeleteBackward() {
        if (len() == 0 || Refused())
            return;
        if (selected())
            return DeleteSelection();
        if (caret == 0)
            return;
        modified = true;
        Remove(caret - 1, 1);
        --caret;
        if (hex())
            pane = 2;
    }

    void Key(int key, bool shift, bool ctrl) {
        switch (key) {
        case k::kLeft:
        case k::kRight:
        case k::kUp:
        case k::kDown:
        case k::kPageUp:
        case k::kPageDown:
        case k::kHome:
        case k::kEnd:
            if (!shift)
                anchor = end = -1;
            else if (anchor == -1)
                anchor = caret;
            Move(key, ctrl);
            if (shift)
                end = caret;
            break;
        case k::kTab:
            if (!shift && hex())
                saved = pane, pane = 1;
            else if (shift && !hex())
                pane = saved;
            break;
        case k::kInsert:
            if (!shift && !ctrl)
                overwrite = !overwrite;
            break;
        case k::kDelete:
            if (!shift)
                DeleteForward();
            break;
        case 'A':
            if (ctrl && len() > 0) {
                anchor = 0;
                end = caret = len() - 1;
                if (pane == 2)
                    pane = 3;
            }
            break;
        }
    }

    void Char(uint32_t code, bool ctrl) {
        if (code == 9 || ctrl)
            return;
        if (code == 8)
            return DeleteBackward();
        int digit = -1;
        if (hex()) {
            if (code >= '0' && code <= '9')
                digit = static_cast<int>(code - '0');
            else if (code >= 'a' && code <= 'f')
                digit = static_cast<int>(code - 'a' + 10);
            else if (code >= 'A' && code <= 'F')
                digit = static_cast<int>(code - 'A' + 10);
            else
                return;
        } else if (cp1252::ByteOf(code) < 0) {
            return; // no character of the view's code page: a beep
        } else {
            code = static_cast<uint32_t>(cp1252::ByteOf(code));
        }
        if ((selected() || !overwrite || caret == len()) && Refused())
            return;
        if (large >= 0) {
            const uint8_t b = At(caret);
            if (pane == 1)
                changes[caret++] = static_cast<uint8_t>(code);
            else if (pane == 2)
                changes[caret] = static_cast<uint8_t>((b & 0x0F) | (digit << 4)), pane = 3;
            else
                changes[caret++] = static_cast<uint8_t>((b & 0xF0) | digit), pane = 2;
            modified = true;
            return;
        }
        const bool wasOverwrite = overwrite;
        bool inserting = !overwrite;
        if (selected()) {
            DeleteSelection();
            inserting = true;
        }
        bool room = true;
        if (caret == len())
            room = InsertZero(caret); // appending
        else if (inserting && pane != 3)
            room = InsertZero(caret);
        overwrite = wasOverwrite;
        if (!room)
            return;
        modified = true;
        uint8_t& b = bytes[static_cast<size_t>(caret)];
        if (pane == 1) {
            b = static_cast<uint8_t>(code);
            ++caret;
        } else if (pane == 2) {
            b = static_cast<uint8_t>((b & 0x0F) | (digit << 4));
            pane = 3;
        } else {
            b = static_cast<uint8_t>((b & 0xF0) | digit);
            ++caret;
            pane = 2;
        }
    }
};

void Check(bool ok) {
    if (!ok)
        std::abort();
}

void Compare(const ModelEditor& e, const Reference& r) {
    Check(e.length == r.len());
    if (r.large >= 0) {
        for (const auto& c : r.changes)
            Check(e.ByteAt(c.first) == c.second);
        for (int64_t o = std::max<int64_t>(0, e.caretOffset - 9); o < e.caretOffset + 9; ++o)
            Check(e.ByteAt(o) == (o < r.len() ? r.At(o) : -1));
        Check(e.file->Changes().ChangedBytes() == r.changes.size());
        const auto refusals = std::count(e.commands.begin(), e.commands.end(), "ResizeRefused");
        Check(refusals == r.refused);
    } else {
        Check(e.Bytes() == r.bytes);
        Check((e.buffer == nullptr) == (e.length == 0));
    }
    if (e.buffer)
        Check(__sanitizer_get_allocated_size(e.buffer) == r.block);
    Check(e.caretOffset >= 0 && e.caretOffset <= e.length);
    Check(e.caretOffset == r.caret && e.caretPane == r.pane && e.savedHexPane == r.saved);
    Check(e.selAnchor == r.anchor && e.selEnd == r.end);
    const bool none = e.selAnchor == -1 && e.selEnd == -1;
    const bool inside =
        e.selAnchor >= 0 && e.selAnchor <= e.length && e.selEnd >= 0 && e.selEnd <= e.length;
    Check(none || inside);
    Check(e.topOffset >= 0 && e.topOffset % 8 == 0);
    // The view follows the caret (one visible row can't also show the row above it).
    if (e.visibleRows > 1)
        Check(e.topOffset <= e.caretOffset &&
              e.caretOffset < e.topOffset + e.visibleRows * e.bytesPerRow);
    Check(e.overwriteMode == (r.overwrite ? 1 : 0));
    Check(e.modified == (r.modified ? 1 : 0));
}

// Keys that the reference handles, and some it must ignore.
const int kNavigation[] = {k::kLeft,   k::kRight,    k::kUp,   k::kDown,
                           k::kPageUp, k::kPageDown, k::kHome, k::kEnd};
const char kTyped[] = "0123456789abcdefABCDEFgGz \r";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    FailNextAllocations(0);
    PagedReader file; // outlives the editor that reads it
    ModelEditor e;
    Reference r;
    r.rows = e.visibleRows = (data[0] & 0x7F) % 9; // a view too small for one row included
    const bool large = (data[0] & 0x80) != 0;
    const size_t initial = large ? 0 : std::min<size_t>(data[1] % 80, size - 2);
    std::vector<uint8_t> bytes(data + 2, data + 2 + initial);
    if (large) {
        r.large = (int64_t{100} << 30) + data[1] % 16;
        e.LoadOnDemand(file, static_cast<uint64_t>(r.large));
    } else {
        e.Load(bytes);
    }
    r.bytes = bytes;
    r.block = bytes.size();
    size_t i = 2 + initial;
    auto next = [&]() -> uint8_t { return i < size ? data[i++] : 0; };

    while (i < size) {
        const uint8_t op = next();
        const uint8_t arg = next();
        const bool shift = (op & 0x10) != 0;
        const bool ctrl = (op & 0x20) != 0;
        if (op & 0x40) { // this step's allocations fail
            r.failing = 1 + (op >> 7);
            FailNextAllocations(r.failing);
        }
        switch (op & 0x0F) {
        case 0:
        case 1:
        case 2:
        case 3:
            e.Key(kNavigation[arg % 8], shift, ctrl);
            r.Key(kNavigation[arg % 8], shift, ctrl);
            break;
        case 4:
            e.Key(k::kTab, shift, ctrl);
            r.Key(k::kTab, shift, ctrl);
            break;
        case 5:
            e.Key(k::kInsert, shift, ctrl);
            r.Key(k::kInsert, shift, ctrl);
            break;
        case 6:
            e.Key(k::kDelete, shift, ctrl);
            r.Key(k::kDelete, shift, ctrl);
            break;
        case 7:
            e.Key(arg, shift, ctrl); // anything at all, commands included
            r.Key(arg, shift, ctrl);
            break;
        case 8:
        case 9:
        case 10: {
            const uint32_t code = static_cast<uint8_t>(kTyped[arg % (sizeof kTyped - 1)]);
            e.Char(code, ctrl);
            r.Char(code, ctrl);
            break;
        }
        case 11: {
            const uint32_t code = arg | (shift ? 0x2000u : 0u);
            e.Char(code, ctrl);
            r.Char(code, ctrl);
            break;
        }
        case 12:
            e.Char(8, ctrl);
            r.Char(8, ctrl);
            break;
        case 13:
            e.Key('A', shift, true);
            r.Key('A', shift, true);
            break;
        case 14: {
            // Stretch a selection by several Shift moves at once.
            for (int n = 0; n <= arg % 4; ++n) {
                e.Key(kNavigation[(arg >> 2) % 8], true, ctrl);
                r.Key(kNavigation[(arg >> 2) % 8], true, ctrl);
            }
            break;
        }
        default:
            e.DeleteForward();
            r.DeleteForward();
            break;
        }
        FailNextAllocations(0);
        r.failing = 0;
        Compare(e, r);
        e.commands.clear();
        r.refused = 0;
    }
    return 0;
}
