#include <gtest/gtest.h>

#include "support/test_window.h"

TEST(Smoke, EditorAttachesToPlaceholder) {
    TestPage page;
    page.Attach();
    EXPECT_NE(page.editor().originalWndProc, nullptr);
    EXPECT_EQ(page.editor().hwnd, page.view());
}
