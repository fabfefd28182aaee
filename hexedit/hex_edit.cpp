#include "hexedit/hex_edit.h"

#include <imm.h>

#include <atomic>

#include "hexedit/core/address_width.h"
#include "hexedit/core/byte_buffer.h"
#include "hexedit/core/font_fit.h"
#include "hexedit/on_demand_file.h"
#include "hexedit/win32_handles.h"

namespace {

std::atomic<EditorLocator> g_editorLocator{nullptr};

constexpr int kStandardFontHeight = -12;

HFONT CreateViewFont(int height, int averageWidth) {
    return CreateFontW(height, averageWidth, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, L"Courier New");
}

// Width of the view's character cell with `font`, as the layout will measure it.
int CellWidth(HWND window, HFONT font) {
    ScopedWindowDc dc(window);
    if (!dc.get() || !font)
        return 0;
    ScopedSelectObject select(dc.get(), font);
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), L"0", 1, &size);
    return size.cx;
}

// The font for a cell `averageWidth` pixels wide. The font mapper is asked by width with the
// height left to it; a mapper that ignores the width (Wine's does) would make the rows wider
// or narrower than the view, so then the tallest height whose cell fits is taken instead.
HFONT CreateFontForCellWidth(HWND window, int averageWidth) {
    UniqueFont font(CreateViewFont(0, averageWidth));
    const int measured = CellWidth(window, font.get());
    if (averageWidth <= 0 || measured == 0 || measured == averageWidth)
        return font.release();
    for (int height = 2 * averageWidth + 2; height >= 4; --height) {
        UniqueFont candidate(CreateViewFont(-height, 0));
        const int width = CellWidth(window, candidate.get());
        if (width > 0 && width <= averageWidth)
            return candidate.release();
    }
    return font.release();
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

CHexEdit::CHexEdit() : font(CreateViewFont(kStandardFontHeight, 0)) {}

CHexEdit::~CHexEdit() {
    GuardedFree(buffer);
    GuardedFree(hexPattern);
    GuardedFree(textPattern);
    GuardedFree(dialogText);
    ReplaceFont(nullptr);
}

void CHexEdit::ReplaceFont(HFONT newFont) {
    if (font)
        DeleteObject(font);
    font = newFont;
}

void CHexEdit::Attach(HWND view, HWND page) {
    originalWndProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(view, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CHexEdit::WindowProc)));
    hwnd = view;
    pageHwnd = page;
    // Offsets and hex dumps read left to right in every language. A mirrored page would
    // mirror the view with it: its picture, and with that its caret and pointer positions.
    // Unmirrored, all three keep one coordinate system while the page around it stays mirrored.
    const LONG_PTR exStyle = GetWindowLongPtrW(view, GWL_EXSTYLE);
    if (exStyle & WS_EX_LAYOUTRTL) {
        SetWindowLongPtrW(view, GWL_EXSTYLE, exStyle & ~LONG_PTR{WS_EX_LAYOUTRTL});
        SetWindowPos(view, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // An input method composing on the view keeps its unfinished text in the EDIT control's
    // own buffer, and leaves it there when the focus goes mid-way; nothing here shows or
    // clears that buffer. Without one, typed characters come to the view directly.
    ImmAssociateContext(view, nullptr);
    FitFontToWindow();
}

void CHexEdit::FitFontToWindow() {
    // The EDIT control must drop its own focus state and caret: the caret is ours.
    if (originalWndProc)
        CallWindowProcW(originalWndProc, hwnd, WM_KILLFOCUS, 0, 0);
    RECT client{};
    GetClientRect(hwnd, &client);
    // Addresses of more than 8 digits need a narrower font than the standard one.
    const int32_t digits = address::ViewDigits(static_cast<uint64_t>(length), bytesPerRow);
    fontDigits = digits;
    layoutStale = 1;
    if (digits == address::kNarrowDigits && fontfit::KeepsStandardFont(client.right, client.bottom))
        ReplaceFont(CreateViewFont(kStandardFontHeight, 0));
    else
        ReplaceFont(
            CreateFontForCellWidth(hwnd, fontfit::AverageCharWidthFor(client.right, digits)));
}

void CHexEdit::RefitFontForAddresses() {
    if (address::ViewDigits(static_cast<uint64_t>(length), bytesPerRow) != fontDigits)
        FitFontToWindow();
}
