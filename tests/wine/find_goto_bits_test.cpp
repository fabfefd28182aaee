// Find, Go To and Edit Bits on a real view with the real dialogs 162 and 163: a second thread
// waits for each dialog, reads what it shows, types and presses its buttons as a user would;
// message boxes are answered by the recorder. One test goes through Wine's own Properties
// dialog, where the dialogs must come from the DLL itself.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "hexedit/core/byte_buffer.h"
#include "resources/resource_ids.h"
#include "support/dialog_template.h"
#include "support/message_box_recorder.h"
#include "support/properties_driver.h"
#include "support/test_window.h"
#include "support/unix_files.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr DWORD kModalFrame = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kStatic = 0xFFFFFFFF;

// ---- Driving a modal dialog from a second thread ----

// The visible dialog of `thread` with this caption, waited for up to ten seconds.
HWND WaitForDialog(DWORD thread, const std::wstring& caption) {
    for (int waited = 0; waited < 10000; waited += 10) {
        for (HWND dialog : VisibleThreadWindows(thread, L"#32770"))
            if (WindowText(dialog) == caption)
                return dialog;
        Sleep(10);
    }
    return nullptr;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 10000, &result);
    return static_cast<LRESULT>(result);
}

void PressButton(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// While `open` runs on this thread (and shows a dialog modally), `drive` gets that dialog on a
// second thread; a dialog that never came fails the test. The driver presses Cancel on a
// dialog it left open.
void WithDialog(const std::wstring& caption, const std::function<void(HWND dialog)>& drive,
                const std::function<void()>& open) {
    const DWORD thread = GetCurrentThreadId();
    HWND dialog = nullptr;
    std::thread driver([&] {
        dialog = WaitForDialog(thread, caption);
        if (!dialog)
            return;
        drive(dialog);
        for (int waited = 0; IsWindow(dialog) && waited < 5000; waited += 10)
            Sleep(10);
        if (IsWindow(dialog))
            PressButton(dialog, IDCANCEL);
    });
    open();
    driver.join();
    EXPECT_NE(dialog, nullptr) << "no dialog titled " << testing::PrintToString(caption);
}

// What the input dialog showed.
struct InputFace {
    bool shown = false;
    std::wstring caption, label, okText;
    LRESULT limit = 0;
    HINSTANCE instance = nullptr;
    RECT frame{};
};

InputFace ReadInputFace(HWND dialog) {
    InputFace face;
    face.shown = true;
    face.caption = WindowText(dialog);
    face.label = WindowText(GetDlgItem(dialog, IDC_INPUT_LABEL));
    face.okText = WindowText(GetDlgItem(dialog, IDOK));
    face.limit = Send(GetDlgItem(dialog, IDC_INPUT_TEXT), EM_GETLIMITTEXT);
    face.instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
    GetWindowRect(dialog, &face.frame);
    return face;
}

// Types `text` into the input dialog and confirms it (or cancels).
std::function<void(HWND)> Enter(const std::wstring& text, InputFace* face = nullptr,
                                int button = IDOK) {
    return [=](HWND dialog) {
        if (face)
            *face = ReadInputFace(dialog);
        Send(GetDlgItem(dialog, IDC_INPUT_TEXT), WM_SETTEXT, 0,
             reinterpret_cast<LPARAM>(text.c_str()));
        PressButton(dialog, button);
    };
}

constexpr int kOldBoxes[8] = {IDC_OLD_BIT0, IDC_OLD_BIT1, IDC_OLD_BIT2, IDC_OLD_BIT3,
                              IDC_OLD_BIT4, IDC_OLD_BIT5, IDC_OLD_BIT6, IDC_OLD_BIT7};
constexpr int kNewBoxes[8] = {IDC_NEW_BIT0, IDC_NEW_BIT1, IDC_NEW_BIT2, IDC_NEW_BIT3,
                              IDC_NEW_BIT4, IDC_NEW_BIT5, IDC_NEW_BIT6, IDC_NEW_BIT7};

// What Edit Bits showed: the boxes' states as bytes (bit k = box of bit k checked).
struct BitsFace {
    bool shown = false;
    int oldValue = -1, newValue = -1;
    bool oldEnabled = true, newEnabled = false;
    std::wstring oldTexts, newTexts; // bit 7 first
    int oldRowDrop = 0;              // pixels the old row sits above its dialog-unit place
};

int CheckedBits(HWND dialog, const int (&ids)[8]) {
    int value = 0;
    for (int bit = 0; bit < 8; ++bit)
        if (Send(GetDlgItem(dialog, ids[bit]), BM_GETCHECK) == BST_CHECKED)
            value |= 1 << bit;
    return value;
}

BitsFace ReadBitsFace(HWND dialog) {
    BitsFace face;
    face.shown = true;
    face.oldValue = CheckedBits(dialog, kOldBoxes);
    face.newValue = CheckedBits(dialog, kNewBoxes);
    face.oldEnabled = false;
    face.newEnabled = true;
    for (int bit = 7; bit >= 0; --bit) {
        face.oldEnabled = face.oldEnabled || IsWindowEnabled(GetDlgItem(dialog, kOldBoxes[bit]));
        face.newEnabled = face.newEnabled && IsWindowEnabled(GetDlgItem(dialog, kNewBoxes[bit]));
        face.oldTexts += WindowText(GetDlgItem(dialog, kOldBoxes[bit])) + L" ";
        face.newTexts += WindowText(GetDlgItem(dialog, kNewBoxes[bit])) + L" ";
    }
    RECT units{27, 9, 43, 19};
    MapDialogRect(dialog, &units);
    RECT frame{};
    GetWindowRect(GetDlgItem(dialog, IDC_OLD_BIT7), &frame);
    POINT topLeft{frame.left, frame.top};
    ScreenToClient(dialog, &topLeft);
    face.oldRowDrop = units.top - topLeft.y;
    return face;
}

// Clicks the "New:" boxes of the given bits, then presses `button`.
std::function<void(HWND)> ClickBits(std::vector<int> bits, int button, BitsFace* face) {
    return [=](HWND dialog) {
        if (face)
            *face = ReadBitsFace(dialog);
        for (int bit : bits)
            Send(GetDlgItem(dialog, kNewBoxes[bit]), BM_CLICK);
        PressButton(dialog, button);
    };
}

// A recorder that listens records the editor's dialogs too; this answer makes it leave one be.
constexpr int kIgnoredCommand = 0x7FFF;

// ---- The view ----

class FindOnView : public ::testing::Test {
  protected:
    void Open(const Bytes& bytes) {
        path = folder.Write(L"find.bin", bytes);
        page.Attach();
        ASSERT_EQ(editor().LoadFile(path.c_str()), 0u);
        SetForegroundWindow(page.page());
        SetFocus(page.view());
        page.Repaint();
        ASSERT_GT(editor().charWidth, 0);
    }
    LRESULT Key(WPARAM key, bool shift = false, bool ctrl = false) {
        return page.Key(key, shift, ctrl);
    }
    // The dialog opened by a key, driven by `drive`.
    void KeyWithDialog(const std::wstring& caption, WPARAM key, bool shift, bool ctrl,
                       const std::function<void(HWND)>& drive) {
        WithDialog(caption, drive, [&] { Key(key, shift, ctrl); });
    }
    void Find(const std::wstring& text, InputFace* face = nullptr) {
        KeyWithDialog(L"Find", 'F', false, true, Enter(text, face));
    }
    void ExpectSelection(int32_t first, int32_t last, int32_t pane) {
        EXPECT_EQ(editor().selAnchor, first);
        EXPECT_EQ(editor().selEnd, last);
        EXPECT_EQ(editor().caretOffset, last);
        EXPECT_EQ(editor().caretPane, pane);
    }
    CHexEdit& editor() { return page.editor(); }

    TempFolder folder;
    TestPage page;
    std::wstring path;
};

Bytes B(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

void ExpectNotFoundBox(const RecordedBox& box, HWND viewRoot) {
    EXPECT_EQ(box.text, L"The search item was not found");
    EXPECT_EQ(box.title, L"Kestrow Hex Editor");
    EXPECT_EQ(box.icon, BoxIcon::Information);
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    // Owned by the view: a box's owner is the top-level window of the one it was given.
    EXPECT_EQ(box.owner, viewRoot);
}

} // namespace

TEST(FindGoToBitsTemplates, InputDialogIsTheGoToFaceInAnExtendedTemplate) {
    const TemplateDialog dialog = ParseDialogTemplate(IDD_INPUT_DIALOG);
    ASSERT_TRUE(dialog.found);
    ASSERT_EQ(dialog.signature, 0xFFFF) << "a classic template keeps 16-bit ids";
    EXPECT_EQ(dialog.style, kModalFrame);
    EXPECT_EQ(dialog.cx, 175);
    EXPECT_EQ(dialog.cy, 49);
    EXPECT_EQ(dialog.title, L"Go To");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.face, L"MS Shell Dlg");
    ExpectTemplateItems(
        dialog, {{kStatic, L"Static", L"A&ddress:", 7, 9, 51, 8, SS_LEFT | WS_GROUP},
                 {1032, L"Edit", L"", 63, 7, 105, 14, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
                 {IDOK, L"Button", L"&Go to", 63, 28, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP},
                 {IDCANCEL, L"Button", L"Cancel", 118, 28, 50, 14, BS_PUSHBUTTON | WS_TABSTOP}});
}

TEST(FindGoToBitsTemplates, EditBitsDialogHasTwoRowsOfEightBoxes) {
    const TemplateDialog dialog = ParseDialogTemplate(IDD_EDIT_BITS);
    ASSERT_TRUE(dialog.found);
    ASSERT_EQ(dialog.signature, 0xFFFF);
    EXPECT_EQ(dialog.style, kModalFrame);
    EXPECT_EQ(dialog.cx, 175);
    EXPECT_EQ(dialog.cy, 59);
    EXPECT_EQ(dialog.title, L"Edit Bits");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.face, L"MS Shell Dlg");
    const DWORD box = BS_AUTOCHECKBOX | WS_TABSTOP;
    ExpectTemplateItems(
        dialog, {{kStatic, L"Static", L"Old:", 7, 9, 17, 8, SS_LEFT | WS_GROUP | WS_DISABLED},
                 {1179, L"Button", L"8", 27, 9, 16, 10, box | WS_DISABLED},
                 {1178, L"Button", L"7", 45, 9, 16, 10, box | WS_DISABLED},
                 {1177, L"Button", L"6", 63, 9, 16, 10, box | WS_DISABLED},
                 {1033, L"Button", L"5", 81, 9, 16, 10, box | WS_DISABLED},
                 {1031, L"Button", L"4", 99, 9, 16, 10, box | WS_DISABLED},
                 {1030, L"Button", L"3", 117, 9, 16, 10, box | WS_DISABLED},
                 {1029, L"Button", L"2", 135, 9, 16, 10, box | WS_DISABLED},
                 {1028, L"Button", L"1", 153, 9, 16, 10, box | WS_DISABLED},
                 {kStatic, L"Static", L"New:", 7, 21, 17, 8, SS_LEFT | WS_GROUP},
                 {1027, L"Button", L"&8", 27, 20, 16, 10, box},
                 {1026, L"Button", L"&7", 45, 20, 16, 10, box},
                 {1025, L"Button", L"&6", 63, 20, 16, 10, box},
                 {1024, L"Button", L"&5", 81, 20, 16, 10, box},
                 {1023, L"Button", L"&4", 99, 20, 16, 10, box},
                 {1022, L"Button", L"&3", 117, 20, 16, 10, box},
                 {1021, L"Button", L"&2", 135, 20, 16, 10, box},
                 {1020, L"Button", L"&1", 153, 20, 16, 10, box},
                 {IDOK, L"Button", L"&Set", 63, 38, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP},
                 {IDCANCEL, L"Button", L"Cancel", 118, 38, 50, 14, BS_PUSHBUTTON | WS_TABSTOP}});
}

// The input "41": the characters '4','1' at 5..6 come before the byte 0x41 at 10.
TEST_F(FindOnView, FindFaceThenTextMatchThenF3FindsTheByte) {
    Bytes bytes(16, '.');
    bytes[5] = '4';
    bytes[6] = '1';
    bytes[10] = 0x41;
    Open(bytes);
    InputFace face;
    Find(L"41", &face);
    ASSERT_TRUE(face.shown);
    EXPECT_EQ(face.caption, L"Find");
    EXPECT_EQ(face.label, L"Fi&nd what:");
    EXPECT_EQ(face.okText, L"&Find");
    EXPECT_GT(face.limit, 8); // no limit of its own
    // Centred on the view (its client origin lies just inside the border).
    RECT view{};
    GetWindowRect(page.view(), &view);
    EXPECT_NEAR((face.frame.left + face.frame.right) / 2, (view.left + view.right) / 2, 3);
    EXPECT_NEAR((face.frame.top + face.frame.bottom) / 2, (view.top + view.bottom) / 2, 3);
    ExpectSelection(5, 6, 1);
    Key(VK_F3);
    ExpectSelection(10, 10, 2);
    EXPECT_EQ(editor().modified, 0);
}

TEST_F(FindOnView, NothingFoundIsToldAndCaretAndSelectionStay) {
    Open(B("say HELLO, say"));
    editor().caretOffset = 2;
    MessageBoxRecorder boxes; // boxes only: the test drives the Find dialog itself
    Find(L"hello");
    const std::vector<RecordedBox> shown = boxes.Boxes();
    ASSERT_EQ(shown.size(), 1u);
    ExpectNotFoundBox(shown[0], page.page());
    EXPECT_EQ(editor().caretOffset, 2);
    EXPECT_EQ(editor().selAnchor, -1);
    // Shift+F3 with the same pattern: told again.
    Key(VK_F3, true);
    ASSERT_EQ(boxes.Count(), 2u);
    ExpectNotFoundBox(boxes.Boxes()[1], page.page());
    EXPECT_EQ(editor().caretOffset, 2);
}

TEST_F(FindOnView, CancelKeepsThePatternsForF3) {
    Open(B("ab.ab.ab"));
    Find(L"ab");
    ExpectSelection(0, 1, 1);
    KeyWithDialog(L"Find", 'F', false, true, Enter(L"zz", nullptr, IDCANCEL));
    ExpectSelection(0, 1, 1);
    EXPECT_EQ(editor().dialogText, nullptr);
    Key(VK_F3);
    ExpectSelection(3, 4, 1);
}

// The typed text can't be copied: as if the dialog had been cancelled, the old patterns stay.
TEST_F(FindOnView, AnInputThatCannotBeCopiedCountsAsCancelled) {
    Open(B("ab.ab.cd"));
    Find(L"ab");
    ExpectSelection(0, 1, 1);
    FailNextAllocations(1);
    Find(L"cd");
    FailNextAllocations(0);
    ExpectSelection(0, 1, 1);
    EXPECT_EQ(editor().dialogText, nullptr);
    Key(VK_F3);
    ExpectSelection(3, 4, 1);
}

TEST_F(FindOnView, F3AndShiftF3BeforeAnyFindAskFirst) {
    Open(B("xAxAx"));
    editor().caretOffset = 2;
    InputFace face;
    KeyWithDialog(L"Find", VK_F3, false, false, Enter(L"A", &face));
    EXPECT_TRUE(face.shown);
    ExpectSelection(3, 3, 1);

    TestPage other;
    other.Attach();
    const std::wstring path2 = folder.Write(L"second.bin", B("xAxAx"));
    ASSERT_EQ(other.editor().LoadFile(path2.c_str()), 0u);
    other.editor().caretOffset = 2;
    WithDialog(L"Find", Enter(L"A"), [&] { other.Key(VK_F3, true); });
    EXPECT_EQ(other.editor().selAnchor, 1); // searched backwards
    EXPECT_EQ(other.editor().caretOffset, 1);
}

TEST_F(FindOnView, AnEmptyInputIsNeverFound) {
    Open(B("abc"));
    MessageBoxRecorder boxes;
    Find(L"");
    const std::vector<RecordedBox> shown = boxes.Boxes();
    ASSERT_EQ(shown.size(), 1u);
    ExpectNotFoundBox(shown[0], page.page());
    EXPECT_EQ(editor().selAnchor, -1);
}

// The typed text is looked for in the view's code page whatever the system's: the euro sign is
// 0x80, and a character the view can't show is nowhere (not its low 8 bits "9", nor "?").
TEST_F(FindOnView, TypedCharactersAreSoughtInTheViewsCodePage) {
    Open(Bytes{0x20, 0xAC, 0x80, 0x39, 0x3F});
    editor().caretOffset = 2;
    Find(L"\u20AC");
    ExpectSelection(2, 2, 1);
    MessageBoxRecorder boxes;
    Find(L"\u0439");
    ASSERT_EQ(boxes.Count(), 1u);
    ExpectNotFoundBox(boxes.Boxes()[0], page.page());
    ExpectSelection(2, 2, 1);
}

TEST_F(FindOnView, GoToFromTheAddressColumnAndTheKey) {
    Open(Bytes(100, 7));
    editor().SetSelection(3, 9);
    editor().caretOffset = 9;
    InputFace face;
    WithDialog(L"Go To", Enter(L"1A", &face), [&] {
        SendMessageW(page.view(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageW(page.view(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    });
    ASSERT_TRUE(face.shown);
    EXPECT_EQ(face.label, L"A&ddress:");
    EXPECT_EQ(face.okText, L"&Go to");
    EXPECT_EQ(face.limit, 8);
    EXPECT_EQ(editor().caretOffset, 26);
    EXPECT_EQ(editor().selAnchor, 3); // the selection stays
    EXPECT_EQ(editor().selEnd, 9);

    KeyWithDialog(L"Go To", 'G', false, true, Enter(L"FFFFFFFF"));
    EXPECT_EQ(editor().caretOffset, 100);
    KeyWithDialog(L"Go To", 'G', false, true, Enter(L""));
    EXPECT_EQ(editor().caretOffset, 0);
    editor().caretOffset = 50;
    KeyWithDialog(L"Go To", 'G', false, true, Enter(L"10", nullptr, IDCANCEL));
    EXPECT_EQ(editor().caretOffset, 50);
    EXPECT_EQ(editor().modified, 0);
}

// A file read on demand: Go To past 4 GiB, then a match across the border of the search's first
// 1 MiB chunk from there.
TEST_F(FindOnView, GoToAndFindPastFourGiBInAFileReadOnDemand) {
    path = folder.Path(L"huge.bin");
    ASSERT_TRUE(MakeSparseFile(path, 0x100100000LL + 3, B("NEEDLE")));
    page.Attach();
    ASSERT_EQ(editor().LoadFile(path.c_str()), 0u);
    KeyWithDialog(L"Go To", 'G', false, true, Enter(L"100000000"));
    EXPECT_EQ(editor().caretOffset, 0x100000000LL);
    Find(L"NEEDLE");
    EXPECT_EQ(editor().selAnchor, 0x100100000LL - 3);
    EXPECT_EQ(editor().selEnd, 0x100100000LL + 2);
    editor().ReleaseFile();
}

TEST_F(FindOnView, EditBitsShowsTheByteAndSetStoresTheClickedBits) {
    Open(Bytes{0x00, 0xA5, 0x00});
    editor().caretOffset = 1;
    BitsFace face;
    KeyWithDialog(L"Edit Bits", 'B', false, true, ClickBits({1, 7}, IDOK, &face));
    ASSERT_TRUE(face.shown);
    EXPECT_EQ(face.oldValue, 0xA5);
    EXPECT_EQ(face.newValue, 0xA5);
    EXPECT_FALSE(face.oldEnabled);
    EXPECT_TRUE(face.newEnabled);
    EXPECT_EQ(face.oldTexts, L"8 7 6 5 4 3 2 1 ");
    EXPECT_EQ(face.newTexts, L"&8 &7 &6 &5 &4 &3 &2 &1 ");
    EXPECT_EQ(face.oldRowDrop, 1);
    // Bit 1 set, bit 7 cleared: 0xA5 ^ 0x82.
    EXPECT_EQ(editor().length, 3);
    EXPECT_EQ(editor().buffer[1], 0x27);
    EXPECT_EQ(editor().modified, 1);
    EXPECT_EQ(editor().caretOffset, 1);
}

TEST_F(FindOnView, EditBitsCancelAfterClicksAndSetWithoutChangeLeaveTheByte) {
    Open(Bytes{0xA5});
    KeyWithDialog(L"Edit Bits", 'B', false, true, ClickBits({0, 1, 2}, IDCANCEL, nullptr));
    EXPECT_EQ(editor().buffer[0], 0xA5);
    EXPECT_EQ(editor().modified, 0);
    KeyWithDialog(L"Edit Bits", 'B', false, true, ClickBits({3, 3}, IDOK, nullptr));
    EXPECT_EQ(editor().buffer[0], 0xA5);
    EXPECT_EQ(editor().modified, 0);
}

TEST_F(FindOnView, EditBitsAtTheEndPositionAppendsOneByte) {
    Open(Bytes{1, 2});
    editor().caretOffset = 2;
    BitsFace face;
    KeyWithDialog(L"Edit Bits", 'B', false, true, ClickBits({0, 6}, IDOK, &face));
    EXPECT_EQ(face.oldValue, 0);
    ASSERT_EQ(editor().length, 3);
    EXPECT_EQ(editor().buffer[2], 0x41);
    EXPECT_EQ(editor().caretOffset, 2);
    EXPECT_EQ(editor().modified, 1);
}

// In Wine's own Properties dialog the DLL is the module that shows the input dialog: F3 before
// any Find opens its Find face, nothing found is told by a box the view owns, and a click on the
// address column opens its Go To face.
TEST(FindInShellProperties, TheInputDialogComesFromTheDll) {
    TempFolder folder;
    const std::wstring file = folder.Write(L"find.bin", B("nothing to see"));
    const DWORD thread = GetCurrentThreadId();
    // This one records the sheet and the dialogs too, to see their order around the box.
    MessageBoxRecorder boxes(thread, MessageBoxRecorder::Answers::EveryDialog);
    boxes.Answer({kIgnoredCommand, kIgnoredCommand}); // the sheet, then the Find dialog
    InputFace face, goToFace;
    HWND viewRoot = nullptr;
    OpenShellProperties({file}, [&](HWND sheet) {
        if (!sheet)
            return;
        HWND page = ShowHexPage(sheet);
        if (!page)
            return;
        HWND view = GetDlgItem(page, IDC_HEX_VIEW);
        viewRoot = GetAncestor(view, GA_ROOT);
        PostMessageW(view, WM_KEYDOWN, VK_F3, 1);
        HWND dialog = WaitForDialog(thread, L"Find");
        if (dialog)
            Enter(L"absent", &face)(dialog);
        for (int waited = 0; boxes.Count() < 3 && waited < 10000; waited += 20)
            Sleep(20);
        // Go To from a click on the address column.
        boxes.Answer({kIgnoredCommand});
        PostMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageW(view, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        dialog = WaitForDialog(thread, L"Go To");
        if (dialog)
            Enter(L"5", &goToFace)(dialog);
        for (int waited = 0; IsWindow(dialog) && waited < 10000; waited += 20)
            Sleep(20);
        PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
        for (int waited = 0; IsWindow(sheet) && waited < 20000; waited += 20)
            Sleep(20);
    });
    ASSERT_TRUE(face.shown) << "no Find dialog";
    EXPECT_EQ(face.label, L"Fi&nd what:");
    EXPECT_EQ(face.instance, GetModuleHandleW(L"propweave.dll"));
    EXPECT_NE(face.instance, GetModuleHandleW(nullptr));
    ASSERT_TRUE(goToFace.shown) << "no Go To dialog";
    EXPECT_EQ(goToFace.label, L"A&ddress:");
    EXPECT_EQ(goToFace.limit, 8);
    EXPECT_EQ(goToFace.instance, GetModuleHandleW(L"propweave.dll"));
    const auto shown = MessageBoxesOnly(boxes);
    ASSERT_EQ(shown.size(), 3u); // the Find dialog, the box, the Go To dialog
    ExpectNotFoundBox(shown[1], viewRoot);
}
