// The key table: which key with which modifiers reaches which command, and the pane and mode
// switches of Tab and Insert.
#include <gtest/gtest.h>

#include "tests/support/model_editor.h"

namespace {
namespace k = editing::keys;
using Calls = std::vector<std::string>;

struct Press {
    int key;
    bool shift;
    bool ctrl;
    Calls expected;
};

// Presses each key on a fresh editor and compares the commands it ran.
void ExpectCommands(const std::vector<Press>& presses) {
    for (const Press& p : presses) {
        ModelEditor e(std::vector<uint8_t>{1, 2, 3});
        e.Key(p.key, p.shift, p.ctrl);
        EXPECT_EQ(e.TakeCommands(), p.expected)
            << "key 0x" << std::hex << p.key << " shift " << p.shift << " ctrl " << p.ctrl;
    }
}
} // namespace

TEST(KeyCommands, CtrlLettersIgnoreShift) {
    ExpectCommands({
        {'B', false, true, {"ShowEditBitsDialog"}},
        {'C', false, true, {"Copy"}},
        {'C', true, true, {"Copy"}},
        {'F', false, true, {"ShowFindDialog 1"}},
        {'G', true, true, {"ShowGoToDialog"}},
        {'N', false, true, {"RevertFile"}},
        {'S', false, true, {"SaveFile 1"}},
        {'V', false, true, {"Paste"}},
        {'X', true, true, {"Cut"}},
        {'C', false, false, {}},
        {'C', true, false, {}},
        {'Z', false, true, {}},
    });
}

TEST(KeyCommands, DigitsReachBookmarksOnlyWithCtrl) {
    ExpectCommands({
        {'1', false, true, {"GoToBookmark 0"}},
        {'9', false, true, {"GoToBookmark 8"}},
        {'0', false, true, {"GoToBookmark 9"}},
        {'3', true, true, {"SetBookmark 2"}},
        {'0', true, true, {"SetBookmark 9"}},
        {'3', false, false, {}},
        {'3', true, false, {}},
        {0x63, false, true, {}}, // keypad 3
        {0x60, true, true, {}},  // keypad 0
    });
}

TEST(KeyCommands, InsertAndDeleteModifierPrecedence) {
    ExpectCommands({
        {k::kInsert, true, false, {"Paste"}},
        {k::kInsert, false, true, {"Copy"}},
        {k::kInsert, true, true, {"Copy"}}, // Ctrl wins
        {k::kDelete, true, false, {"Cut"}},
        {k::kDelete, true, true, {"Cut"}}, // Shift wins
        {k::kDelete, false, true, {}},
    });
}

TEST(KeyCommands, FunctionKeysAndMenuKey) {
    ExpectCommands({
        {k::kF2, false, false, {"NextBookmark"}},
        {k::kF2, true, false, {"PreviousBookmark"}},
        {k::kF2, false, true, {"NextBookmark"}},
        {k::kF3, false, false, {"FindNext 1"}},
        {k::kF3, true, true, {"FindPrevious"}},
        {k::kF10, false, false, {}},
        {k::kF10, false, true, {}},
        {k::kF10, true, false, {"ContextMenu"}},
        {k::kF11, false, false, {"CycleViewSize"}},
        {k::kF11, true, true, {"CycleViewSize"}},
        {k::kApps, false, false, {"ContextMenu"}},
        {k::kApps, true, false, {"ContextMenu"}},
        {0x1B, false, false, {}}, // Escape
        {0x0D, false, false, {}}, // Enter is a character, not a key command
    });
}

TEST(KeyCommands, CtrlDeleteDeletesForward) {
    ModelEditor e(std::vector<uint8_t>{1, 2, 3});
    e.Key(k::kDelete, false, true);
    EXPECT_EQ(e.Bytes(), (std::vector<uint8_t>{2, 3}));
    e.Key(k::kDelete);
    EXPECT_EQ(e.Bytes(), (std::vector<uint8_t>{3}));
}

TEST(KeyCommands, InsertTogglesModeAndCaretWithoutMoving) {
    ModelEditor e(std::vector<uint8_t>{1, 2, 3});
    e.caretOffset = 2;
    e.caretPane = kHexLow;
    e.Key(k::kInsert);
    EXPECT_EQ(e.overwriteMode, 0);
    EXPECT_EQ(e.caretRecreations, 1);
    EXPECT_EQ(e.lastPlaced, 2);
    EXPECT_EQ(e.caretOffset, 2);
    EXPECT_EQ(e.caretPane, kHexLow);
    e.Key(k::kInsert);
    EXPECT_EQ(e.overwriteMode, 1);
    EXPECT_EQ(e.caretRecreations, 2);
    e.Key(k::kInsert, true);
    e.Key(k::kInsert, false, true);
    EXPECT_EQ(e.overwriteMode, 1); // Shift and Ctrl variants are clipboard commands
}

TEST(KeyCommands, TabRoundTripKeepsTheNibbleAndThenLeaves) {
    ModelEditor e(std::vector<uint8_t>{1, 2, 3});
    e.caretOffset = 1;
    e.caretPane = kHexLow;
    e.Key(k::kTab);
    EXPECT_EQ(e.caretPane, kTextPane);
    EXPECT_EQ(e.caretOffset, 1);
    e.Key(k::kTab, true);
    EXPECT_EQ(e.caretPane, kHexLow);
    e.Key(k::kTab);
    EXPECT_TRUE(e.TakeCommands().empty());
    e.Key(k::kTab);
    EXPECT_EQ(e.TakeCommands(), Calls{"FocusNext"});
    EXPECT_EQ(e.caretPane, kTextPane);
    e.Key(k::kTab, true, true); // Ctrl is not examined
    e.Key(k::kTab, true);
    EXPECT_EQ(e.TakeCommands(), Calls{"FocusPrevious"});
    EXPECT_EQ(e.caretPane, kHexLow);
}

TEST(KeyCommands, UnlistedKeysChangeNothing) {
    ModelEditor e(std::vector<uint8_t>{1, 2, 3});
    e.caretOffset = 1;
    e.SetSelection(0, 1);
    const int invalidations = e.invalidations;
    for (int key : {0x08, 0x0D, 0x20, 0x41, 0x60, 0x70, 0x90, 0xFF})
        e.Key(key);
    EXPECT_EQ(e.caretOffset, 1);
    EXPECT_EQ(e.selAnchor, 0);
    EXPECT_EQ(e.selEnd, 1);
    EXPECT_EQ(e.invalidations, invalidations);
    EXPECT_EQ(e.Bytes(), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(e.modified, 0);
}
