#include "hexedit/hex_edit.h"

#include <atomic>

#include "hexedit/core/byte_buffer.h"
#include "hexedit/core/font_fit.h"

namespace {

std::atomic<EditorLocator> g_editorLocator{nullptr};

HFONT CreateViewFont(int height, int averageWidth) {
    return CreateFontW(height, averageWidth, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, L"Courier New");
}

} // namespace

void RegisterEditorLocator(EditorLocator locator) {
    g_editorLocator.store(locator);
}

CHexEdit* EditorFromWindow(HWND view) {
    const LONG_PTR userData = GetWindowLongPtrW(view, GWLP_USERDATA);
    const EditorLocator locator = g_editorLocator.load();
    if (userData == 0 || !locator)
        return nullptr;
    return locator(userData);
}

CHexEdit::CHexEdit() : font(CreateViewFont(-12, 0)) {}

CHexEdit::~CHexEdit() {
    GuardedFree(buffer);
    GuardedFree(hexPattern);
    GuardedFree(textPattern);
    GuardedFree(dialogText);
    if (font)
        DeleteObject(font);
}

void CHexEdit::Attach(HWND view, HWND page) {
    originalWndProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(view, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CHexEdit::WindowProc)));
    hwnd = view;
    pageHwnd = page;
    FitFontToWindow();
}

void CHexEdit::FitFontToWindow() {
    // The EDIT control must drop its own focus state and caret: the caret is ours.
    if (originalWndProc)
        CallWindowProcW(originalWndProc, hwnd, WM_KILLFOCUS, 0, 0);
    RECT client{};
    GetClientRect(hwnd, &client);
    if (fontfit::KeepsStandardFont(client.right, client.bottom))
        return;
    if (font)
        DeleteObject(font);
    font = CreateViewFont(0, fontfit::AverageCharWidthFor(client.right));
}
