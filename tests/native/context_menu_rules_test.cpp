// The context menu without a window: every identifier reaches its command, and the clipboard
// answer that greys Paste. The tree, its greying and the view item's label are read from the
// real menu (tests/wine/context_menu_test.cpp).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hexedit/core/context_menu_rules.h"

namespace {

// Records the commands the dispatch calls, by name and argument.
struct RecordingEditor {
    std::vector<std::string> calls;
    void Note(const std::string& name, int arg = -1) {
        calls.push_back(arg == -1 ? name : name + " " + std::to_string(arg));
    }
    void Cut() { Note("Cut"); }
    void Copy() { Note("Copy"); }
    void Paste() { Note("Paste"); }
    void DeleteForward() { Note("DeleteForward"); }
    void SelectAll() { Note("SelectAll"); }
    void ShowFindDialog(int direction) { Note("ShowFindDialog", direction); }
    void FindNext(int direction) { Note("FindNext", direction); }
    void FindPrevious() { Note("FindPrevious"); }
    void ShowGoToDialog() { Note("ShowGoToDialog"); }
    void ShowEditBitsDialog() { Note("ShowEditBitsDialog"); }
    void CopyAs(int layout) { Note("CopyAs", layout); }
    void RevertFile() { Note("RevertFile"); }
    unsigned long SaveFile(int ask) {
        Note("SaveFile", ask);
        return 0;
    }
    long CycleViewSize() {
        Note("CycleViewSize");
        return 0;
    }
    void GoToBookmark(int slot) { Note("GoToBookmark", slot); }
    long SetBookmark(int slot) {
        Note("SetBookmark", slot);
        return 0;
    }
};

struct Chosen {
    int id;
    std::vector<std::string> expected;
};

} // namespace

TEST(ContextMenuDispatch, EveryIdentifierReachesItsCommand) {
    const std::vector<Chosen> table = {
        {0, {}},
        {2, {"Cut"}},
        {3, {"Copy"}},
        {4, {"Paste"}},
        {5, {"DeleteForward"}},
        {6, {"SelectAll"}},
        {13, {"ShowFindDialog 1"}},
        {14, {"FindNext 1"}},
        {15, {"ShowGoToDialog"}},
        {16, {"ShowEditBitsDialog"}},
        {17, {"FindPrevious"}},
        {23, {"CopyAs 1"}}, // hex
        {24, {"CopyAs 2"}}, // text
        {25, {"CopyAs 3"}}, // C array
        {26, {"CopyAs 4"}}, // address
        {31, {"RevertFile"}},
        {32, {"SaveFile 0"}}, // no question, unlike Ctrl+S
        {45, {"CycleViewSize"}},
        {46, {"CopyAs 5"}}, // address range
        {47, {"CopyAs 6"}}, // view
        {101, {"GoToBookmark 0"}},
        {105, {"GoToBookmark 4"}},
        {110, {"GoToBookmark 9"}},
        {201, {"SetBookmark 0"}},
        {210, {"SetBookmark 9"}},
        // Nothing else does anything.
        {1, {}},
        {7, {}},
        {100, {}},
        {111, {}},
        {200, {}},
        {211, {}},
        {-1, {}},
    };
    for (const Chosen& c : table) {
        RecordingEditor e;
        menu::Dispatch(e, c.id);
        EXPECT_EQ(e.calls, c.expected) << "identifier " << c.id;
    }
}

TEST(ContextMenuPaste, PriorityFormatAnswer) {
    EXPECT_FALSE(menu::PriorityFormatFound(0));  // clipboard empty
    EXPECT_FALSE(menu::PriorityFormatFound(-1)); // none of the listed formats
    EXPECT_TRUE(menu::PriorityFormatFound(1));   // CF_TEXT
    EXPECT_TRUE(menu::PriorityFormatFound(0xC123));
}
