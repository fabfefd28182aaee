// The view on the real page as a screen reader meets it: the focus events a hook outside its
// context hears, what it and its caret cell say through Active Accessibility, even held too long.
#include <windows.h>

#include <oleacc.h>

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <thread>
#include <tuple>

#include "resources/resource_ids.h"
#include "server/class_factory.h"
#include "server/shell_ext.h"
#include "support/path_recorder.h"
#include "support/pixels.h"
#include "support/properties_driver.h"
#include "support/test_window.h"
#include "support/unix_files.h"

namespace {

int g_cellFocusEvents = 0;

// The system's standard object for the view, with a reference of the test's own, so that the
// count it has left once the page has gone shows whether the page let go of it.
decltype(&CreateStdAccessibleObject) g_createStandard = nullptr;
IUnknown* g_standard = nullptr;

HRESULT WINAPI KeptStandard(HWND window, LONG id, REFIID iid, void** object) {
    const HRESULT hr = g_createStandard(window, id, iid, object);
    if (SUCCEEDED(hr))
        (g_standard = static_cast<IUnknown*>(*object))->AddRef();
    return hr;
}

void CALLBACK RecordFocus(HWINEVENTHOOK, DWORD, HWND, LONG object, LONG child, DWORD, DWORD) {
    g_cellFocusEvents += object == OBJID_CLIENT && child == 1;
}

// What a client reads of `child`: name, value and description (none reads as empty), and the
// states among `states`.
auto Said(IAccessible* object, VARIANT child, LONG states = -1) {
    auto read = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
        BSTR text = nullptr;
        (object->*get)(child, &text);
        std::wstring said = text ? text : L"";
        SysFreeString(text);
        return said;
    };
    VARIANT state{};
    object->get_accState(child, &state);
    return std::make_tuple(read(&IAccessible::get_accName), read(&IAccessible::get_accValue),
                           read(&IAccessible::get_accDescription), state.lVal & states);
}

struct Step {
    const char* what;
    std::vector<WORD> keys; // none: the focus comes in
    int events;
    const wchar_t *name, *value, *description;
    bool highlighted = false; // the cell is the one selected byte, drawn highlighted
};

} // namespace

TEST(Accessibility, TheCaretCellIsToldOnceForEveryChangeAndReadBack) {
    TempFolder folder;
    std::optional<InProcessSheet> sheet;
    g_createStandard = reinterpret_cast<decltype(&CreateStdAccessibleObject)>(
        PatchImport("CreateStdAccessibleObject", reinterpret_cast<void*>(&KeptStandard)));
    sheet.emplace(std::vector<std::wstring>{folder.Write(L"hello.bin", {'H', 'e', 'l', 'l', 'o'})});
    ASSERT_NE(sheet->page(), nullptr);
    HWND view = sheet->control(IDC_HEX_VIEW);
    SetForegroundWindow(sheet->sheet());
    SetFocus(GetDlgItem(sheet->sheet(), IDOK));
    HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, RecordFocus,
                        GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    const Step steps[] = {
        {"focus", {}, 1, L"48, first digit", L"offset 0, 0", L""},
        {"Right", {VK_RIGHT}, 1, L"48, second digit", L"offset 0, 0", L""},
        {"Right", {VK_RIGHT}, 1, L"65, first digit", L"offset 1, 1", L""},
        {"Tab", {VK_TAB}, 1, L"e, 65", L"offset 1, 1", L""},
        {"Ctrl+End", {VK_CONTROL, VK_END}, 1, L"end of file", L"offset 5, 5", L""},
        {"Shift+Left", {VK_SHIFT, VK_LEFT}, 1, L"o, 6F", L"offset 4, 4", L"1 byte selected", true},
        {"Insert", {VK_INSERT}, 1, L"o, 6F", L"offset 4, 4", L"insert, 1 byte selected"},
        {"7", {'7'}, 1, L"end of file", L"offset 5, 5", L"insert"},
        {"Up on the first row", {VK_UP}, 0, L"end of file", L"offset 5, 5", L"insert"},
    };
    IAccessible* object = nullptr;
    VARIANT child{};
    POINT first{}; // inside the first step's cell, in the view
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        g_cellFocusEvents = 0;
        if (step.keys.empty())
            SetFocus(view);
        PressKeys(step.keys);
        EXPECT_EQ(g_cellFocusEvents, step.events);
        AccessibleObjectFromEvent(view, OBJID_CLIENT, 1, &object, &child);
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(Said(object, child),
                  std::make_tuple(step.name, step.value, step.description,
                                  STATE_SYSTEM_FOCUSED | STATE_SYSTEM_FOCUSABLE));
        GUITHREADINFO gui{}; // the cell lies where the system caret is
        gui.cbSize = sizeof(gui);
        GetGUIThreadInfo(GetCurrentThreadId(), &gui);
        MapWindowPoints(gui.hwndCaret, nullptr, reinterpret_cast<POINT*>(&gui.rcCaret), 2);
        RECT at{}; // left, top, width, height
        object->accLocation(&at.left, &at.top, &at.right, &at.bottom, child);
        EXPECT_EQ(std::make_tuple(gui.hwndCaret, at.left, at.top, at.top + at.bottom),
                  std::make_tuple(view, gui.rcCaret.left, gui.rcCaret.top, gui.rcCaret.bottom));
        VARIANT hit[2] = {}; // its top left pixel, and the pixel right of its bottom right one
        object->accHitTest(at.left, at.top, &hit[0]);
        object->accHitTest(at.left + at.right, at.top + at.bottom - 1, &hit[1]);
        EXPECT_EQ(std::make_tuple(hit[0].lVal, hit[1].lVal), std::make_tuple(1L, 0L));
        if (&step == steps)
            first = {at.left + 1, at.top + 1};
        if (step.highlighted) { // drawn as the cell: highlighted inside, up to its edges
            POINT corner{at.left, at.top};
            ScreenToClient(view, &corner);
            const RECT cell{corner.x, corner.y, corner.x + at.right, corner.y + at.bottom};
            HideCaret(view);
            UpdateWindow(view);
            const Capture shown(view);
            ShowCaret(view);
            const COLORREF mark = GetSysColor(COLOR_HIGHLIGHT);
            const RECT ring{cell.left - 1, cell.top - 1, cell.right + 1, cell.bottom + 1};
            EXPECT_EQ(
                std::make_tuple(
                    shown.Count(mark, ring) - shown.Count(mark, cell),
                    shown.Count(mark, {cell.left, cell.top, cell.right, cell.top + 1}),
                    shown.Count(mark, {cell.left, cell.bottom - 1, cell.right, cell.bottom})),
                std::make_tuple(0, at.right, at.right)); // nothing around, top and bottom rows
        }
        object->Release();
    }
    // Gone from the view, the focus takes its events along; a click that brings it back tells
    // of the clicked cell alone.
    ScreenToClient(view, &first);
    SetFocus(GetDlgItem(sheet->sheet(), IDOK));
    g_cellFocusEvents = 0;
    PostMessageW(view, WM_KEYDOWN, VK_LEFT, 1);
    TestPage::Pump();
    EXPECT_EQ(g_cellFocusEvents, 0);
    SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(first.x, first.y));
    SendMessageW(view, WM_LBUTTONUP, 0, MAKELPARAM(first.x, first.y));
    TestPage::Pump();
    EXPECT_EQ(std::make_tuple(g_cellFocusEvents, sheet->ext().editor.caretOffset),
              std::make_tuple(1, 0));
    UnhookWinEvent(hook);
    // The view says it all in one, and is not read-only while editable.
    AccessibleObjectFromEvent(view, OBJID_CLIENT, CHILDID_SELF, &object, &child);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(Said(object, child, STATE_SYSTEM_READONLY | STATE_SYSTEM_FOCUSABLE),
              std::make_tuple(L"Hex view", L"48, first digit, offset 0, 0, insert", L"5 bytes",
                              STATE_SYSTEM_FOCUSABLE));
    // Held past the page's end, it answers with an error and keeps the module loaded. A client
    // in another apartment holds a proxy: the page's end disconnects its stub.
    std::atomic<int> stage{0}; // 1: the proxy is held, 2: the page has gone, 3: done
    HRESULT remoteGone = S_OK;
    std::thread remote([&] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        IAccessible* proxy = nullptr;
        AccessibleObjectFromWindow(view, OBJID_CLIENT, IID_IAccessible,
                                   reinterpret_cast<void**>(&proxy));
        stage = 1;
        WaitFor([&] { return stage == 2; });
        BSTR name = nullptr;
        remoteGone = proxy ? proxy->get_accName(child, &name) : E_POINTER;
        if (proxy)
            proxy->Release();
        CoUninitialize();
        stage = 3;
    });
    // A call that reaches this apartment is answered here meanwhile.
    const auto pumpUntil = [&](int next) {
        return WaitFor([&] {
            TestPage::Pump();
            return stage == next;
        });
    };
    EXPECT_TRUE(pumpUntil(1));
    sheet.reset();
    EXPECT_EQ(CanUnloadModule(), S_FALSE);
    stage = 2;
    EXPECT_TRUE(pumpUntil(3));
    remote.join();
    // The proxy is cut off from the object (Windows says so, Wine 8 that it knows the interface
    // no more); a stub still connected would pass the object's own CO_E_OBJNOTCONNECTED on.
    EXPECT_TRUE(remoteGone == RPC_E_DISCONNECTED ||
                remoteGone == HRESULT_FROM_WIN32(RPC_S_UNKNOWN_IF))
        << std::hex << remoteGone;
    BSTR text = nullptr;
    EXPECT_EQ(object->get_accName(child, &text), CO_E_OBJNOTCONNECTED);
    object->Release();
    EXPECT_EQ(CanUnloadModule(), S_OK);
    PatchImport("CreateStdAccessibleObject", reinterpret_cast<void*>(g_createStandard));
    ASSERT_NE(g_standard, nullptr);
    EXPECT_EQ(g_standard->Release(), 0u); // the page's reference went with it
}

LRESULT WINAPI HighAnswer(REFIID, WPARAM, LPUNKNOWN) {
    return static_cast<LRESULT>(uint64_t{1} << 32);
}

// The system's answer for the object is passed on whole: one whose low 32 bits are zero too.
TEST(Accessibility, TheAnswerForTheObjectIsPassedOnWhole) {
    if (sizeof(LRESULT) < 8)
        GTEST_SKIP() << "32 bits wide";
    TestPage page;
    page.Attach();
    void* const system = PatchImport("LresultFromObject", reinterpret_cast<void*>(&HighAnswer));
    const LRESULT answer = SendMessageW(page.view(), WM_GETOBJECT, 0, OBJID_CLIENT);
    PatchImport("LresultFromObject", system);
    EXPECT_EQ(static_cast<uint64_t>(answer), uint64_t{1} << 32);
}

TEST(Accessibility, AViewThatFailedToLoadIsUnavailableWithNoCell) {
    TempFolder folder;
    const std::wstring path = folder.Write(L"held.bin", {1, 2, 3});
    HANDLE holder = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    MessageBoxRecorder boxes;
    InProcessSheet sheet({path});
    CloseHandle(holder);
    ASSERT_EQ(MessageBoxesOnly(boxes).size(), 1u) << "the read error";
    IAccessible* view = nullptr;
    VARIANT child{};
    AccessibleObjectFromEvent(sheet.control(IDC_HEX_VIEW), OBJID_CLIENT, CHILDID_SELF, &view,
                              &child);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(std::get<3>(Said(view, child, STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_FOCUSABLE)),
              STATE_SYSTEM_UNAVAILABLE);
    long count = -1;
    view->get_accChildCount(&count);
    EXPECT_EQ(count, 0);
    child.lVal = 1;
    BSTR name = nullptr;
    EXPECT_EQ(view->get_accName(child, &name), E_INVALIDARG);
    view->Release();
}
