// The clipboard texts, the paste rules and the bookmark slot rules: each layout against the
// examples it is defined by and against the plainly written reference, the block sizes at
// the allocation limit, and a paste that either happens whole or leaves everything alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "hexedit/core/bookmark_slots.h"
#include "hexedit/core/chunked_layouts.h"
#include "hexedit/core/copy_layouts.h"
#include "hexedit/core/paste_rule.h"
#include "tests/support/layout_reference.h"
#include "tests/support/model_editor.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Range(int from, int count) {
    Bytes bytes;
    for (int i = 0; i < count; ++i)
        bytes.push_back(static_cast<uint8_t>(from + i));
    return bytes;
}

// Runs a writer into a block of exactly the size its layout asks for, and checks that the
// text and its NUL fit and that the returned length is the text's.
std::string Written(uint64_t blockSize,
                    const std::function<uint64_t(const uint8_t*, uint64_t, char*)>& write,
                    const Bytes& bytes) {
    std::vector<char> block(blockSize, '#');
    const uint64_t length = write(bytes.data(), bytes.size(), block.data());
    EXPECT_LT(length, blockSize);
    if (length >= blockSize)
        return {};
    EXPECT_EQ(block[length], '\0');
    return std::string(block.data(), length);
}

std::string Hex(const Bytes& b) {
    return Written(layouts::HexBlockSize(b.size()), layouts::WriteHex, b);
}
std::string Chars(const Bytes& b) {
    return Written(layouts::CharBlockSize(b.size()), layouts::WriteChars, b);
}
std::string CArray(const Bytes& b) {
    return Written(layouts::CArrayWorkingSize(b.size()), layouts::WriteCArray, b);
}
std::string View(const Bytes& b, uint64_t first) {
    return Written(
        layouts::ViewWorkingSize(b.size()),
        [first](const uint8_t* p, uint64_t n, char* out) {
            return layouts::WriteView(p, n, first, out);
        },
        b);
}

const Bytes kAbc{0x61, 0x62, 0x63};
const std::string kCrLf = "\r\n";

struct LayoutCase {
    const char* what;
    CopyLayout layout;
    Bytes bytes;
    uint64_t first;
    std::string expected;
};

std::string Produce(const LayoutCase& c) {
    switch (c.layout) {
    case CopyLayout::Hex:
        return Hex(c.bytes);
    case CopyLayout::Text:
        return Chars(c.bytes);
    case CopyLayout::CArray:
        return CArray(c.bytes);
    case CopyLayout::View:
        return View(c.bytes, c.first);
    default:
        return {};
    }
}

} // namespace

TEST(CopyLayouts, ExamplesOfEachLayout) {
    const std::vector<LayoutCase> cases = {
        {"worked example, hex", CopyLayout::Hex, kAbc, 0, "61 62 63"},
        {"worked example, text", CopyLayout::Text, kAbc, 0, "abc"},
        {"worked example, C", CopyLayout::CArray, kAbc, 0, "0x61, 0x62, 0x63"},
        {"worked example, view", CopyLayout::View, kAbc, 0,
         "00000000  61 62 63" + std::string(17, ' ') + "abc" + kCrLf},
        {"line feed from the text pane", CopyLayout::Text, {0x0A}, 0, "."},
        {"line feed from the hex pane", CopyLayout::Hex, {0x0A}, 0, "0A"},
        {"controls and high bytes as text",
         CopyLayout::Text,
         {0x00, 0x1F, 0x20, 0x80, 0xFF},
         0,
         "..\x20\x80\xFF"},
        {"uppercase digits", CopyLayout::Hex, {0xAB, 0xCD, 0xEF, 0x00}, 0, "AB CD EF 00"},
        {"16 values end with a line break", CopyLayout::CArray, Range(0, 16), 0,
         "0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, "
         "0x0E, 0x0F" +
             kCrLf},
        {"17 values: the second line holds one", CopyLayout::CArray, Range(0xF0, 17), 0,
         "0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, "
         "0xFE, 0xFF," +
             kCrLf + "0x00"},
        {"9 bytes as view: two lines, one column", CopyLayout::View, Range(0x41, 9), 0,
         "00000000  41 42 43 44 45 46 47 48  ABCDEFGH" + kCrLf + "00000008  49 " +
             std::string(22, ' ') + "I" + kCrLf},
        {"view lines follow the selection", CopyLayout::View, Range(0x30, 10), 5,
         "00000005  30 31 32 33 34 35 36 37  01234567" + kCrLf + "0000000D  38 39 " +
             std::string(19, ' ') + "89" + kCrLf},
        {"view: controls as spaces, high bytes kept",
         CopyLayout::View,
         {0x00, 0x0A, 0x80, 0xFF},
         0x7FFFFFF0,
         "7FFFFFF0  00 0A 80 FF " + std::string(13, ' ') + "  \x80\xFF" + kCrLf},
        {"view: every address takes the digits the last one needs", CopyLayout::View,
         Range(0x41, 9), 0xFFFFFFFC,
         "0FFFFFFFC  41 42 43 44 45 46 47 48  ABCDEFGH" + kCrLf + "100000004  49 " +
             std::string(22, ' ') + "I" + kCrLf},
        {"no bytes", CopyLayout::Hex, {}, 0, ""},
    };
    for (const LayoutCase& c : cases)
        EXPECT_EQ(Produce(c), c.expected) << c.what;
}

TEST(CopyLayouts, ViewCharactersAlwaysStartAtColumn35) {
    for (int n = 1; n <= 24; ++n) {
        const std::string text = View(Bytes(static_cast<size_t>(n), 0x5A), 0);
        size_t lineStart = 0;
        while (lineStart < text.size()) {
            const size_t end = text.find(kCrLf, lineStart);
            ASSERT_NE(end, std::string::npos);
            EXPECT_EQ(text.find('Z', lineStart + 10), lineStart + 35) << n;
            EXPECT_LE(end - lineStart, 43u) << n;
            lineStart = end + 2;
        }
    }
}

TEST(CopyLayouts, AddressTexts) {
    char text[layouts::kAddressRangeTextSize];
    const struct {
        uint32_t first, last;
        const char* address;
        const char* range;
    } cases[] = {
        {2, 2, "00000002", "00000002 - 00000002"},
        {0, 2, "00000000", "00000000 - 00000002"},
        {0xABCDEF, 0x7FFFFFFE, "00ABCDEF", "00ABCDEF - 7FFFFFFE"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(layouts::WriteAddress(c.first, text), 8u);
        EXPECT_STREQ(text, c.address);
        EXPECT_EQ(layouts::WriteAddressRange(c.first, c.last, text), 19u);
        EXPECT_STREQ(text, c.range);
    }
}

TEST(CopyLayouts, AddressRangeOfTheSelection) {
    const struct {
        const char* what;
        int32_t anchor, end, length, caret;
        int32_t first, last;
    } cases[] = {
        {"worked example", 0, 2, 3, 2, 0, 2},
        {"backwards selection", 2, 0, 3, 0, 0, 2},
        {"moving end on the end position", 1, 3, 3, 3, 1, 2},
        {"no selection: the caret twice", -1, -1, 3, 1, 1, 1},
        {"only the end position selected", 3, 3, 3, 3, 3, 3},
        {"empty buffer", 0, 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const layouts::AddressRange r = layouts::AddressRangeOf(c.anchor, c.end, c.length, c.caret);
        EXPECT_EQ(r.first, c.first) << c.what;
        EXPECT_EQ(r.last, c.last) << c.what;
    }
}

TEST(CopyLayouts, SizesDoNotWrapNearTheLimit) {
    constexpr uint64_t kMax = 0x7FFFFFFF; // the largest buffer
    const struct {
        const char* what;
        uint64_t (*size)(uint64_t);
        uint64_t n;
        uint64_t expected;
    } cases[] = {
        {"hex, 3 bytes", layouts::HexBlockSize, 3, 10},
        {"hex, largest buffer", layouts::HexBlockSize, kMax, 6442450942},
        {"chars, largest buffer", layouts::CharBlockSize, kMax, 2147483648},
        {"C, 3 bytes", layouts::CArrayWorkingSize, 3, 1018},
        {"C, largest buffer", layouts::CArrayWorkingSize, kMax, 13153338337},
        {"view, 9 bytes", layouts::ViewWorkingSize, 9, 1060},
        {"view, largest buffer", layouts::ViewWorkingSize, kMax, 15032386508},
        {"long view copy of 1 GiB, 45 characters a line", // over 4 GiB: no 32-bit size holds it
         [](uint64_t n) {
             return layouts::ChunkedBlockSize({layouts::Chunked::View, n, 0});
         },
         uint64_t{1} << 30, 6039797761},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.size(c.n), c.expected) << c.what;
    // Where the guard starts refusing: 3n + 1 reaches 2^31 at n = 715827883.
    EXPECT_LT(layouts::HexBlockSize(715827882), kAllocationLimit);
    EXPECT_GE(layouts::HexBlockSize(715827883), kAllocationLimit);
    EXPECT_FALSE(AllocationAllowed(layouts::HexBlockSize(715827883)));
    EXPECT_TRUE(AllocationAllowed(layouts::HexBlockSize(715827882)));
}

TEST(CopyLayouts, InjectedFailureRefusesOneBlock) {
    FailNextAllocations(1);
    EXPECT_FALSE(AllocationAllowed(10));
    EXPECT_TRUE(AllocationAllowed(10));
}

TEST(CopyLayouts, WritersAgreeWithTheReference) {
    for (int n = 0; n <= 70; ++n) {
        Bytes bytes;
        for (int i = 0; i < n; ++i)
            bytes.push_back(static_cast<uint8_t>(i * 37 + n));
        EXPECT_EQ(Hex(bytes), reference::HexText(bytes)) << n;
        EXPECT_EQ(Chars(bytes), reference::CharText(bytes)) << n;
        EXPECT_EQ(CArray(bytes), reference::CArray(bytes)) << n;
        EXPECT_EQ(View(bytes, 0x123), reference::View(bytes, 0x123)) << n;
    }
}

// A long copy written 1 MiB of the selection at a time fills exactly the block a single call
// gives: each step ending on either side of a line and of a hex pair.
TEST(CopyLayouts, StepsOfALongCopyJoinIntoTheWholeBlock) {
    using layouts::Chunked;
    const std::string nul(1, '\0');
    for (uint64_t n : {1, 1048575, 1048576, 1048577, 2097165}) {
        Bytes bytes(n);
        for (uint64_t i = 0; i < n; ++i)
            bytes[i] = static_cast<uint8_t>(i * 37 + i / 251);
        const std::pair<Chunked, std::string> rows[] = {
            {Chunked::Hex, Hex(bytes) + nul + nul},
            {Chunked::Chars, Chars(bytes) + nul},
            {Chunked::View, View(bytes, 0xFFFFFFF8) + nul},
            {Chunked::Raw, std::string(bytes.begin(), bytes.end())}};
        for (const auto& [layout, whole] : rows) {
            // From 8 bytes below 4 GiB: a second line takes 9 address digits, and so all lines.
            const layouts::ChunkedCopy copy{layout, n, 0xFFFFFFF8};
            std::string block(layouts::ChunkedBlockSize(copy), '#');
            for (uint64_t from = 0; from < n; from += 1048576)
                layouts::WriteStep(copy, bytes.data(), from, std::min<uint64_t>(1048576, n - from),
                                   &block[0]);
            EXPECT_TRUE(block == whole) << static_cast<int>(layout) << " " << n;
            if (!layouts::ShowsCharacters(layout))
                continue;
            std::u16string wide(block.size(), u'#');
            for (uint64_t from = 0; from < n; from += 1048576)
                layouts::WidenStep(copy, from, std::min<uint64_t>(1048576, n - from), block.data(),
                                   &wide[0]);
            for (size_t i = 0; i < wide.size(); ++i)
                ASSERT_EQ(wide[i], cp1252::CharOf(static_cast<uint8_t>(block[i]))) << i;
        }
    }
}

TEST(PasteRule, TextLengthStopsAtTheFirstNulAndBeforeTheLastByte) {
    const struct {
        const char* what;
        Bytes block;
        uint64_t expected;
    } cases[] = {
        {"text and its NUL", {'4', '1', 0}, 2},
        {"a block larger than its text", {'a', 'b', 0, 0, 0, 0, 0, 0}, 2},
        {"no NUL: the last byte is the terminator's place", {'a', 'b', 'c'}, 2},
        {"empty text", {0}, 0},
        {"NUL first", {0, 'a', 'b', 0}, 0},
        {"a NUL only in the last byte", {'x', 'y', 'z', 0}, 3},
        {"zero-size block", {}, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pasting::TextPasteLength(c.block.data(), c.block.size()), c.expected) << c.what;
}

TEST(PasteRule, NetSizeMustStayBelowTheLimit) {
    constexpr int32_t kMax = 0x7FFFFFFF;
    const struct {
        int32_t length, selected;
        uint64_t incoming;
        bool fits;
    } cases[] = {
        {3, 0, 3, true},
        {kMax - 1, 0, 1, true},
        {kMax, 0, 1, false},
        {kMax, 1, 1, true},
        {kMax, kMax, 0x7FFFFFFF, true},
        {0, 0, 0x80000000ull, false},
        {100, 100, 0x100000000ull + 5, false}, // narrowed to 32 bits it would be 5
    };
    for (const auto& c : cases)
        EXPECT_EQ(pasting::PasteFits(c.length, c.selected, c.incoming), c.fits)
            << c.length << " " << c.selected << " " << c.incoming;
}

TEST(PasteRule, ReplacesTheSelectionOrInsertsAtTheCaret) {
    const struct {
        const char* what;
        Bytes before;
        int32_t anchor, end, caret, pane, overwrite;
        Bytes incoming;
        Bytes after;
        int32_t caretAfter;
    } cases[] = {
        {"insert in overwrite mode", {1, 2, 3}, -1, -1, 1, 2, 1, {9, 9}, {1, 9, 9, 2, 3}, 3},
        {"low nibble inserts before the byte", {1, 2, 3}, -1, -1, 2, 3, 0, {7}, {1, 2, 7, 3}, 3},
        {"at the end position", {1, 2}, -1, -1, 2, 1, 1, {5, 6}, {1, 2, 5, 6}, 4},
        {"into an empty buffer", {}, -1, -1, 0, 2, 1, {'4', '1'}, {0x34, 0x31}, 2},
        {"longer than the selection", {1, 2, 3, 4}, 2, 1, 1, 2, 1, {8, 8, 8}, {1, 8, 8, 8, 4}, 4},
        {"shorter than the selection", {1, 2, 3, 4, 5}, 1, 3, 3, 2, 1, {8}, {1, 8, 5}, 2},
        {"as long as the selection", {1, 2, 3}, 0, 2, 2, 1, 1, {7, 7, 7}, {7, 7, 7}, 3},
        {"selection's end on the end position", {1, 2, 3}, 1, 3, 3, 2, 1, {6}, {1, 6}, 2},
    };
    for (const auto& c : cases) {
        ModelEditor e(c.before);
        e.selAnchor = c.anchor;
        e.selEnd = c.end;
        e.caretOffset = c.caret;
        e.caretPane = c.pane;
        e.overwriteMode = c.overwrite;
        ASSERT_TRUE(pasting::ReplaceSelection(e, c.incoming.data(),
                                              static_cast<int32_t>(c.incoming.size())))
            << c.what;
        EXPECT_EQ(e.Bytes(), c.after) << c.what;
        EXPECT_EQ(e.caretOffset, c.caretAfter) << c.what;
        EXPECT_EQ(e.caretPane, c.pane) << c.what;
        EXPECT_EQ(e.selAnchor, -1) << c.what;
        EXPECT_EQ(e.modified, 1) << c.what;
        EXPECT_EQ(e.lastPlaced, c.caretAfter) << c.what;
    }
}

TEST(PasteRule, NothingChangesWhenTheBufferCannotGrow) {
    struct Restore {
        ~Restore() { FailNextAllocations(0); }
    } restore;
    const Bytes incoming{9, 9, 9, 9};
    ModelEditor e(Bytes{1, 2, 3, 4, 5});
    e.selAnchor = 1;
    e.selEnd = 2;
    e.caretOffset = 2;
    FailNextAllocations(1);
    EXPECT_FALSE(pasting::ReplaceSelection(e, incoming.data(), 4));
    EXPECT_EQ(e.Bytes(), (Bytes{1, 2, 3, 4, 5}));
    EXPECT_EQ(e.selAnchor, 1);
    EXPECT_EQ(e.selEnd, 2);
    EXPECT_EQ(e.caretOffset, 2);
    EXPECT_EQ(e.modified, 0);
    EXPECT_EQ(e.invalidations, 0);
    EXPECT_FALSE(pasting::ReplaceSelection(e, incoming.data(), 0));
    EXPECT_EQ(e.modified, 0);
}

TEST(BookmarkSlots, StepsWrapAndUnsetSlotsSpread) {
    const struct {
        int from, next, previous;
    } steps[] = {{-1, 0, 9}, {0, 1, 9}, {4, 5, 3}, {8, 9, 7}, {9, 0, 8}};
    for (const auto& s : steps) {
        EXPECT_EQ(bookmarks::NextSlot(s.from), s.next) << s.from;
        EXPECT_EQ(bookmarks::PreviousSlot(s.from), s.previous) << s.from;
    }
    EXPECT_EQ(bookmarks::DefaultOffset(0), 0u);
    EXPECT_EQ(bookmarks::DefaultOffset(1), 65536u);
    EXPECT_EQ(bookmarks::DefaultOffset(9), 589824u);
    const struct {
        uint32_t stored;
        int32_t length, caret;
    } carets[] = {{0, 100000, 0},      {65536, 100000, 65536}, {131072, 100000, 100000},
                  {500, 0x100, 0x100}, {0xFFFFFFFF, 10, 10},   {7, 0, 0}};
    for (const auto& c : carets)
        EXPECT_EQ(bookmarks::CaretFor(c.stored, c.length), c.caret) << c.stored;
}
