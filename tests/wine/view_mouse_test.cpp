// Clicks, drags and Shift+clicks on the real view. Presses and releases go through the system's
// input queue (SendInput), so the system's own drag test sees a real button; the pointer is
// moved with absolute input events before each of them.
#include <gtest/gtest.h>

#include <thread>

#include "support/message_box_recorder.h"
#include "support/pixels.h"
#include "support/test_window.h"

namespace {

constexpr int kHexX = 66;
constexpr int kTextX = 236;
constexpr int kCw = 7;
constexpr int kCh = 14;

// A point inside digit `digit` (0 high, 1 low) of byte `col` of visible row `row`.
POINT HexAt(int row, int col, int digit = 0) {
    return POINT{kHexX + (3 * col + digit) * kCw + 2, 3 + row * kCh + 5};
}
POINT TextAt(int row, int col) {
    return POINT{kTextX + col * kCw + 2, 3 + row * kCh + 5};
}

void MouseInput(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    input.mi.dx = dx;
    input.mi.dy = dy;
    SendInput(1, &input, sizeof(input));
}

// The system's drag test waits for the next mouse event; should a test go wrong, a release
// after a while ends that wait instead of hanging the run.
class ReleaseWatchdog {
  public:
    ReleaseWatchdog() : done_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        thread_ = std::thread([this] {
            if (WaitForSingleObject(done_, 10000) == WAIT_TIMEOUT)
                MouseInput(MOUSEEVENTF_LEFTUP);
        });
    }
    ~ReleaseWatchdog() {
        SetEvent(done_);
        thread_.join();
        CloseHandle(done_);
    }
    ReleaseWatchdog(const ReleaseWatchdog&) = delete;
    ReleaseWatchdog& operator=(const ReleaseWatchdog&) = delete;

  private:
    HANDLE done_;
    std::thread thread_;
};

class ViewMouse : public ::testing::Test {
  protected:
    void SetUp() override {
        // Keep the real pointer away so that no hardware move reaches the view.
        SetCursorPos(1270, 1010);
        TestPage::Pump();
    }
    void Show(size_t size) {
        page.Attach();
        std::vector<uint8_t> bytes(size);
        for (size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<uint8_t>('a' + i % 26);
        ASSERT_EQ(editor().LoadFile(folder.Write(L"mouse.bin", bytes).c_str()), 0u);
        Repaint();
        ASSERT_EQ(editor().charWidth, kCw);
        ASSERT_EQ(editor().charHeight, kCh);
        ASSERT_EQ(editor().visibleRows, 12);
    }
    // The first layout may hide the scroll bar and widen the client: paint that strip too.
    void Repaint() { page.Repaint(); }
    static LPARAM Pos(POINT p) { return MAKELPARAM(p.x, p.y); }
    // Moves the real pointer to a client point of the view.
    void PointerTo(POINT p) {
        ClientToScreen(page.view(), &p);
        const int w = GetSystemMetrics(SM_CXSCREEN);
        const int h = GetSystemMetrics(SM_CYSCREEN);
        MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, (p.x * 65536 + w - 1) / w,
                   (p.y * 65536 + h - 1) / h);
    }
    // Press and release without moving.
    void Click(POINT p) {
        PointerTo(p);
        MouseInput(MOUSEEVENTF_LEFTDOWN);
        MouseInput(MOUSEEVENTF_LEFTUP);
        TestPage::Pump();
    }
    // Press, then move on while the system tests for a drag; the button stays down.
    void Press(POINT p) {
        PointerTo(p);
        MouseInput(MOUSEEVENTF_LEFTDOWN);
        PointerTo(POINT{p.x + 40, p.y + 40});
        TestPage::Pump();
    }
    void Release() {
        MouseInput(MOUSEEVENTF_LEFTUP);
        TestPage::Pump();
    }
    // A Shift+click runs no drag test: the message alone is enough.
    void ShiftClick(POINT p) {
        SendMessageW(page.view(), WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, Pos(p));
        SendMessageW(page.view(), WM_LBUTTONUP, MK_SHIFT, Pos(p));
    }
    // Moves while dragging arrive as messages, one each, with their own key flags.
    void MoveTo(POINT p, WPARAM keys = MK_LBUTTON) {
        SendMessageW(page.view(), WM_MOUSEMOVE, keys, Pos(p));
    }
    POINT CaretPos() {
        POINT p{-1, -1};
        GetCaretPos(&p);
        return p;
    }
    int HighlightShown() {
        UpdateWindow(page.view());
        const Capture shot(page.view());
        return shot.Count(GetSysColor(COLOR_HIGHLIGHT), Area(0, 0, shot.width(), shot.height()));
    }
    CHexEdit& editor() { return page.editor(); }

    ReleaseWatchdog watchdog;
    TempFolder folder;
    TestPage page;
};

} // namespace

TEST_F(ViewMouse, ClickPutsTheCaretOnTheDigitUnderThePointer) {
    Show(100);
    Click(HexAt(1, 1, 1));
    EXPECT_EQ(GetFocus(), page.view());
    EXPECT_EQ(editor().caretOffset, 9);
    EXPECT_EQ(editor().caretPane, 3);
    EXPECT_EQ(CaretPos().x, kHexX + 4 * kCw);
    EXPECT_EQ(CaretPos().y, 3 + kCh);
    EXPECT_EQ(GetCapture(), nullptr);

    Click(TextAt(2, 3));
    EXPECT_EQ(editor().caretOffset, 19);
    EXPECT_EQ(editor().caretPane, 1);
    EXPECT_EQ(CaretPos().x, kTextX + 3 * kCw);
    EXPECT_EQ(CaretPos().y, 3 + 2 * kCh);
}

TEST_F(ViewMouse, ClickWithoutMovingClearsTheSelection) {
    Show(100);
    editor().selAnchor = 2;
    editor().selEnd = 5;
    editor().Invalidate();
    ASSERT_GT(HighlightShown(), 0);
    Click(HexAt(3, 0));
    EXPECT_EQ(editor().selAnchor, -1);
    EXPECT_EQ(editor().selEnd, -1);
    EXPECT_EQ(HighlightShown(), 0);
}

TEST_F(ViewMouse, ClickPastTheEndPutsTheCaretOnTheEndPosition) {
    Show(20);
    Click(HexAt(2, 6));
    EXPECT_EQ(editor().caretOffset, 20);
    EXPECT_EQ(editor().caretPane, 3);
    EXPECT_EQ(CaretPos().x, kHexX + 13 * kCw) << "low digit of the end position";
    EXPECT_EQ(CaretPos().y, 3 + 2 * kCh);

    Click(TextAt(2, 7));
    EXPECT_EQ(editor().caretOffset, 20);
    EXPECT_EQ(editor().caretPane, 1);
    EXPECT_EQ(CaretPos().x, kTextX + 4 * kCw);
}

TEST_F(ViewMouse, ClickBelowTheEndRowOnlyReplacesTheCaret) {
    Show(20);
    Click(HexAt(0, 5));
    Click(HexAt(6, 2));
    EXPECT_EQ(editor().caretOffset, 5);
    EXPECT_EQ(editor().caretPane, 2);
    EXPECT_EQ(CaretPos().x, kHexX + 15 * kCw);
    EXPECT_EQ(CaretPos().y, 3);
}

TEST_F(ViewMouse, DragSelectsFromTheClickedByte) {
    Show(100);
    Press(HexAt(0, 3));
    EXPECT_EQ(GetCapture(), page.view());
    EXPECT_EQ(editor().selAnchor, 3);
    MoveTo(HexAt(1, 4, 1));
    EXPECT_EQ(editor().selEnd, 12);
    EXPECT_EQ(editor().caretOffset, 12);
    EXPECT_EQ(CaretPos().x, kHexX + 13 * kCw);
    Release();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(editor().selAnchor, 3);
    EXPECT_EQ(editor().selEnd, 12);
    EXPECT_GT(HighlightShown(), 0);
}

TEST_F(ViewMouse, DraggingAboveScrollsOneRowPerMessage) {
    Show(1000);
    for (int i = 0; i < 5; ++i)
        SendMessageW(page.view(), WM_VSCROLL, SB_LINEDOWN, 0);
    ASSERT_EQ(editor().topOffset, 40);
    Press(HexAt(2, 1));
    for (int i = 0; i < 3; ++i)
        MoveTo(POINT{HexAt(0, 1).x, -30});
    EXPECT_EQ(editor().topOffset, 16);
    EXPECT_EQ(editor().selEnd, 17) << "the pointer counts as on the first row";
    for (int i = 0; i < 5; ++i)
        MoveTo(POINT{HexAt(0, 1).x, -30});
    EXPECT_EQ(editor().topOffset, 0);
    EXPECT_EQ(editor().selAnchor, 57);
    EXPECT_EQ(editor().selEnd, 1);
    Release();
}

TEST_F(ViewMouse, DraggingBelowScrollsUntilTheEndRowIsShown) {
    Show(200);
    Press(HexAt(0, 0));
    RECT client{};
    GetClientRect(page.view(), &client);
    MoveTo(POINT{HexAt(0, 2).x, client.bottom + 20});
    MoveTo(POINT{HexAt(0, 2).x, client.bottom + 20});
    EXPECT_EQ(editor().topOffset, 16);
    for (int i = 0; i < 30; ++i)
        MoveTo(POINT{HexAt(0, 2).x, client.bottom + 20});
    EXPECT_EQ(editor().topOffset, 112); // 200 - 12 rows * 8 = 104 was still passed
    EXPECT_EQ(editor().selAnchor, 0);
    EXPECT_EQ(editor().selEnd, 200) << "the last row holds only the end position";
    Release();
}

TEST_F(ViewMouse, MovesWithoutTheButtonOrWithoutADragDoNothing) {
    Show(100);
    Click(HexAt(0, 3));
    MoveTo(HexAt(2, 2));
    EXPECT_EQ(editor().caretOffset, 3) << "no drag started";
    EXPECT_EQ(editor().selEnd, -1);
    Press(HexAt(1, 3)); // not where the click was: that would make it a double-click
    ASSERT_EQ(editor().selAnchor, 11);
    const int32_t end = editor().selEnd;
    MoveTo(HexAt(2, 2), 0);
    EXPECT_EQ(editor().selEnd, end) << "button not held";
    Release();
}

TEST_F(ViewMouse, ShiftClickSelectsFromTheOldCaret) {
    Show(100);
    Click(HexAt(0, 3));
    ShiftClick(HexAt(1, 2));
    EXPECT_EQ(editor().selAnchor, 3);
    EXPECT_EQ(editor().selEnd, 10);
    EXPECT_EQ(editor().caretOffset, 10);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_GT(HighlightShown(), 0);
}

// Where a Shift+click finds no cell, the selection still gets both of its ends.
TEST_F(ViewMouse, ShiftClickWithoutACellKeepsTheSelectionWellFormed) {
    Show(20);
    const auto caretAtFiveWithoutSelection = [this] {
        editor().caretOffset = 5;
        editor().caretPane = 2;
        editor().selAnchor = editor().selEnd = -1;
    };
    caretAtFiveWithoutSelection();
    ShiftClick(HexAt(6, 1)); // below the end row: the caret stays
    EXPECT_EQ(editor().selAnchor, 5);
    EXPECT_EQ(editor().selEnd, 5);

    caretAtFiveWithoutSelection();
    ShiftClick(HexAt(2, 6)); // past the end: clamped to the end position
    EXPECT_EQ(editor().selAnchor, 5);
    EXPECT_EQ(editor().selEnd, 20);
    EXPECT_EQ(editor().caretOffset, 20);

    caretAtFiveWithoutSelection();
    ShiftClick(POINT{61, HexAt(1, 0).y}); // the band before the hex pane
    EXPECT_EQ(editor().selAnchor, 5);
    EXPECT_EQ(editor().selEnd, 5);
}

TEST_F(ViewMouse, AddressColumnClickGoesToGoToAndNothingElse) {
    Show(100);
    // Answers the Go To dialog that each click on the column opens.
    MessageBoxRecorder dialogs(GetCurrentThreadId(), MessageBoxRecorder::Answers::EveryDialog);
    Click(HexAt(0, 7));
    editor().selAnchor = 2;
    editor().selEnd = 5;
    TestPage::Pump();
    Click(POINT{20, HexAt(1, 0).y});
    EXPECT_EQ(editor().caretOffset, 7);
    EXPECT_EQ(editor().selAnchor, 2);
    EXPECT_EQ(editor().selEnd, 5);
    EXPECT_EQ(GetCapture(), nullptr);
    TestPage::Pump();

    ShiftClick(POINT{20, HexAt(1, 0).y});
    EXPECT_EQ(editor().selAnchor, 7) << "the anchor is the old caret";
    EXPECT_EQ(editor().selEnd, 7);
    const std::vector<RecordedBox> shown = dialogs.Boxes();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].title, L"Go To");
    EXPECT_EQ(shown[1].title, L"Go To");
}

TEST_F(ViewMouse, RealDoubleClickIsHandledAsItsFirstClickOnly) {
    Show(100);
    Click(HexAt(0, 3));
    editor().selAnchor = 1; // a selection the second press would clear, were it a click
    editor().selEnd = 6;
    Click(HexAt(0, 3));
    EXPECT_EQ(editor().selAnchor, 1);
    EXPECT_EQ(editor().selEnd, 6);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ViewMouse, WithoutAFileAClickOnlyTakesTheFocus) {
    page.Attach();
    Repaint();
    SetFocus(page.button());
    Click(HexAt(0, 3));
    EXPECT_EQ(GetFocus(), page.view());
    EXPECT_EQ(editor().caretOffset, 0);
    EXPECT_EQ(editor().selAnchor, -1);
    EXPECT_FALSE(GetUpdateRect(page.view(), nullptr, FALSE));
}
