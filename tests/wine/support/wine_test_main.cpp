// Entry point of the Windows tests: the thread is a single-threaded COM apartment with the
// common controls ready, as the shell's thread is when it hosts the extension.
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <memory>

#include "support/message_box_recorder.h"

namespace {
// Every test runs with a recorder on this thread that answers a message box no test asked
// for and fails the test: unanswered, such a box would wait forever. A test's own recorder
// takes over while it lives.
class UnexpectedBoxes : public testing::EmptyTestEventListener {
  public:
    void OnTestStart(const testing::TestInfo&) override {
        recorder_ = std::make_unique<MessageBoxRecorder>(
            GetCurrentThreadId(), MessageBoxRecorder::Answers::BoxesOnly,
            [](const RecordedBox& box, int pressed) {
                ADD_FAILURE() << "unexpected message box " << testing::PrintToString(box.text)
                              << " titled " << testing::PrintToString(box.title)
                              << ", answered with button " << pressed;
            });
    }
    void OnTestEnd(const testing::TestInfo&) override { recorder_.reset(); }

  private:
    std::unique_ptr<MessageBoxRecorder> recorder_;
};
} // namespace

int main(int argc, char** argv) {
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new UnexpectedBoxes);
    const int result = RUN_ALL_TESTS();
    OleUninitialize();
    return result;
}
