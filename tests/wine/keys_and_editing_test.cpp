// The keyboard on a real view: key-down and character messages with Shift and Ctrl held in
// the thread's key state, then the file saved and read back, the caret's place and shape,
// the selection's highlight and the way out through the tab order.
#include <gtest/gtest.h>

#include "support/message_box_recorder.h"
#include "support/pixels.h"
#include "support/test_window.h"

namespace {

using Bytes = std::vector<uint8_t>;

class KeysOnView : public ::testing::Test {
  protected:
    void Open(const Bytes& bytes) {
        path = folder.Write(L"keys.bin", bytes);
        page.Attach();
        ASSERT_EQ(editor().LoadFile(path.c_str()), 0u);
        SetForegroundWindow(page.page());
        SetFocus(page.view());
        Repaint();
        ASSERT_EQ(GetFocus(), page.view());
        ASSERT_GT(editor().charWidth, 0);
    }
    void Repaint() { page.Repaint(); }
    LRESULT Key(WPARAM key, bool shift = false, bool ctrl = false) {
        return page.Key(key, shift, ctrl);
    }
    LRESULT Char(WPARAM code, bool ctrl = false) {
        HoldModifiers(false, ctrl);
        const LRESULT result = SendMessageW(page.view(), WM_CHAR, code, 1);
        HoldModifiers(false, false);
        return result;
    }
    void Type(const char* text) {
        for (; *text; ++text)
            Char(static_cast<uint8_t>(*text));
    }
    // Ctrl+S, answering Yes to the question.
    void Save() {
        MessageBoxRecorder boxes;
        boxes.Answer({IDYES});
        Key('S', false, true);
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text, L"Do you want to save file?");
        EXPECT_EQ(editor().modified, 0);
    }
    Bytes OnDisk() const { return ReadAll(path); }
    CHexEdit& editor() { return page.editor(); }
    int Cw() { return editor().charWidth; }
    int Ch() { return editor().charHeight; }
    static RECT CaretRect() {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        GetGUIThreadInfo(GetCurrentThreadId(), &info);
        return info.rcCaret;
    }

    TempFolder folder;
    TestPage page;
    std::wstring path;
};

// Typing, deleting, saving and reverting through the same keyboard.
class EditingOnView : public KeysOnView {};

const Bytes kAbcd{0x61, 0x62, 0x63, 0x64};

} // namespace

TEST_F(KeysOnView, TypedSequenceIsSavedToTheFile) {
    Open(kAbcd);
    Key(VK_INSERT); // insert mode
    Type("41");
    Key(VK_END, false, true);
    Key(VK_TAB); // text pane, at the end position
    Type("Z");
    Key(VK_TAB, true);
    Key(VK_HOME, false, true);
    Key(VK_DELETE); // the 0x41 again
    Key(VK_RIGHT, true);
    Char(VK_BACK); // removes the selected first byte
    EXPECT_EQ(editor().modified, 1);
    Save();
    EXPECT_EQ(OnDisk(), (Bytes{0x62, 0x63, 0x64, 0x5A}));
}

TEST_F(KeysOnView, ModifiersAreReadFromTheKeyState) {
    Open(Bytes(30, 0x11));
    Key(VK_END, true, true);
    EXPECT_EQ(editor().selAnchor, 0);
    EXPECT_EQ(editor().selEnd, 30);
    EXPECT_EQ(editor().SelectionLength(), 30);
    Char('4', true); // a character with Ctrl held is ignored
    EXPECT_EQ(editor().length, 30);
    Key(VK_LEFT);
    EXPECT_EQ(editor().selAnchor, -1);
    EXPECT_EQ(editor().modified, 0);
}

TEST_F(KeysOnView, CaretFollowsTheArrowsAndTab) {
    Open(Bytes(40, 0x22));
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    Key(VK_DOWN);
    EXPECT_EQ(editor().caretOffset, 9);
    EXPECT_EQ(editor().caretPane, 3);
    POINT at{};
    GetCaretPos(&at);
    EXPECT_EQ(at.x, editor().hexColumnX + 4 * Cw());
    EXPECT_EQ(at.y, Ch() + 3);
    Key(VK_TAB);
    GetCaretPos(&at);
    EXPECT_EQ(at.x, editor().textColumnX + Cw());
    EXPECT_EQ(at.y, Ch() + 3);
}

TEST_F(KeysOnView, InsertSwitchesBetweenBlockAndBar) {
    Open(kAbcd);
    Key(VK_RIGHT);
    const RECT block = CaretRect();
    EXPECT_EQ(block.right - block.left, Cw());
    EXPECT_EQ(block.bottom - block.top, Ch());
    Key(VK_INSERT);
    EXPECT_EQ(editor().overwriteMode, 0);
    const RECT bar = CaretRect();
    EXPECT_EQ(bar.right - bar.left, Cw() / 8 + 1);
    EXPECT_EQ(bar.left, block.left);
    EXPECT_EQ(bar.top, block.top);
    Key(VK_INSERT);
    EXPECT_EQ(CaretRect().right - CaretRect().left, Cw());
}

TEST_F(KeysOnView, ShiftArrowsHighlightTheSelection) {
    Open(Bytes(16, 0x33));
    Key(VK_RIGHT, true);
    Key(VK_RIGHT, true);
    Key(VK_RIGHT, true); // byte 0 and byte 1 selected, caret on byte 1's low digit
    EXPECT_EQ(editor().SelectionLength(), 2);
    Repaint();
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const Capture shown(page.view());
    const int x0 = editor().hexColumnX;
    EXPECT_GT(shown.Count(highlight, Area(x0, 3, x0 + 2 * Cw(), 3 + Ch())), Cw() * Ch());
    EXPECT_EQ(shown.Count(highlight, Area(x0 + 6 * Cw(), 3, x0 + 12 * Cw(), 3 + Ch())), 0);
    Key(VK_LEFT);
    Repaint();
    const Capture cleared(page.view());
    EXPECT_EQ(cleared.Count(highlight, Area(x0, 3, x0 + 2 * Cw(), 3 + Ch())), 0);
}

TEST_F(KeysOnView, TabLeavesForTheNextControlAndShiftTabForThePrevious) {
    Open(kAbcd);
    Key(VK_TAB);
    EXPECT_EQ(GetFocus(), page.view());
    EXPECT_EQ(editor().caretPane, 1);
    Key(VK_TAB);
    EXPECT_EQ(GetFocus(), page.button());
    EXPECT_EQ(editor().caretPane, 1);

    SetFocus(page.view());
    Key(VK_TAB, true); // back to the hex pane first
    EXPECT_EQ(GetFocus(), page.view());
    Key(VK_TAB, true);
    EXPECT_EQ(GetFocus(), page.button()); // the only other tab stop, backwards
}

TEST_F(KeysOnView, EscapeDoesNothing) {
    Open(kAbcd);
    Key(VK_RIGHT, true);
    EXPECT_EQ(Key(VK_ESCAPE), 1);
    EXPECT_EQ(Char(27), 1);
    EXPECT_EQ(GetFocus(), page.view());
    EXPECT_EQ(editor().caretOffset, 0);
    EXPECT_EQ(editor().selAnchor, 0);
    EXPECT_EQ(editor().length, 4);
    EXPECT_EQ(editor().modified, 0);
    EXPECT_TRUE(page.Received().empty());
}

TEST_F(KeysOnView, F11StepsTheViewSize) {
    Open(kAbcd);
    Key(VK_F11, true, true);
    ASSERT_FALSE(page.Received().empty());
    EXPECT_EQ(page.Received().back().message, WM_HEXVIEWSIZE);
    EXPECT_EQ(page.Received().back().wParam, 2u);
}

TEST_F(EditingOnView, OverwriteBothPanesAndSave) {
    Open(kAbcd);
    Type("7f");
    Key(VK_TAB);
    Type("Q\r");
    Char(0x20AC);
    Key(VK_END, false, true);
    Type("X"); // appended at the end position
    Save();
    EXPECT_EQ(OnDisk(), (Bytes{0x7F, 0x51, 0x0D, 0x80, 0x58})); // the euro sign's byte
}

TEST_F(EditingOnView, RemovingEverythingSavesAnEmptyFile) {
    Open(kAbcd);
    Key('A', false, true);
    Key(VK_DELETE);
    EXPECT_EQ(editor().buffer, nullptr);
    EXPECT_EQ(editor().length, 0);
    Save();
    EXPECT_TRUE(OnDisk().empty());
    Key(VK_HOME, false, true); // Select All left the caret on a low digit
    Type("ab");                // typing into the empty file starts it again
    Save();
    EXPECT_EQ(OnDisk(), (Bytes{0xAB}));
}

TEST_F(EditingOnView, ScrollBarFollowsTheLength) {
    Open(Bytes(40, 0x44));
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE;
    GetScrollInfo(page.view(), SB_VERT, &info);
    EXPECT_EQ(info.nMax, 5);
    Key(VK_END, false, true);
    Char(VK_BACK);
    GetScrollInfo(page.view(), SB_VERT, &info);
    EXPECT_EQ(info.nMax, 4);
    Type("01");
    GetScrollInfo(page.view(), SB_VERT, &info);
    EXPECT_EQ(info.nMax, 5);
}

TEST_F(EditingOnView, RevertDropsTheChanges) {
    Open(kAbcd);
    Key(VK_DELETE);
    Type("9");
    MessageBoxRecorder boxes;
    boxes.Answer({IDOK});
    Key('N', false, true);
    ASSERT_EQ(boxes.Count(), 1u);
    ASSERT_EQ(editor().length, 4);
    EXPECT_EQ(Bytes(editor().buffer, editor().buffer + 4), kAbcd);
    EXPECT_EQ(editor().modified, 0);
    EXPECT_EQ(OnDisk(), kAbcd);
}
