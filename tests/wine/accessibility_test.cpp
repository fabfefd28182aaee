// The view as a screen reader meets it on the real page: the focus events a hook outside the
// view's context hears, and what the caret cell then says through Active Accessibility.
#include <windows.h>

#include <oleacc.h>

#include <gtest/gtest.h>

#include "hexedit/accessible_view.h"
#include "resources/resource_ids.h"
#include "server/class_factory.h"
#include "server/object_counter.h"
#include "support/properties_driver.h"
#include "support/test_window.h"

namespace {

int g_cellFocusEvents = 0;

void CALLBACK RecordFocus(HWINEVENTHOOK, DWORD, HWND, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT && child == 1)
        ++g_cellFocusEvents;
}

VARIANT Child(LONG id) {
    VARIANT child{};
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

using TextGetter = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);

// A text as a client reads it; none reads as empty.
std::wstring Read(IAccessible* object, TextGetter get, LONG child) {
    BSTR text = nullptr;
    const HRESULT hr = (object->*get)(Child(child), &text);
    std::wstring read = SUCCEEDED(hr) && text ? text : L"";
    SysFreeString(text);
    return read;
}

IAccessible* ViewObject(HWND view) {
    IAccessible* object = nullptr;
    AccessibleObjectFromWindow(view, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                               reinterpret_cast<void**>(&object));
    return object;
}

LONG StateOf(IAccessible* object, LONG child) {
    VARIANT state{};
    object->get_accState(Child(child), &state);
    return state.lVal;
}

struct Step {
    const char* what;
    std::vector<WORD> keys; // none: the focus comes in
    int events;
    const wchar_t* name;
    const wchar_t* value;
    const wchar_t* description;
};

} // namespace

TEST(Accessibility, TheCaretCellIsToldOnceForEveryChangeAndReadBack) {
    TempFolder folder;
    InProcessSheet sheet({folder.Write(L"hello.bin", {'H', 'e', 'l', 'l', 'o'})});
    ASSERT_NE(sheet.page(), nullptr);
    HWND view = sheet.control(IDC_HEX_VIEW);
    SetForegroundWindow(sheet.sheet());
    SetFocus(GetDlgItem(sheet.sheet(), IDOK));
    HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, RecordFocus,
                        GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    const Step steps[] = {
        {"focus", {}, 1, L"48, first digit", L"offset 0, 0", L""},
        {"Right", {VK_RIGHT}, 1, L"48, second digit", L"offset 0, 0", L""},
        {"Right", {VK_RIGHT}, 1, L"65, first digit", L"offset 1, 1", L""},
        {"Tab", {VK_TAB}, 1, L"e, 65", L"offset 1, 1", L""},
        {"Ctrl+End", {VK_CONTROL, VK_END}, 1, L"end of file", L"offset 5, 5", L""},
        {"Shift+Left", {VK_SHIFT, VK_LEFT}, 1, L"o, 6F", L"offset 4, 4", L"1 byte selected"},
        {"Insert", {VK_INSERT}, 1, L"o, 6F", L"offset 4, 4", L"insert, 1 byte selected"},
        {"7", {'7'}, 1, L"end of file", L"offset 5, 5", L"insert"},
        {"Up on the first row", {VK_UP}, 0, L"end of file", L"offset 5, 5", L"insert"},
    };
    for (const Step& step : steps) {
        g_cellFocusEvents = 0;
        if (step.keys.empty())
            SetFocus(view);
        PressKeys(step.keys);
        EXPECT_EQ(g_cellFocusEvents, step.events) << step.what;
        IAccessible* cell = nullptr;
        VARIANT child{};
        AccessibleObjectFromEvent(view, OBJID_CLIENT, 1, &cell, &child);
        ASSERT_NE(cell, nullptr) << step.what;
        EXPECT_EQ(Read(cell, &IAccessible::get_accName, child.lVal), step.name) << step.what;
        EXPECT_EQ(Read(cell, &IAccessible::get_accValue, child.lVal), step.value) << step.what;
        EXPECT_EQ(Read(cell, &IAccessible::get_accDescription, child.lVal), step.description)
            << step.what;
        VARIANT state{};
        cell->get_accState(child, &state);
        EXPECT_EQ(state.lVal, STATE_SYSTEM_FOCUSED | STATE_SYSTEM_FOCUSABLE) << step.what;
        // The cell lies where the system caret is.
        GUITHREADINFO gui{};
        gui.cbSize = sizeof(gui);
        ASSERT_TRUE(GetGUIThreadInfo(GetCurrentThreadId(), &gui));
        EXPECT_EQ(gui.hwndCaret, view);
        POINT caret{gui.rcCaret.left, gui.rcCaret.top};
        ClientToScreen(view, &caret);
        long left = 0, top = 0, width = 0, height = 0;
        EXPECT_EQ(cell->accLocation(&left, &top, &width, &height, child), S_OK);
        EXPECT_EQ(left, caret.x) << step.what;
        EXPECT_EQ(top, caret.y) << step.what;
        EXPECT_EQ(height, gui.rcCaret.bottom - gui.rcCaret.top) << step.what;
        cell->Release();
    }
    UnhookWinEvent(hook);
}

TEST(Accessibility, AViewThatFailedToLoadIsUnavailableWithNoCell) {
    TempFolder folder;
    const std::wstring path = folder.Write(L"held.bin", {1, 2, 3});
    HANDLE holder = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    MessageBoxRecorder boxes;
    InProcessSheet sheet({path});
    CloseHandle(holder);
    ASSERT_NE(sheet.page(), nullptr);
    ASSERT_EQ(MessageBoxesOnly(boxes).size(), 1u) << "the read error";
    IAccessible* object = ViewObject(sheet.control(IDC_HEX_VIEW));
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(StateOf(object, 0) & (STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_FOCUSABLE),
              STATE_SYSTEM_UNAVAILABLE);
    long count = -1;
    EXPECT_EQ(object->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 0);
    BSTR name = nullptr;
    EXPECT_EQ(object->get_accName(Child(1), &name), E_INVALIDARG);
    object->Release();
}

// The view itself, and its object held by a client after the page has gone: an error for
// every question, and the module stays loaded until it is let go.
TEST(Accessibility, TheViewObjectOutlivesThePageOnlyAsAnError) {
    TempFolder folder;
    IAccessible* held = nullptr;
    {
        InProcessSheet sheet({folder.Write(L"a.bin", {'A'})});
        ASSERT_NE(sheet.page(), nullptr);
        held = ViewObject(sheet.control(IDC_HEX_VIEW));
        ASSERT_NE(held, nullptr);
        EXPECT_EQ(Read(held, &IAccessible::get_accName, 0), L"Hex view");
        EXPECT_EQ(Read(held, &IAccessible::get_accValue, 0), L"41, first digit, offset 0, 0");
        EXPECT_EQ(Read(held, &IAccessible::get_accDescription, 0), L"1 byte");
        EXPECT_EQ(StateOf(held, 0) & (STATE_SYSTEM_READONLY | STATE_SYSTEM_FOCUSABLE),
                  STATE_SYSTEM_FOCUSABLE);
    }
    ASSERT_EQ(ObjectCount(), 0);
    EXPECT_EQ(CanUnloadModule(), S_FALSE);
    BSTR text = nullptr;
    EXPECT_EQ(held->get_accName(Child(0), &text), RPC_E_DISCONNECTED);
    held->Release();
    EXPECT_EQ(CanUnloadModule(), S_OK);
}
