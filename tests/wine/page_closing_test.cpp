// Closing the sheet with and without unsaved changes: the question, its buttons, what is saved,
// and that a refusal or a failed save keeps the sheet open with the changes intact.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "resources/resource_ids.h"
#include "server/shell_ext.h"
#include "support/message_box_recorder.h"
#include "support/properties_driver.h"
#include "support/test_window.h"

namespace {

const std::vector<uint8_t> kOriginal = {0x10, 0x20, 0x30, 0x40, 0x50};
std::vector<int> Sorted(std::vector<int> buttons) {
    std::sort(buttons.begin(), buttons.end());
    return buttons;
}

const wchar_t kQuestion[] = L"The file has changed. Do you want to save changes?";

class PageClosing : public testing::Test {
  protected:
    void SetUp() override {
        file_ = folder_.Write(L"edit.bin", kOriginal);
        other_ = folder_.Write(L"other.bin", {9, 9});
        // Listening before the sheet opens, so the sheet's own activation is not taken for a
        // box later and given an answer meant for one.
        boxes_ = std::make_unique<MessageBoxRecorder>();
        sheet_ = std::make_unique<InProcessSheet>(std::vector<std::wstring>{file_, other_});
        ASSERT_NE(sheet_->page(), nullptr);
        ASSERT_EQ(sheet_->ext().editor.length, 5);
    }
    void TearDown() override {
        sheet_.reset();
        boxes_.reset();
    }

    void Change() {
        sheet_->ext().editor.buffer[0] = 0xAB;
        sheet_->ext().editor.modified = 1;
    }
    std::vector<uint8_t> Changed() const {
        std::vector<uint8_t> bytes = kOriginal;
        bytes[0] = 0xAB;
        return bytes;
    }

    TempFolder folder_;
    std::wstring file_;
    std::wstring other_;
    std::unique_ptr<MessageBoxRecorder> boxes_;
    std::unique_ptr<InProcessSheet> sheet_;
};

} // namespace

TEST_F(PageClosing, OkWithChangesAndYesSavesAndCloses) {
    Change();
    boxes_->Answer({IDYES});
    EXPECT_FALSE(sheet_->PressButton(PSBTN_OK));
    const auto shown = MessageBoxesOnly(*boxes_);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, kQuestion);
    EXPECT_EQ(shown[0].title, L"Hex Editor");
    EXPECT_EQ(Sorted(shown[0].buttons), (std::vector<int>{IDCANCEL, IDYES, IDNO}));
    EXPECT_EQ(shown[0].icon, BoxIcon::Warning);
    // Owned by the page, which makes its top-level window, the sheet, the box's owner.
    EXPECT_EQ(shown[0].owner, sheet_->sheet());
    EXPECT_EQ(ReadAll(file_), Changed());
}

TEST_F(PageClosing, OkWithChangesAndNoClosesWithoutSaving) {
    Change();
    boxes_->Answer({IDNO});
    EXPECT_FALSE(sheet_->PressButton(PSBTN_OK));
    EXPECT_EQ(MessageBoxesOnly(*boxes_).size(), 1u);
    EXPECT_EQ(ReadAll(file_), kOriginal);
}

TEST_F(PageClosing, OkWithChangesAndCancelKeepsTheSheetOpenWithTheChanges) {
    Change();
    boxes_->Answer({IDCANCEL});
    EXPECT_TRUE(sheet_->PressButton(PSBTN_OK));
    EXPECT_EQ(PropSheet_GetCurrentPageHwnd(sheet_->sheet()), sheet_->page());
    EXPECT_EQ(sheet_->ext().editor.modified, 1);
    EXPECT_EQ(sheet_->ext().editor.buffer[0], 0xAB);
    EXPECT_EQ(ReadAll(file_), kOriginal);

    // The page still works: asked again on the next OK, and saved then.
    boxes_->Answer({IDYES});
    EXPECT_FALSE(sheet_->PressButton(PSBTN_OK));
    EXPECT_EQ(MessageBoxesOnly(*boxes_).size(), 2u);
    EXPECT_EQ(ReadAll(file_), Changed());
}

TEST_F(PageClosing, FailedSaveOnOkIsReportedAndKeepsTheSheetOpenWithTheChanges) {
    Change();
    // Held open without sharing: the save cannot open the file for writing.
    HANDLE holder = CreateFileW(file_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    boxes_->Answer({IDYES, IDOK});
    EXPECT_TRUE(sheet_->PressButton(PSBTN_OK));
    CloseHandle(holder);
    const auto shown = MessageBoxesOnly(*boxes_);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text.rfind(L"There was an error saving file - ", 0), 0u);
    EXPECT_EQ(sheet_->ext().editor.modified, 1);
    EXPECT_EQ(sheet_->ext().editor.buffer[0], 0xAB);
    EXPECT_EQ(ReadAll(file_), kOriginal);

    boxes_->Answer({IDYES});
    EXPECT_FALSE(sheet_->PressButton(PSBTN_OK));
    EXPECT_EQ(ReadAll(file_), Changed());
}

TEST_F(PageClosing, CancelWithChangesAsksYesOrNoAndYesSaves) {
    Change();
    boxes_->Answer({IDYES});
    EXPECT_FALSE(sheet_->PressButton(PSBTN_CANCEL));
    const auto shown = MessageBoxesOnly(*boxes_);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, kQuestion);
    EXPECT_EQ(shown[0].title, L"Hex Editor");
    EXPECT_EQ(Sorted(shown[0].buttons), (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(shown[0].icon, BoxIcon::Warning);
    EXPECT_EQ(ReadAll(file_), Changed());
}

// The sheet's Cancel can't be refused: a failed save must not drop the changes unasked.
TEST_F(PageClosing, FailedSaveOnSheetCancelAsksAgainUntilTheUserSaysNo) {
    Change();
    HANDLE holder = CreateFileW(file_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    boxes_->Answer({IDYES, IDOK, IDYES, IDOK, IDNO});
    EXPECT_FALSE(sheet_->PressButton(PSBTN_CANCEL));
    CloseHandle(holder);
    const auto shown = MessageBoxesOnly(*boxes_);
    ASSERT_EQ(shown.size(), 5u);
    for (size_t i : {0u, 2u, 4u})
        EXPECT_EQ(shown[i].text, kQuestion);
    for (size_t i : {1u, 3u})
        EXPECT_EQ(shown[i].text.rfind(L"There was an error saving file - ", 0), 0u);
    EXPECT_EQ(ReadAll(file_), kOriginal);
}

TEST_F(PageClosing, CancelWithChangesAndNoDropsThem) {
    Change();
    boxes_->Answer({IDNO});
    EXPECT_FALSE(sheet_->PressButton(PSBTN_CANCEL));
    EXPECT_EQ(MessageBoxesOnly(*boxes_).size(), 1u);
    EXPECT_EQ(ReadAll(file_), kOriginal);
}

TEST_F(PageClosing, WithoutChangesNothingIsAsked) {
    EXPECT_FALSE(sheet_->PressButton(PSBTN_OK));
    EXPECT_EQ(MessageBoxesOnly(*boxes_).size(), 0u);
    EXPECT_EQ(ReadAll(file_), kOriginal);
}

TEST_F(PageClosing, SheetCancelWithoutChangesAsksNothing) {
    EXPECT_FALSE(sheet_->PressButton(PSBTN_CANCEL));
    EXPECT_EQ(MessageBoxesOnly(*boxes_).size(), 0u);
}

// Apply (from another page) while the sheet stays open: the page saves and goes on working
// with its file list, tooltip and icon.
TEST_F(PageClosing, ApplyWhileTheSheetStaysOpenKeepsThePageWorking) {
    Change();
    boxes_->Answer({IDYES});
    PSHNOTIFY notify{};
    notify.hdr.hwndFrom = sheet_->sheet();
    notify.hdr.code = PSN_APPLY;
    notify.lParam = FALSE; // Apply, not OK
    SendMessageW(sheet_->page(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
    EXPECT_EQ(GetWindowLongPtrW(sheet_->page(), DWLP_MSGRESULT), PSNRET_NOERROR);
    EXPECT_EQ(ReadAll(file_), Changed());
    EXPECT_EQ(sheet_->ext().editor.modified, 0);

    ASSERT_NE(sheet_->ext().fileIndexes, nullptr);
    EXPECT_EQ(sheet_->ext().fileIndexCount, 2);
    EXPECT_TRUE(IsWindow(sheet_->ext().tooltipWnd));
    EXPECT_NE(SendMessageW(sheet_->control(IDC_HEADER_ICON), STM_GETICON, 0, 0), 0);
    HWND chooser = sheet_->control(IDC_FILE_CHOOSER);
    SendMessageW(chooser, CB_SETCURSEL, 1, 0);
    SendMessageW(sheet_->page(), WM_COMMAND, MAKEWPARAM(IDC_FILE_CHOOSER, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(chooser));
    EXPECT_EQ(sheet_->ext().editor.length, 2);
    EXPECT_EQ(sheet_->ext().currentFile, 1);
}

TEST_F(PageClosing, DestroyingThePageReleasesWhatItOwned) {
    HWND tooltip = sheet_->ext().tooltipWnd;
    ASSERT_TRUE(IsWindow(tooltip));
    sheet_->PressButton(PSBTN_OK);
    sheet_->Close();
    EXPECT_FALSE(IsWindow(tooltip));
    EXPECT_EQ(sheet_->ext().tooltipWnd, nullptr);
    EXPECT_EQ(sheet_->ext().fileIndexes, nullptr);
    EXPECT_EQ(sheet_->ext().fileIndexCount, 0);
    // The object may outlive its dialog for good (Wine's shell never releases it): the file's
    // bytes must not stay with it.
    EXPECT_EQ(sheet_->ext().editor.buffer, nullptr);
    EXPECT_EQ(sheet_->ext().editor.length, 0);
}
