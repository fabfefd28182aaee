// Reading and saving on slow or stalled media through the real page: a progress window after a
// second, Cancel for reads, a sheet that keeps answering and refuses to close meanwhile, and
// nothing typed or pressed during the read reaching the file or the buffer.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "resources/resource_ids.h"
#include "server/shell_ext.h"
#include "support/message_box_recorder.h"
#include "support/properties_driver.h"
#include "support/test_window.h"
#include "support/unix_files.h"

namespace {

// Counts the progress bars made on this thread while it lives.
class ProgressBarCounter {
  public:
    ProgressBarCounter() {
        count_ = 0;
        hook_ = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
    }
    ~ProgressBarCounter() { UnhookWindowsHookEx(hook_); }
    int count() const { return count_; }

  private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND) {
            const auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam);
            if (!IS_INTRESOURCE(create->lpcs->lpszClass) &&
                _wcsicmp(create->lpcs->lpszClass, PROGRESS_CLASSW) == 0)
                ++count_;
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static int count_;
    HHOOK hook_;
};
int ProgressBarCounter::count_ = 0;

// What a second thread saw of the sheet while the page's thread was busy with a held read.
struct Seen {
    bool window = false;
    std::wstring heading;
    bool cancelShown = false;
    bool answered = false;
    bool sheetEnabled = true;
    bool openAfterPresses = false;
};

class SlowMedia : public testing::Test {
  protected:
    static void SetUpTestSuite() { mount_ = new SlowMount(0); }
    static void TearDownTestSuite() {
        delete mount_;
        mount_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(mount_->Mounted()); }
    void TearDown() override { mount_->Release(); }

    // Runs `during` on a second thread once the progress window of this thread shows (or
    // after 5 s without one), then lets the held file system go.
    std::thread DriveHeldRead(std::function<void(HWND window, HWND sheet)> during) {
        const DWORD self = GetCurrentThreadId();
        return std::thread([this, self, during] {
            HWND window = nullptr;
            WaitFor([&] { return (window = ProgressWindowOf(self)) != nullptr; }, 5000);
            seen_.window = window != nullptr;
            if (window) {
                HWND sheet = GetWindow(window, GW_OWNER);
                seen_.heading = WindowText(GetDlgItem(window, IDC_PROGRESS_HEADING));
                seen_.cancelShown = IsWindowVisible(GetDlgItem(window, IDCANCEL)) != FALSE;
                DWORD_PTR result = 0;
                seen_.answered =
                    SendMessageTimeoutW(sheet, WM_NULL, 0, 0, SMTO_BLOCK, 200, &result) != 0;
                seen_.sheetEnabled = IsWindowEnabled(sheet) != FALSE;
                // Whatever the user or another program presses meanwhile changes nothing.
                PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
                PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
                PostMessageW(sheet, WM_CLOSE, 0, 0);
                SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
                SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
                during(window, sheet);
                Sleep(200);
                seen_.openAfterPresses = IsWindowVisible(window) != FALSE;
            }
            mount_->Release();
        });
    }

    static SlowMount* mount_;
    Seen seen_;
    TempFolder folder_;
};
SlowMount* SlowMedia::mount_ = nullptr;

TEST_F(SlowMedia, FastLoadAndSaveShowNoWindow) {
    auto bytes = SeededBytes(64 << 20, 3);
    const std::wstring path = folder_.Write(L"fast.bin", bytes);
    ProgressBarCounter bars;
    InProcessSheet sheet({path});
    ASSERT_NE(sheet.page(), nullptr);
    CHexEdit& editor = sheet.ext().editor;
    EXPECT_EQ(editor.length, 64 << 20);
    editor.buffer[1] = bytes[1] = 0x5A;
    editor.modified = 1;
    EXPECT_EQ(editor.SaveFile(0), 0u);
    EXPECT_EQ(ReadAll(path), bytes);
    EXPECT_EQ(bars.count(), 0);
    EXPECT_EQ(GetFocus(), sheet.control(IDC_HEX_VIEW));
}

// A save whose writes are held shows a window without Cancel that Esc, Cancel and close leave
// open, and once let go writes every byte.
TEST_F(SlowMedia, HeldSaveCannotBeCancelledAndWritesEveryByte) {
    auto bytes = SeededBytes((3 << 20) + 7, 11);
    const std::wstring path = mount_->Write(L"saved.bin", bytes);
    InProcessSheet sheet({path});
    ASSERT_NE(sheet.page(), nullptr);
    CHexEdit& editor = sheet.ext().editor;
    ASSERT_EQ(editor.length, static_cast<int32_t>(bytes.size()));
    editor.buffer[0] = bytes[0] = 0xEE;
    editor.buffer[bytes.size() - 1] = bytes.back() = 0x11;
    editor.modified = 1;
    ASSERT_TRUE(mount_->Hold());
    HWND view = sheet.control(IDC_HEX_VIEW);
    std::thread driver = DriveHeldRead([view](HWND window, HWND) {
        SendMessageW(view, WM_CHAR, '7', 0); // sent, not posted: handled at once
        SendMessageW(view, WM_KEYDOWN, VK_DELETE, 0);
        PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        PostMessageW(window, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(editor.SaveFile(0), 0u);
    driver.join();
    ASSERT_TRUE(seen_.window);
    EXPECT_EQ(seen_.heading, L"Saving saved.bin");
    EXPECT_FALSE(seen_.cancelShown);
    EXPECT_TRUE(seen_.openAfterPresses);
    EXPECT_TRUE(seen_.answered);
    ASSERT_NE(PropSheet_GetCurrentPageHwnd(sheet.sheet()), nullptr); // still open
    EXPECT_EQ(editor.modified, 0);
    EXPECT_EQ(std::vector<uint8_t>(editor.buffer, editor.buffer + editor.length), bytes);
    EXPECT_EQ(ReadAll(path), bytes);
}

// A Revert whose reads are held: Cancel in the window ends it as a failed Revert, without the
// read-error box; the file is untouched and closing afterwards asks nothing.
TEST_F(SlowMedia, CancelledHeldRevertEndsLikeAFailedOneWithoutABox) {
    const auto bytes = SeededBytes(3 << 20, 5);
    const std::wstring path = mount_->Write(L"held.bin", bytes);
    MessageBoxRecorder boxes;
    auto sheet = std::make_unique<InProcessSheet>(std::vector<std::wstring>{path});
    ASSERT_NE(sheet->page(), nullptr);
    CHexEdit& editor = sheet->ext().editor;
    ASSERT_EQ(editor.length, 3 << 20);
    editor.buffer[0] ^= 0xFF;
    editor.modified = 1;
    boxes.Answer({IDOK}); // "Revert file to last saved version, ...?"
    ASSERT_TRUE(mount_->Hold());
    std::thread driver = DriveHeldRead([](HWND window, HWND) {
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    editor.RevertFile();
    driver.join();
    ASSERT_TRUE(seen_.window);
    EXPECT_EQ(seen_.heading, L"Reading held.bin");
    EXPECT_TRUE(seen_.cancelShown);
    EXPECT_TRUE(seen_.answered);
    EXPECT_FALSE(seen_.sheetEnabled);
    ASSERT_NE(PropSheet_GetCurrentPageHwnd(sheet->sheet()), nullptr); // still open
    EXPECT_TRUE(IsWindowEnabled(sheet->sheet()));
    EXPECT_EQ(editor.length, 0);
    EXPECT_EQ(editor.modified, 0);
    EXPECT_FALSE(IsWindowEnabled(sheet->control(IDC_HEX_VIEW)));
    ASSERT_EQ(MessageBoxesOnly(boxes).size(), 1u);
    EXPECT_EQ(MessageBoxesOnly(boxes)[0].title, L"Revert");
    EXPECT_FALSE(sheet->PressButton(PSBTN_OK)); // closes, asking nothing
    EXPECT_EQ(MessageBoxesOnly(boxes).size(), 1u);
    EXPECT_EQ(ReadAll(path), bytes);
}

// A Revert of a held file that is let go without Cancel shows every byte of it; keys sent to
// the view meanwhile reach nothing, and the focus returns to the view.
TEST_F(SlowMedia, ReleasedHeldRevertShowsEveryByteAndNothingTyped) {
    const auto bytes = SeededBytes((3 << 20) + 5, 9);
    const std::wstring path = mount_->Write(L"second.bin", bytes);
    MessageBoxRecorder boxes;
    InProcessSheet sheet({path});
    ASSERT_NE(sheet.page(), nullptr);
    HWND view = sheet.control(IDC_HEX_VIEW);
    CHexEdit& editor = sheet.ext().editor;
    editor.buffer[0] ^= 0xFF;
    editor.modified = 1;
    SetFocus(view);
    boxes.Answer({IDOK});
    ASSERT_TRUE(mount_->Hold());
    std::thread driver = DriveHeldRead([view](HWND, HWND) {
        PostMessageW(view, WM_KEYDOWN, VK_DELETE, 0);
        PostMessageW(view, WM_CHAR, '7', 0);
        PostMessageW(view, WM_KEYDOWN, VK_F11, 0);
    });
    editor.RevertFile();
    driver.join();
    ASSERT_TRUE(seen_.window);
    EXPECT_EQ(seen_.heading, L"Reading second.bin");
    EXPECT_TRUE(seen_.answered);
    ASSERT_NE(PropSheet_GetCurrentPageHwnd(sheet.sheet()), nullptr); // still open
    ASSERT_EQ(editor.length, static_cast<int32_t>(bytes.size()));
    EXPECT_EQ(std::vector<uint8_t>(editor.buffer, editor.buffer + editor.length), bytes);
    EXPECT_EQ(editor.modified, 0);
    EXPECT_EQ(editor.viewMode, 1);
    EXPECT_TRUE(IsWindowEnabled(sheet.sheet()));
    EXPECT_TRUE(IsWindowEnabled(view));
    EXPECT_EQ(GetFocus(), view);
}

} // namespace
