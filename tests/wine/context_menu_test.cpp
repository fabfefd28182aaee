// The editor's context menu read while it is open: a thread timer finds the menu window, asks
// it for its menu and reads the whole tree (labels, identifiers, separators, grey and default
// states) and where it stands, then dismisses it or picks an item by its access keys.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/test_window.h"

namespace {

constexpr UINT kGetMenu = 0x01E1; // MN_GETHMENU
constexpr int kHexX = 66;
constexpr int kTextX = 236;
constexpr int kCw = 7;
constexpr int kCh = 14;

POINT HexAt(int row, int col) {
    return POINT{kHexX + 3 * col * kCw + 2, 3 + row * kCh + 5};
}
POINT TextAt(int row, int col) {
    return POINT{kTextX + col * kCw + 2, 3 + row * kCh + 5};
}

// One line per item: indentation by depth, the label or "---", the identifier, and marks.
void ReadMenu(HMENU menu, int depth, std::vector<std::wstring>& lines) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t label[128] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = label;
        info.cch = 127;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        std::wstring line(static_cast<size_t>(depth) * 2, L' ');
        if (info.fType & MFT_SEPARATOR) {
            line += L"---";
        } else {
            line += label;
            if (!info.hSubMenu)
                line += L" " + std::to_wstring(info.wID);
            if (info.fState & MFS_GRAYED)
                line += L" grey";
            if (info.fState & MFS_DEFAULT)
                line += L" default";
        }
        lines.push_back(line);
        if (info.hSubMenu)
            ReadMenu(info.hSubMenu, depth + 1, lines);
    }
}

// The menu window of this thread that shows `menu`'s root (the first one opened).
HWND OpenMenuWindow() {
    const std::vector<HWND> menus = VisibleThreadWindows(GetCurrentThreadId(), L"#32768");
    return menus.empty() ? nullptr : menus.front();
}

struct Seen {
    int opened = 0;
    std::vector<std::wstring> lines;
    RECT rect{};
};

// What the timer does once the menu is up: read it, then type `keys` into it (empty: dismiss).
Seen* g_seen = nullptr;
std::wstring g_keys;

bool g_menuUp = false;

// Counts each menu that comes up (and deals with it) while the timer runs.
void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    HWND window = OpenMenuWindow();
    const bool cameUp = window && !g_menuUp;
    g_menuUp = window != nullptr;
    if (!cameUp)
        return;
    ++g_seen->opened;
    auto menu = reinterpret_cast<HMENU>(SendMessageW(window, kGetMenu, 0, 0));
    g_seen->lines.clear();
    ReadMenu(menu, 0, g_seen->lines);
    GetWindowRect(window, &g_seen->rect);
    if (g_keys.empty()) {
        EndMenu();
        return;
    }
    for (wchar_t key : g_keys)
        PostMessageW(window, WM_CHAR, key, 1);
}

// Runs `open` (which opens the menu and returns once it is closed) with the reader listening.
Seen WithMenu(const std::function<void()>& open, const std::wstring& keys = L"") {
    Seen seen;
    g_seen = &seen;
    g_keys = keys;
    g_menuUp = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, OnTimer);
    open();
    KillTimer(nullptr, timer);
    g_seen = nullptr;
    return seen;
}

std::vector<std::wstring> Expected(const std::wstring& view, bool noSelection, bool unmodified,
                                   bool noPaste, bool whole, bool goToDefault) {
    auto g = [](bool grey) { return std::wstring(grey ? L" grey" : L""); };
    std::vector<std::wstring> lines = {
        L"&Hex Editor",     L"  &Find 13",
        L"  Find &Next 14", L"  Find &Previous 17",
        L"  ---",           L"  &Go To 15" + std::wstring(goToDefault ? L" default" : L""),
        L"  Book&marks",
    };
    for (int i = 0; i < 10; ++i)
        lines.push_back(L"    " + std::to_wstring((i + 1) % 10) + L" " + std::to_wstring(101 + i));
    lines.push_back(L"    ---");
    lines.push_back(L"    &Set");
    for (int i = 0; i < 10; ++i)
        lines.push_back(L"      " + std::to_wstring((i + 1) % 10) + L" " +
                        std::to_wstring(201 + i));
    const std::vector<std::wstring> rest = {
        L"  ---",
        L"  Fil&e",
        L"    &Revert 31" + g(unmodified),
        L"    ---",
        L"    &Save 32" + g(unmodified),
        L"  Edit &Bits 16",
        L"  &Copy",
        L"    as &Hex 23" + g(noSelection),
        L"    as &Text / ASCII 24" + g(noSelection),
        L"    as &C / C++ 25" + g(noSelection),
        L"    as &View 47" + g(noSelection),
        L"    ---",
        L"    as A&ddress 26",
        L"    as Address &Range 46",
        L"  ---",
        L"  " + view + L" 45",
        L"---",
        L"Cu&t 2" + g(noSelection),
        L"&Copy 3" + g(noSelection),
        L"&Paste 4" + g(noPaste),
        L"&Delete 5" + g(noSelection),
        L"---",
        L"Select &All 6" + g(whole),
    };
    lines.insert(lines.end(), rest.begin(), rest.end());
    return lines;
}

void PutOnClipboard(UINT format, const void* bytes, size_t size) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    if (format) {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
        memcpy(GlobalLock(memory), bytes, size);
        GlobalUnlock(memory);
        SetClipboardData(format, memory);
    }
    CloseClipboard();
}

void PutBitmapOnClipboard() {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
    ReleaseDC(nullptr, screen);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_BITMAP, bitmap);
    CloseClipboard();
}

void Key(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof(input));
}

// Runs the thread's messages for a while, as the dialog's loop would.
void PumpFor(int milliseconds) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
    while (GetTickCount() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    }
}

class ContextMenu : public ::testing::Test {
  protected:
    void SetUp() override {
        SetCursorPos(1270, 1010);
        PutOnClipboard(CF_TEXT, "x", 2);
    }
    void Show(size_t size) {
        page.Attach();
        std::vector<uint8_t> bytes(size);
        for (size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<uint8_t>('a' + i % 26);
        path = folder.Write(L"menu.bin", bytes);
        ASSERT_EQ(editor().LoadFile(path.c_str()), 0u);
        page.Repaint();
        SetFocus(page.view());
    }
    Seen RightClick(POINT p, const std::wstring& keys = L"") {
        return WithMenu([&] { SendMessageW(page.view(), WM_RBUTTONUP, 0, MAKELPARAM(p.x, p.y)); },
                        keys);
    }
    Seen AppsKey(const std::wstring& keys = L"") {
        return WithMenu([&] { SendMessageW(page.view(), WM_KEYDOWN, VK_APPS, 1); }, keys);
    }
    POINT Screen(POINT p) {
        ClientToScreen(page.view(), &p);
        return p;
    }
    CHexEdit& editor() { return page.editor(); }

    TempFolder folder;
    TestPage page;
    std::wstring path;
};

} // namespace

TEST_F(ContextMenu, TreeAndGreyingForEachState) {
    Show(64);
    struct Case {
        const char* name;
        std::function<void()> setUp;
        std::vector<std::wstring> expected;
    };
    const UINT privateFormat = RegisterClipboardFormatW(L"kestrow_hex");
    const std::vector<Case> cases = {
        {"no selection", [] {}, Expected(L"Expand &View", true, true, false, false, false)},
        {"a selection", [&] { editor().SetSelection(3, 9); },
         Expected(L"Expand &View", false, true, false, false, false)},
        {"modified", [&] { editor().modified = 1; },
         Expected(L"Expand &View", true, false, false, false, false)},
        {"whole selection", [&] { editor().SetSelection(0, 63); },
         Expected(L"Expand &View", false, true, false, true, false)},
        {"clipboard: only a bitmap", [] { PutBitmapOnClipboard(); },
         Expected(L"Expand &View", true, true, true, false, false)},
        {"clipboard: empty", [] { PutOnClipboard(0, nullptr, 0); },
         Expected(L"Expand &View", true, true, true, false, false)},
        {"clipboard: only the private format",
         [&] {
             const uint8_t bytes[2] = {1, 2};
             PutOnClipboard(privateFormat, bytes, 2);
         },
         Expected(L"Expand &View", true, true, false, false, false)},
        {"view mode 2", [&] { editor().viewMode = 2; },
         Expected(L"Extend &View", true, true, false, false, false)},
        {"view mode 3", [&] { editor().viewMode = 3; },
         Expected(L"Collapse &View", true, true, false, false, false)},
    };
    for (const Case& c : cases) {
        editor().SetSelection(-1, -1);
        editor().modified = 0;
        editor().viewMode = 1;
        PutOnClipboard(CF_TEXT, "x", 2);
        c.setUp();
        const Seen seen = AppsKey();
        EXPECT_EQ(seen.opened, 1) << c.name;
        EXPECT_EQ(seen.lines, c.expected) << c.name;
    }
    editor().modified = 0;
}

TEST_F(ContextMenu, AnEmptyFileGreysSelectAll) {
    Show(0);
    const Seen seen = AppsKey();
    EXPECT_EQ(seen.lines, Expected(L"Expand &View", true, true, false, true, false));
}

TEST_F(ContextMenu, RightClickOnTheAddressColumnMakesGoToTheDefault) {
    Show(64);
    const Seen address = RightClick(POINT{10, 10});
    EXPECT_EQ(address.lines, Expected(L"Expand &View", true, true, false, false, true));
    const Seen bytes = RightClick(HexAt(1, 2));
    EXPECT_EQ(bytes.lines, Expected(L"Expand &View", true, true, false, false, false));
}

TEST_F(ContextMenu, OpensLeftOfThePointerOrRightOfTheCaret) {
    Show(64);
    const POINT click = HexAt(2, 3);
    const Seen mouse = RightClick(click);
    const POINT at = Screen(click);
    EXPECT_EQ(mouse.rect.right, at.x + 5);
    EXPECT_EQ(mouse.rect.top, at.y);

    editor().PlaceCaret(10);
    const POINT caret = Screen(POINT{editor().caretX, editor().caretY});
    const Seen keyboard = AppsKey();
    EXPECT_EQ(keyboard.rect.left, caret.x);
    EXPECT_EQ(keyboard.rect.top, caret.y);
    const Seen message =
        WithMenu([&] { SendMessageW(page.view(), WM_CONTEXTMENU, 0, MAKELPARAM(-1, -1)); });
    EXPECT_EQ(message.rect.left, caret.x);
    EXPECT_EQ(message.rect.top, caret.y);
}

TEST_F(ContextMenu, RightClickPutsTheVisibleCaretOnTheByteUnderThePointer) {
    Show(64);
    editor().PlaceCaret(0);
    SetFocus(page.button());
    // Byte 10 (row 1, column 2) in the hex pane, then byte 20 in the text pane.
    RightClick(HexAt(1, 2));
    EXPECT_EQ(GetFocus(), page.view());
    EXPECT_EQ(editor().caretOffset, 10);
    EXPECT_EQ(editor().caretPane, 2);
    POINT caret{-1, -1};
    GetCaretPos(&caret);
    EXPECT_EQ(caret.x, kHexX + 6 * kCw);
    EXPECT_EQ(caret.y, 3 + kCh);
    EXPECT_EQ(editor().caretShown, 1);
    EXPECT_EQ(editor().caretX, kHexX + 6 * kCw);
    EXPECT_EQ(editor().caretY, 3 + kCh);
    // The next key edits the byte where the caret is drawn.
    SendMessageW(page.view(), WM_CHAR, L'7', 1);
    ASSERT_GT(editor().length, 10);
    EXPECT_EQ(editor().buffer[10] >> 4, 7);
    EXPECT_EQ(editor().buffer[0], 'a');

    RightClick(TextAt(2, 4));
    EXPECT_EQ(editor().caretOffset, 20);
    EXPECT_EQ(editor().caretPane, 1);
    GetCaretPos(&caret);
    EXPECT_EQ(caret.x, kTextX + 4 * kCw);
    EXPECT_EQ(caret.y, 3 + 2 * kCh);
    editor().modified = 0;
}

TEST_F(ContextMenu, ChosenItemsRunTheirCommands) {
    Show(64);
    // "Select &All".
    AppsKey(L"a");
    EXPECT_EQ(editor().SelectionLength(), 64);
    // "&Delete" deletes the selection.
    AppsKey(L"d");
    EXPECT_EQ(editor().length, 0);
    EXPECT_EQ(editor().modified, 1);
    // "&Hex Editor", "Fil&e", "&Save": saves at once, without a question.
    AppsKey(L"hes");
    EXPECT_EQ(editor().modified, 0);
    EXPECT_TRUE(ReadAll(path).empty()); // and no question: any box fails the test
    // "&Hex Editor", "Expand &View": the page is told to step to mode 2, and the next menu
    // names the step after it.
    const Seen before = AppsKey(L"hv");
    EXPECT_EQ(editor().viewMode, 2);
    bool told = false;
    for (const MSG& m : page.Received())
        told = told || (m.message == WM_HEXVIEWSIZE && m.wParam == 2);
    EXPECT_TRUE(told);
    const Seen after = AppsKey();
    EXPECT_EQ(after.lines.size(), before.lines.size());
    bool named = false;
    for (const std::wstring& line : after.lines)
        named = named || line == L"  Extend &View 45";
    EXPECT_TRUE(named);
}

TEST_F(ContextMenu, DismissedMenuChangesNothing) {
    Show(64);
    editor().caretOffset = 5;
    editor().PlaceCaret(5);
    const Seen seen = AppsKey();
    EXPECT_EQ(seen.opened, 1);
    EXPECT_EQ(editor().length, 64);
    EXPECT_EQ(editor().modified, 0);
    EXPECT_EQ(editor().caretOffset, 5);
    EXPECT_EQ(editor().selAnchor, -1);
}

TEST_F(ContextMenu, RealKeysOpenItAtTheCaret) {
    Show(64);
    SetForegroundWindow(page.page());
    SetFocus(page.view());
    ASSERT_EQ(GetFocus(), page.view());
    editor().caretOffset = 9;
    editor().PlaceCaret(9);
    struct Press {
        const char* name;
        std::vector<WORD> keys; // pressed in order, released in reverse
    };
    const Press presses[] = {{"Applications key", {VK_APPS}}, {"Shift+F10", {VK_SHIFT, VK_F10}}};
    for (const Press& press : presses) {
        // The menu opens while the press is handled; the release and whatever the system makes
        // of it may not open it again.
        const Seen seen = WithMenu([&] {
            for (WORD key : press.keys)
                Key(key, false);
            for (auto key = press.keys.rbegin(); key != press.keys.rend(); ++key)
                Key(*key, true);
            PumpFor(400);
        });
        EXPECT_EQ(seen.opened, 1) << press.name;
        const POINT caret = Screen(POINT{editor().caretX, editor().caretY});
        EXPECT_EQ(seen.rect.left, caret.x) << press.name;
        EXPECT_EQ(seen.rect.top, caret.y) << press.name;
        const Seen again = WithMenu([] { PumpFor(300); });
        EXPECT_EQ(again.opened, 0) << press.name;
    }
}
