// Reading and saving on stalled media through the real page: a progress window after a second,
// Cancel for reads only, a sheet that keeps answering, and nothing pressed or typed meanwhile
// reaching the file or the buffer.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <thread>
#include <type_traits>

#include "hexedit/core/find_rules.h"
#include "resources/resource_ids.h"
#include "server/shell_ext.h"
#include "support/message_box_recorder.h"
#include "support/path_recorder.h"
#include "support/properties_driver.h"
#include "support/test_window.h"
#include "support/unix_files.h"

namespace {

int g_barsMade = 0;

LRESULT CALLBACK CountBars(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const wchar_t* name = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs->lpszClass;
        g_barsMade += !IS_INTRESOURCE(name) && _wcsicmp(name, PROGRESS_CLASSW) == 0;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void PressCancel(HWND window) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

BOOL CALLBACK TakeFirst(HWND window, LPARAM found) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// Whether a window of `thread` (when it has one yet) answers a sent message within half a second.
bool ThreadAnswers(DWORD thread) {
    HWND any = nullptr;
    EnumThreadWindows(thread, TakeFirst, reinterpret_cast<LPARAM>(&any));
    DWORD_PTR result = 0; // a window that goes meanwhile (a box answered) is no silence
    return !any || SendMessageTimeoutW(any, WM_NULL, 0, 0, SMTO_BLOCK, 500, &result) != 0 ||
           GetLastError() != ERROR_TIMEOUT;
}

// The progress window's count and bar as shown now.
std::pair<std::wstring, LRESULT> CountAndBar(HWND window) {
    return {WindowText(GetDlgItem(window, IDC_PROGRESS_COUNT)),
            SendDlgItemMessageW(window, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0)};
}

class SlowMedia : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(mount_.Mounted()); }

    // The page on a file of the mount holding `bytes`, its first and last byte changed; null
    // when it did not come up.
    CHexEdit* OpenChanged(const wchar_t* name, const std::vector<uint8_t>& bytes) {
        sheet_ =
            std::make_unique<InProcessSheet>(std::vector<std::wstring>{mount_.Write(name, bytes)});
        CHexEdit& editor = sheet_->ext().editor;
        if (!sheet_->page() || editor.length != static_cast<int32_t>(bytes.size()))
            return nullptr;
        editor.buffer[0] ^= 0xFF;
        editor.buffer[editor.length - 1] ^= 0xFF;
        editor.modified = 1;
        return &editor;
    }

    // Runs `operation` with the mount held (every read and write, unless `held` already). A
    // second thread sends to the sheet's thread from the start, waits for the progress window,
    // notes what it and the sheet show, runs `during`, notes whether the window stayed, lets the
    // mount go and notes in `moved_` whether the count and bar moved. What it saw ("answers":
    // every message sent meanwhile was), and whether the sheet is still open.
    std::wstring Held(const std::function<void()>& operation,
                      const std::function<void(HWND window)>& during, bool held = false) {
        EXPECT_TRUE(held || mount_.Hold());
        std::wstring seen = L"no window";
        std::thread driver([&, self = GetCurrentThreadId()] {
            HWND window = nullptr;
            bool answered = true;
            if (WaitFor(
                    [&] {
                        answered = ThreadAnswers(self) && answered;
                        return (window = ProgressWindowOf(self)) != nullptr;
                    },
                    5000)) {
                HWND sheet = GetWindow(window, GW_OWNER);
                DWORD_PTR result = 0;
                const bool answers = answered && SendMessageTimeoutW(sheet, WM_NULL, 0, 0,
                                                                     SMTO_BLOCK, 200, &result) != 0;
                seen = WindowText(GetDlgItem(window, IDC_PROGRESS_HEADING)) +
                       (IsWindowVisible(GetDlgItem(window, IDCANCEL)) ? L", Cancel" : L"") +
                       (answers ? L", answers" : L"") +
                       (IsWindowEnabled(sheet) ? L", sheet enabled" : L"");
                const auto shown = CountAndBar(window); // before `during` may keep the thread
                during(window);
                Sleep(200);
                seen += IsWindowVisible(window) ? L", stays" : L", gone";
                mount_.Release();
                WaitFor([&] {
                    const auto now = CountAndBar(window);
                    moved_ =
                        IsWindow(window) && now.first != shown.first && now.second != shown.second;
                    return moved_ || !IsWindow(window);
                });
            }
            mount_.Release();
        });
        operation();
        driver.join();
        TestPage::Pump();
        return seen + (PropSheet_GetCurrentPageHwnd(sheet_->sheet()) ? L", sheet open" : L"");
    }

    SlowMount mount_{4'000'000}; // 3 MiB in about 0.8 s once let go: the count moves meanwhile
    bool moved_ = false;
    MessageBoxRecorder boxes_;
    std::unique_ptr<InProcessSheet> sheet_;
};

TEST_F(SlowMedia, FastLoadAndSaveShowNoWindow) {
    auto bytes = SeededBytes(64 << 20, 3);
    TempFolder folder;
    const std::wstring path = folder.Write(L"fast.bin", bytes);
    std::unique_ptr<std::remove_pointer_t<HHOOK>, decltype(&UnhookWindowsHookEx)> hook(
        SetWindowsHookExW(WH_CBT, CountBars, nullptr, GetCurrentThreadId()), UnhookWindowsHookEx);
    InProcessSheet sheet({path});
    ASSERT_NE(sheet.page(), nullptr);
    CHexEdit& editor = sheet.ext().editor;
    EXPECT_EQ(editor.length, 64 << 20);
    editor.buffer[1] = bytes[1] = 0x5A;
    editor.modified = 1;
    EXPECT_EQ(editor.SaveFile(0), 0u);
    EXPECT_EQ(ReadAll(path), bytes);
    EXPECT_EQ(g_barsMade, 0);
    EXPECT_EQ(GetFocus(), sheet.control(IDC_HEX_VIEW));
}

// A held save offers no Cancel, stays through Esc and close, ignores keys sent to the view and
// the sheet's buttons and, once let go, writes every byte; the buttons pressed and the close
// posted meanwhile then close the sheet, with nothing left to ask about.
TEST_F(SlowMedia, HeldSaveCannotBeCancelledAndWritesEveryByte) {
    auto bytes = SeededBytes((3 << 20) + 7, 11);
    CHexEdit* editor = OpenChanged(L"saved.bin", bytes);
    ASSERT_NE(editor, nullptr);
    bytes.front() ^= 0xFF;
    bytes.back() ^= 0xFF;
    EXPECT_EQ(Held([&] { EXPECT_EQ(editor->SaveFile(0), 0u); },
                   [this](HWND window) {
                       // Sent, not posted: the view handles it at once.
                       SendMessageW(sheet_->control(IDC_HEX_VIEW), WM_KEYDOWN, VK_DELETE, 0);
                       PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
                       PostMessageW(window, WM_CLOSE, 0, 0);
                       HWND sheet = GetWindow(window, GW_OWNER);
                       for (WPARAM button : {PSBTN_OK, PSBTN_CANCEL}) {
                           PostMessageW(sheet, PSM_PRESSBUTTON, button, 0);
                           SendMessageW(sheet, PSM_PRESSBUTTON, button, 0);
                       }
                       PostMessageW(sheet, WM_CLOSE, 0, 0);
                   }),
              L"Saving saved.bin, answers, stays");
    EXPECT_TRUE(moved_);
    EXPECT_TRUE(MessageBoxesOnly(boxes_).empty());
    EXPECT_EQ(ReadAll(mount_.Path(L"saved.bin")), bytes);
}

// Cancel during a held Revert ends it at once as a failed Revert without the read-error box:
// the file untouched and nothing left to save, so the close posted meanwhile, kept until the
// end, closes the sheet asking nothing.
TEST_F(SlowMedia, CancelledHeldRevertEndsLikeAFailedOneWithoutABox) {
    const auto bytes = SeededBytes(3 << 20, 5);
    CHexEdit* editor = OpenChanged(L"held.bin", bytes);
    ASSERT_NE(editor, nullptr);
    boxes_.Answer({IDOK}); // "Revert file to last saved version, ...?"
    EXPECT_EQ(Held([&] { editor->RevertFile(); },
                   [this](HWND window) {
                       PostMessageW(GetWindow(window, GW_OWNER), WM_CLOSE, 0, 0);
                       mount_.CountReads();
                       PressCancel(window);
                   }),
              L"Reading held.bin, Cancel, answers, gone");
    // The chunk held at the Cancel ends once let go; the worker reads nothing after it.
    EXPECT_FALSE(WaitFor([&] { return mount_.BytesCounted() > (1 << 20); }, 2000));
    EXPECT_EQ(MessageBoxesOnly(boxes_).size(), 1u); // the Revert question alone
    EXPECT_EQ(ReadAll(mount_.Path(L"held.bin")), bytes);
}

// A share that stops answering before the open: the lookup of a Revert stalls on the worker,
// the sheet answers meanwhile, and the end of the session, which a read does not hold back,
// ends it as Cancel would.
TEST_F(SlowMedia, StalledLookupGivesWayToTheEndOfTheSession) {
    const auto bytes = SeededBytes(100, 4);
    CHexEdit* editor = OpenChanged(L"looked.bin", bytes);
    ASSERT_NE(editor, nullptr);
    // Grown past what is read whole: after the stalled lookup the worker opens it, and no more.
    ASSERT_TRUE(MakeSparseFile(mount_.Served(L"looked.bin"), 2LL << 30));
    boxes_.Answer({IDOK});
    LRESULT query = 0;
    ASSERT_TRUE(mount_.HoldLookup("looked.bin"));
    EXPECT_EQ(Held([&] { editor->RevertFile(); },
                   [&](HWND window) {
                       mount_.CountReads();
                       HWND sheet = GetWindow(window, GW_OWNER);
                       query = SendMessageW(sheet, WM_QUERYENDSESSION, 0, 0);
                       SendMessageW(sheet, WM_ENDSESSION, TRUE, 0);
                   },
                   true),
              L"Reading looked.bin, Cancel, answers, gone, sheet open");
    EXPECT_EQ(query, TRUE);
    EXPECT_FALSE(WaitFor([&] { return mount_.BytesCounted() > 0; }, 1000));
    EXPECT_EQ(editor->length, 0);
    EXPECT_EQ(MessageBoxesOnly(boxes_).size(), 1u);
}

// Asks a window whether the session may end; `all` holds FALSE once one says no.
BOOL CALLBACK AskToEndSession(HWND each, LPARAM all) {
    *reinterpret_cast<LRESULT*>(all) &= SendMessageW(each, WM_QUERYENDSESSION, 0, 0);
    return TRUE;
}

const wchar_t* g_blockReason = nullptr;
BOOL WINAPI NoteBlockReason(HWND, LPCWSTR reason) {
    g_blockReason = _wcsdup(reason);
    return TRUE;
}

// A held save holds back the end of the session, saying why, and returns from its end only once
// every byte is written.
TEST_F(SlowMedia, HeldSaveHoldsBackTheEndOfTheSession) {
    auto bytes = SeededBytes((3 << 20) + 3, 13);
    CHexEdit* editor = OpenChanged(L"report.bin", bytes);
    ASSERT_NE(editor, nullptr);
    bytes.front() ^= 0xFF;
    bytes.back() ^= 0xFF;
    void* const create =
        PatchImport("ShutdownBlockReasonCreate", reinterpret_cast<void*>(&NoteBlockReason));
    LRESULT allowed = TRUE;
    std::vector<uint8_t> atEnd;
    std::thread ender;
    EXPECT_EQ(Held([&] { EXPECT_EQ(editor->SaveFile(0), 0u); },
                   [&](HWND window) {
                       HWND sheet = GetWindow(window, GW_OWNER);
                       EnumThreadWindows(GetWindowThreadProcessId(sheet, nullptr), AskToEndSession,
                                         reinterpret_cast<LPARAM>(&allowed));
                       ender = std::thread([&, sheet] {
                           SendMessageW(sheet, WM_ENDSESSION, TRUE, 0);
                           atEnd = ReadAll(mount_.Path(L"report.bin"));
                       });
                   }),
              L"Saving report.bin, answers, stays, sheet open");
    ender.join();
    PatchImport("ShutdownBlockReasonCreate", create);
    EXPECT_EQ(allowed, FALSE);
    EXPECT_STREQ(g_blockReason, L"Saving report.bin");
    EXPECT_EQ(atEnd, bytes);
}

// The shell's icon call on a stalled medium: held until the gate opens (at most 10 s), it then
// finds `g_foundIcon`. A real hold of the mount can't stand in for it under Wine: Wine reads a
// view of a file that can't be mapped while holding its memory lock, stalling the whole process.
HANDLE g_iconGate = nullptr;
HICON g_foundIcon = nullptr;

HICON WINAPI GatedIcon(HINSTANCE, LPWSTR, WORD*) {
    WaitForSingleObject(g_iconGate, 10000);
    return g_foundIcon;
}

// A page opening on a held file comes up with the load's window instead of freezing in the
// search for the file's icon; Cancel ends it as a failed load without the box, and the icon
// comes once the medium lets go.
TEST_F(SlowMedia, PageOpeningOnAHeldFileCanBeCancelledAndGetsItsIconLater) {
    const auto bytes = SeededBytes(3 << 20, 7);
    const std::wstring path = mount_.Write(L"opened.txt", bytes);
    g_iconGate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_foundIcon = CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
    void* const extract =
        PatchImport("ExtractAssociatedIconW", reinterpret_cast<void*>(&GatedIcon));
    ASSERT_NE(extract, nullptr);
    LRESULT iconWhileHeld = 0;
    EXPECT_EQ(Held([&] { sheet_ = std::make_unique<InProcessSheet>(std::vector{path}); },
                   [&](HWND window) {
                       HWND sheet = GetWindow(window, GW_OWNER);
                       for (HWND child = GetWindow(sheet, GW_CHILD); child;
                            child = GetWindow(child, GW_HWNDNEXT))
                           if (HWND icon = GetDlgItem(child, IDC_HEADER_ICON))
                               iconWhileHeld = SendMessageW(icon, STM_GETICON, 0, 0);
                       PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                   }),
              L"Reading opened.txt, Cancel, answers, gone, sheet open");
    SetEvent(g_iconGate);
    ASSERT_NE(sheet_->page(), nullptr);
    // Typing and Ctrl+S posted to the disabled view neither fill the empty buffer nor save it.
    PostMessageW(sheet_->control(IDC_HEX_VIEW), WM_CHAR, '4', 1);
    TestPage::Pump();
    HoldModifiers(false, true);
    PostMessageW(sheet_->control(IDC_HEX_VIEW), WM_KEYDOWN, 'S', 1);
    TestPage::Pump();
    HoldModifiers(false, false);
    EXPECT_EQ(sheet_->ext().editor.length, 0);
    EXPECT_FALSE(IsWindowEnabled(sheet_->control(IDC_HEX_VIEW)));
    EXPECT_TRUE(MessageBoxesOnly(boxes_).empty());
    EXPECT_NE(iconWhileHeld, 0); // the template's, meanwhile
    HWND icon = sheet_->control(IDC_HEADER_ICON);
    EXPECT_TRUE(WaitFor([&] {
        TestPage::Pump();
        return SendMessageW(icon, STM_GETICON, 0, 0) == reinterpret_cast<LRESULT>(g_foundIcon);
    }));
    EXPECT_FALSE(sheet_->PressButton(PSBTN_OK)); // closes, asking nothing
    sheet_.reset();
    EXPECT_FALSE(IconAlive(g_foundIcon)); // the page owned it
    EXPECT_EQ(ReadAll(path), bytes);

    // A lookup that ends after its page has gone frees what it found; so does a page that
    // closes with the notice of the icon posted to it but not yet taken in.
    for (const bool posted : {false, true}) {
        ResetEvent(g_iconGate);
        g_foundIcon = CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
        {
            TempFolder folder;
            InProcessSheet gone({folder.Write(L"gone.txt", bytes)});
            EXPECT_NE(gone.page(), nullptr);
            MSG msg{};
            if (posted && SetEvent(g_iconGate)) {
                EXPECT_TRUE(WaitFor(
                    [&] { return PeekMessageW(&msg, gone.page(), WM_APP, 0xBFFF, PM_NOREMOVE); }));
            }
        }
        SetEvent(g_iconGate);
        EXPECT_TRUE(WaitFor([] { return !IconAlive(g_foundIcon); })) << posted;
    }
    PatchImport("ExtractAssociatedIconW", extract);
    CloseHandle(g_iconGate);
}

// A cancelled chooser switch is a failed one: the entry before it comes back, without a box.
TEST_F(SlowMedia, CancelledHeldSwitchShowsThePreviousEntryAgain) {
    TempFolder folder;
    const auto bytes = SeededBytes(100, 1);
    const std::wstring local = folder.Write(L"local.bin", bytes);
    sheet_ = std::make_unique<InProcessSheet>(
        std::vector{local, mount_.Write(L"remote.bin", SeededBytes(3 << 20, 2))});
    ASSERT_NE(sheet_->page(), nullptr);
    HWND chooser = sheet_->control(IDC_FILE_CHOOSER);
    SendMessageW(chooser, CB_SETCURSEL, 1, 0);
    EXPECT_EQ(Held(
                  [&] {
                      SendMessageW(sheet_->page(), WM_COMMAND,
                                   MAKEWPARAM(IDC_FILE_CHOOSER, CBN_SELCHANGE),
                                   reinterpret_cast<LPARAM>(chooser));
                  },
                  PressCancel),
              L"Reading remote.bin, Cancel, answers, gone, sheet open");
    CHexEdit& editor = sheet_->ext().editor;
    EXPECT_EQ(EditorBytes(editor), bytes);
    EXPECT_EQ(SendMessageW(chooser, CB_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(MessageBoxesOnly(boxes_).empty());
}

// A held Revert let go without Cancel shows every byte; keys posted to the view meanwhile reach
// nothing, and the sheet and the focus come back.
TEST_F(SlowMedia, ReleasedHeldRevertShowsEveryByteAndNothingTyped) {
    const auto bytes = SeededBytes((3 << 20) + 5, 9);
    CHexEdit* editor = OpenChanged(L"second.bin", bytes);
    ASSERT_NE(editor, nullptr);
    HWND view = sheet_->control(IDC_HEX_VIEW);
    SetFocus(view);
    boxes_.Answer({IDOK});
    EXPECT_EQ(Held([&] { editor->RevertFile(); },
                   [view](HWND) {
                       PostMessageW(view, WM_KEYDOWN, VK_DELETE, 0);
                       PostMessageW(view, WM_KEYDOWN, VK_F11, 0); // the next layout
                   }),
              L"Reading second.bin, Cancel, answers, stays, sheet open");
    EXPECT_TRUE(moved_);
    EXPECT_EQ(EditorBytes(*editor), bytes);
    EXPECT_EQ(editor->viewMode, 1);
    EXPECT_TRUE(IsWindowEnabled(sheet_->sheet()));
    EXPECT_EQ(GetFocus(), view);
}

// A file read on demand, 2 GiB and its `tail`, its first rows shown, on the mount.
std::unique_ptr<TestPage> OpenHuge(const std::wstring& path, const std::string& tail = "") {
    auto page = std::make_unique<TestPage>();
    page->Attach();
    if (!MakeSparseFile(path, (2LL << 30) + tail.size(), {tail.begin(), tail.end()}) ||
        page->editor().LoadFile(path.c_str()) != 0)
        return nullptr;
    SetForegroundWindow(page->page());
    SetFocus(page->view());
    page->Repaint();
    return page;
}

// The focus comes back to the view as a held read of its last page ends, and another program
// has grown the file meanwhile: the look at the file waits for the read to end, and then the
// view shows the file as it now is, its new tail after the rows the read brought.
TEST_F(SlowMedia, AFileGrownDuringAHeldReadIsShownAsItIsOnceTheReadHasEnded) {
    const auto page = OpenHuge(mount_.Path(L"grown.bin"), std::string(194, 'x') + "OLDEND");
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(mount_.Hold());
    std::thread driver([&, self = GetCurrentThreadId()] {
        EXPECT_TRUE(WaitFor([&] { return ProgressWindowOf(self) != nullptr; }));
        EXPECT_TRUE(MakeSparseFile(mount_.Served(L"grown.bin"), (2LL << 30) + 204,
                                   {'O', 'L', 'D', 'E', 'N', 'D', 'M', 'O', 'R', 'E'}));
        mount_.Release();
    });
    page->Key(VK_END, false, true); // the last rows, read while the medium is held
    page->Repaint();
    driver.join();
    EXPECT_EQ(GetFocus(), page->view());
    TestPage::Pump();
    EXPECT_EQ(page->editor().length, (2LL << 30) + 204);
    std::string tail(10, '\0');
    page->editor().source->Read((2LL << 30) + 194, reinterpret_cast<uint8_t*>(&tail[0]), 10, 0);
    EXPECT_EQ(tail, "OLDENDMORE");
    page->editor().ReleaseFile();
}

// A bad sector in the middle: its bytes are unreadable, those before it show, and the user is
// told once, whatever is painted after.
TEST_F(SlowMedia, FailedReadInAHugeFileLeavesItsBytesUnreadableAndIsToldOnce) {
    ASSERT_TRUE(mount_.FailReadsAt(0x10008));
    const auto page = OpenHuge(mount_.Path(L"bad.bin"), "NEEDLE");
    ASSERT_NE(page, nullptr);
    for (int64_t top : {0xFFF8, 0xFFF0}) {
        page->editor().topOffset = top;
        page->Repaint();
    }
    const std::vector<RecordedBox> shown = MessageBoxesOnly(boxes_);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text.rfind(L"There was an error reading file - ", 0), 0u) << shown[0].text;
    EXPECT_EQ(shown[0].title, L"Hex Editor");
    std::vector<uint8_t> bytes(32), unreadable(32), expected(32, 1);
    std::fill_n(expected.begin(), 24, 0);
    page->editor().source->Read(0xFFE8, bytes.data(), 32, unreadable.data());
    EXPECT_EQ(unreadable, expected);
    // A copy over them puts nothing on the clipboard and says why, rather than copy zeros.
    const DWORD clipboard = GetClipboardSequenceNumber();
    page->editor().SetSelection(0xFFF0, 0x10010);
    page->editor().Copy();
    EXPECT_EQ(GetClipboardSequenceNumber(), clipboard);
    const std::vector<RecordedBox> after = MessageBoxesOnly(boxes_);
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[1].text.rfind(L"Could not copy to clipboard - ", 0), 0u) << after[1].text;
    // A find from the page before the last meets a bad sector there, reads on past it and finds
    // the item after it; an item it does not find, it may have missed there, and says so.
    ASSERT_TRUE(mount_.FailReadsAt(0x7FFF0008));
    std::vector<int64_t> selected;
    for (const char* item : {"NEEDLE", "ABSENT"}) {
        editing::BuildFindPatterns(page->editor(), item);
        page->editor().SetSelection(-1, -1);
        page->editor().caretOffset = 0x7FFF0000;
        page->Key(VK_F3);
        selected.push_back(page->editor().selAnchor);
    }
    EXPECT_EQ(selected, (std::vector<int64_t>{2LL << 30, -1}));
    const std::vector<RecordedBox> found = MessageBoxesOnly(boxes_);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[2].text, L"The search item was not found. Part of the file could not be read.");
    page->editor().ReleaseFile();
}

// A stalled read of rows, a stalled copy and a stalled find show the progress window with
// Cancel; a paint meanwhile starts no second read, and Cancel ends each at once: the rows
// unread, the clipboard, caret and selection as they were, no box. The rows stay unread, the
// medium unasked, through paints, mouse moves and the caret's facts, until a key goes there.
TEST_F(SlowMedia, StalledRowsCopyAndFindInAHugeFileCanBeCancelled) {
    const auto page = OpenHuge(mount_.Path(L"held.bin"));
    ASSERT_NE(page, nullptr);
    CHexEdit& editor = page->editor();
    editing::BuildFindPatterns(editor, "NEEDLE");
    const DWORD clipboard = GetClipboardSequenceNumber();
    const std::function<void()> operations[] = {
        [&] {
            editor.topOffset = 1LL << 30;
            editor.caretOffset = 1LL << 30;
            page->Repaint();
            for (int x : {10, 40, 70})
                SendMessageW(page->view(), WM_MOUSEMOVE, 0, MAKELPARAM(x, 20));
            page->Repaint();
            EXPECT_GT(editor.onDemand->Cache().CancelledPages(), 0u);
        },
        [&] {
            editor.SetSelection(3LL << 28, 3LL << 28);
            editor.Copy();
            editor.SetSelection(-1, -1);
            editor.caretOffset = 0;
        },
        [&] { page->Key(VK_F3); }};
    std::unique_ptr<std::remove_pointer_t<HHOOK>, decltype(&UnhookWindowsHookEx)> hook(
        SetWindowsHookExW(WH_CBT, CountBars, nullptr, GetCurrentThreadId()), UnhookWindowsHookEx);
    for (const auto& operation : operations) {
        g_barsMade = 0;
        ASSERT_TRUE(mount_.Hold());
        bool gone = false; // while the medium still stalls
        std::thread driver([&, self = GetCurrentThreadId()] {
            HWND window = nullptr;
            if (WaitFor([&] { return (window = ProgressWindowOf(self)) != nullptr; })) {
                InvalidateRect(page->view(), nullptr, FALSE);
                Sleep(1500); // long enough for a second read to show its own window
                PressCancel(window);
                gone = WaitFor([&] { return !IsWindow(window); }, 2000);
                Sleep(1500); // the same for a read started after the Cancel
            }
            mount_.Release();
        });
        operation();
        driver.join();
        EXPECT_EQ(g_barsMade, 1);
        EXPECT_TRUE(gone);
    }
    EXPECT_TRUE(MessageBoxesOnly(boxes_).empty());
    EXPECT_EQ(GetClipboardSequenceNumber(), clipboard);
    EXPECT_EQ(editor.selAnchor, -1);
    EXPECT_EQ(editor.caretOffset, 0);
    EXPECT_EQ(editor.onDemand->Cache().CancelledPages(), 0u) << "F3, a key, goes there again";
    editor.ReleaseFile();
}

} // namespace
