// The view's window procedure, message by message: what it returns, what it hands to the
// editor, and what it keeps from the EDIT control underneath.
#include <gtest/gtest.h>

#include <cstring>

#include "support/test_window.h"

namespace {

class ViewDispatch : public ::testing::Test {
  protected:
    void Show(size_t size) {
        page.Attach();
        std::vector<uint8_t> bytes(size);
        for (size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<uint8_t>(i);
        ASSERT_EQ(editor().LoadFile(folder.Write(L"dispatch.bin", bytes).c_str()), 0u);
        editor().Invalidate();
        UpdateWindow(page.view());
        TestPage::Pump();
        UpdateWindow(page.view());
        ASSERT_EQ(editor().charWidth, 7);
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageW(page.view(), message, wParam, lParam);
    }
    // Everything a user could see change.
    struct State {
        int64_t top, caret, pane, anchor, end, modified, length;
        std::vector<uint8_t> bytes;
        bool operator==(const State& o) const {
            return top == o.top && caret == o.caret && pane == o.pane && anchor == o.anchor &&
                   end == o.end && modified == o.modified && length == o.length && bytes == o.bytes;
        }
    };
    State Now() {
        CHexEdit& e = editor();
        return {e.topOffset, e.caretOffset,
                e.caretPane, e.selAnchor,
                e.selEnd,    e.modified,
                e.length,    std::vector<uint8_t>(e.buffer, e.buffer + e.length)};
    }
    CHexEdit& editor() { return page.editor(); }

    TempFolder folder;
    TestPage page;
};

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr))
        return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void SetClipboardText(const wchar_t* text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(memory), text, bytes);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

} // namespace

TEST_F(ViewDispatch, DialogCodeAsksForEveryKey) {
    Show(16);
    EXPECT_EQ(Send(WM_GETDLGCODE), DLGC_WANTALLKEYS);
    MSG tab{page.view(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_EQ(Send(WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&tab)), DLGC_WANTALLKEYS);
}

TEST_F(ViewDispatch, EscapeIsSwallowedInBothForms) {
    Show(16);
    const State before = Now();
    EXPECT_EQ(Send(WM_KEYDOWN, VK_ESCAPE), 1);
    EXPECT_EQ(Send(WM_CHAR, 27), 1);
    EXPECT_TRUE(Now() == before);
}

TEST_F(ViewDispatch, UndoIsAnsweredWithoutAction) {
    Show(16);
    Send(WM_CHAR, 'A'); // an edit the EDIT control's undo must not see
    const State before = Now();
    EXPECT_EQ(Send(WM_UNDO), 1);
    EXPECT_EQ(Send(EM_CANUNDO), 0) << "the EDIT control never saw an edit";
    EXPECT_TRUE(Now() == before);
}

TEST_F(ViewDispatch, KeysAndCharactersReachTheEditor) {
    Show(16);
    EXPECT_EQ(Send(WM_KEYDOWN, VK_RIGHT), 0);
    EXPECT_EQ(editor().caretPane, 3) << "to the low digit";
    EXPECT_EQ(Send(WM_CHAR, '7'), 0);
    EXPECT_EQ(editor().buffer[0], 0x07);
    EXPECT_EQ(editor().modified, 1);
}

TEST_F(ViewDispatch, SystemKeysOtherThanF10AndSystemCharactersDoNothing) {
    Show(16);
    const State before = Now();
    EXPECT_EQ(Send(WM_SYSKEYDOWN, VK_RIGHT), 0);
    EXPECT_EQ(Send(WM_SYSKEYDOWN, 'A'), 0);
    EXPECT_EQ(Send(WM_SYSCHAR, 'a'), 0);
    EXPECT_TRUE(Now() == before);
}

TEST_F(ViewDispatch, BlockedEditBehaviourChangesNothing) {
    Show(64);
    editor().selAnchor = 2;
    editor().selEnd = 9;
    const State before = Now();
    EXPECT_EQ(Send(WM_TIMER, 1), 0);
    EXPECT_EQ(Send(WM_HSCROLL, SB_LINERIGHT), 0);
    EXPECT_EQ(Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(150, 40)), 0);
    EXPECT_EQ(Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(150, 40)), 0);
    EXPECT_EQ(Send(WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(150, 40)), 0);
    EXPECT_TRUE(Now() == before);
}

TEST_F(ViewDispatch, ClipboardMessagesLeaveClipboardAndBytesAlone) {
    Show(64);
    SetClipboardText(L"marker");
    editor().selAnchor = 0;
    editor().selEnd = 9;
    const State before = Now();
    for (UINT message : {WM_COPY, WM_CUT, WM_PASTE, WM_CLEAR})
        EXPECT_EQ(Send(message), 0) << message;
    EXPECT_EQ(ClipboardText(), L"marker");
    EXPECT_TRUE(Now() == before);
}

TEST_F(ViewDispatch, WindowPositionChangeUpdatesTheScrollBar) {
    Show(1000);
    editor().visibleRows = 5; // as if a resize had been laid out
    RECT frame{};
    GetWindowRect(page.view(), &frame);
    MapWindowPoints(nullptr, page.page(), reinterpret_cast<POINT*>(&frame), 2);
    SetWindowPos(page.view(), nullptr, frame.left + 1, frame.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SCROLLINFO bar{};
    bar.cbSize = sizeof(bar);
    bar.fMask = SIF_PAGE;
    GetScrollInfo(page.view(), SB_VERT, &bar);
    EXPECT_EQ(bar.nPage, 5u);
}

TEST_F(ViewDispatch, OtherMessagesReachTheEditControl) {
    Show(16);
    EXPECT_TRUE(SetWindowTextW(page.view(), L"abc"));
    EXPECT_EQ(Send(WM_GETTEXTLENGTH), 3);
    wchar_t text[8] = {};
    GetWindowTextW(page.view(), text, 8);
    EXPECT_STREQ(text, L"abc");
}

TEST_F(ViewDispatch, WithoutUserDataEveryMessageGetsZero) {
    Show(16);
    SetWindowTextW(page.view(), L"abc");
    const LONG_PTR owner = SetWindowLongPtrW(page.view(), GWLP_USERDATA, 0);
    EXPECT_EQ(Send(WM_GETTEXTLENGTH), 0) << "not handed on";
    EXPECT_EQ(Send(WM_GETDLGCODE), 0);
    EXPECT_EQ(Send(WM_KEYDOWN, VK_ESCAPE), 0);
    SetWindowLongPtrW(page.view(), GWLP_USERDATA, owner);
    EXPECT_EQ(Send(WM_GETTEXTLENGTH), 3);
}

TEST_F(ViewDispatch, WithoutTheEditProcedureEveryMessageGetsZero) {
    Show(16);
    SetWindowTextW(page.view(), L"abc");
    const WNDPROC edit = editor().originalWndProc;
    editor().originalWndProc = nullptr;
    const State before = Now();
    EXPECT_EQ(Send(WM_GETTEXTLENGTH), 0);
    EXPECT_EQ(Send(WM_UNDO), 0);
    EXPECT_EQ(Send(WM_GETDLGCODE), 0);
    EXPECT_EQ(Send(WM_VSCROLL, SB_LINEDOWN), 0);
    EXPECT_TRUE(Now() == before);
    editor().originalWndProc = edit;
    EXPECT_EQ(Send(WM_GETTEXTLENGTH), 3);
}
