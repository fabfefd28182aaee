// AltGr on keyboards that have it: the system reports it as Ctrl+Alt, and what it types is a
// character like any other (@ { } [ ] \ |), never a Ctrl command. Xvfb's keymap has no AltGr,
// so the key state is set by hand and the key-down and character messages are sent.
#include <gtest/gtest.h>

#include "support/test_window.h"

namespace {

using Bytes = std::vector<uint8_t>;

class AltGrOnView : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = folder_.Write(L"altgr.bin", {0x61, 0x62, 0x63, 0x64});
        page_.Attach();
        ASSERT_EQ(editor().LoadFile(path_.c_str()), 0u);
        SetFocus(page_.view());
    }
    void TearDown() override { Hold(false, false); }
    static void Hold(bool ctrl, bool alt) {
        BYTE state[256];
        GetKeyboardState(state);
        state[VK_CONTROL] = state[VK_LCONTROL] = ctrl ? 0x80 : 0;
        state[VK_MENU] = state[VK_RMENU] = alt ? 0x80 : 0;
        SetKeyboardState(state);
    }
    // One keystroke as the system delivers it: the key-down, then its character if any.
    void Stroke(bool ctrl, bool alt, WPARAM key, wchar_t character) {
        Hold(ctrl, alt);
        SendMessageW(page_.view(), WM_KEYDOWN, key, 1);
        if (character)
            SendMessageW(page_.view(), WM_CHAR, character, 1);
        Hold(false, false);
    }
    Bytes InBuffer() { return Bytes(editor().buffer, editor().buffer + editor().length); }
    CHexEdit& editor() { return page_.editor(); }

    TempFolder folder_;
    TestPage page_;
    std::wstring path_;
};

} // namespace

TEST_F(AltGrOnView, TypesItsCharactersIntoTheTextPane) {
    Stroke(false, false, VK_TAB, 0); // to the text pane
    ASSERT_EQ(editor().caretPane, kTextPane);
    Stroke(true, true, 'Q', L'@'); // AltGr+Q on a German keyboard
    Stroke(true, true, '7', L'{'); // AltGr+7
    EXPECT_EQ(InBuffer(), (Bytes{'@', '{', 0x63, 0x64}));
    EXPECT_EQ(editor().caretOffset, 2);
    ASSERT_EQ(editor().SaveFile(0), 0u);
    EXPECT_EQ(ReadAll(path_), (Bytes{'@', '{', 0x63, 0x64}));
}

TEST_F(AltGrOnView, CtrlAltWithDigitsAndLettersIsNoCommand) {
    // AltGr+2 and AltGr+3 type characters on many layouts; they set or visit no bookmark, and
    // AltGr+X or AltGr+A (no character) cuts or selects nothing.
    Stroke(true, true, '3', 0);
    Stroke(true, true, 'A', 0);
    Stroke(true, true, 'X', 0);
    EXPECT_EQ(editor().caretOffset, 0);
    EXPECT_EQ(editor().selAnchor, -1);
    EXPECT_EQ(InBuffer(), (Bytes{0x61, 0x62, 0x63, 0x64}));
    EXPECT_EQ(editor().modified, 0);
    EXPECT_EQ(editor().bookmarkSlot, -1) << "no bookmark set or visited";
    // Plain Ctrl keeps its meaning.
    Stroke(true, false, 'A', 0);
    EXPECT_EQ(editor().SelectionLength(), 4);
}
