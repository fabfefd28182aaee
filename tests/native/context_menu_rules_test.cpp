// The context menu without a window: every identifier reaches its command, the greying rules,
// the view item's label and the clipboard answer that greys Paste.
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

TEST(ContextMenuGreying, FourRulesAndNothingElse) {
    struct Case {
        menu::State state;
        std::vector<int> greyed;
    };
    const std::vector<int> allIds = {2,  3,  4,  5,  6,  13, 14, 15,  16,  17,  23, 24,
                                     25, 26, 31, 32, 45, 46, 47, 101, 110, 201, 210};
    const std::vector<Case> cases = {
        // selection, modified, clipboard bytes, whole selected
        {{true, true, true, false}, {}},
        {{false, true, true, false}, {2, 3, 5, 23, 24, 25, 47}},
        {{true, false, true, false}, {31, 32}},
        {{true, true, false, false}, {4}},
        {{true, true, true, true}, {6}},
        {{false, false, false, true}, {2, 3, 4, 5, 6, 23, 24, 25, 31, 32, 47}},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        std::vector<int> greyed;
        for (int id : allIds)
            if (menu::IsGreyed(id, cases[i].state))
                greyed.push_back(id);
        EXPECT_EQ(greyed, cases[i].greyed) << "case " << i;
    }
}

TEST(ContextMenuViewItem, NamesTheNextViewSize) {
    EXPECT_STREQ(menu::ViewItemLabel(1), L"Expand &View");
    EXPECT_STREQ(menu::ViewItemLabel(2), L"Extend &View");
    EXPECT_STREQ(menu::ViewItemLabel(3), L"Collapse &View");
    EXPECT_EQ(menu::ViewItemLabel(0), nullptr);
    EXPECT_EQ(menu::ViewItemLabel(4), nullptr);
}

TEST(ContextMenuPaste, PriorityFormatAnswer) {
    EXPECT_FALSE(menu::PriorityFormatFound(0));  // clipboard empty
    EXPECT_FALSE(menu::PriorityFormatFound(-1)); // none of the listed formats
    EXPECT_TRUE(menu::PriorityFormatFound(1));   // CF_TEXT
    EXPECT_TRUE(menu::PriorityFormatFound(0xC123));
}

TEST(ContextMenuTree, SubmenusCloseAndHoldTheirItems) {
    // Six menus: the root and five opened submenus, each closed again.
    int depth = 0, opened = 0, items = 0;
    for (const menu::Entry& e : menu::kTree) {
        if (e.kind == menu::Kind::kBegin) {
            ++depth;
            ++opened;
        } else if (e.kind == menu::Kind::kEnd) {
            --depth;
            ASSERT_GE(depth, 0);
        } else if (e.kind != menu::Kind::kSeparator) {
            ++items;
        }
    }
    EXPECT_EQ(depth, 0);
    EXPECT_EQ(opened, 5);
    EXPECT_EQ(items, 39); // 19 commands, 20 bookmark digits
}
