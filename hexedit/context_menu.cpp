// The editor's context menu: built afresh from the core's tree, greyed for the moment it
// opens, tracked for one choice, destroyed, then the chosen command runs.
#include "hexedit/clipboard_format.h"
#include "hexedit/core/context_menu_rules.h"
#include "hexedit/hex_edit.h"
#include "hexedit/module_context.h"
#include "hexedit/win32_handles.h"

namespace {

struct BuiltMenu {
    UniqueMenu root; // destroying it destroys every submenu attached to it
    HMENU hexEditor = nullptr;
};

// Null when any menu or item can't be made; whatever was made is destroyed then.
BuiltMenu BuildMenu(int32_t viewMode) {
    BuiltMenu built;
    built.root.reset(CreatePopupMenu());
    if (!built.root)
        return built;
    HMENU stack[8] = {built.root.get()};
    size_t depth = 1;
    bool ok = true;
    for (const menu::Entry& entry : menu::kTree) {
        HMENU current = stack[depth - 1];
        switch (entry.kind) {
        case menu::Kind::kItem:
            ok = AppendMenuW(current, MF_STRING, static_cast<UINT_PTR>(entry.id), entry.label) !=
                 FALSE;
            break;
        case menu::Kind::kSeparator:
            ok = AppendMenuW(current, MF_SEPARATOR, 0, nullptr) != FALSE;
            break;
        case menu::Kind::kViewItem:
            if (const wchar_t* label = menu::ViewItemLabel(viewMode))
                ok = AppendMenuW(current, MF_STRING, static_cast<UINT_PTR>(entry.id), label) !=
                     FALSE;
            break;
        case menu::Kind::kBegin: {
            UniqueMenu sub(CreatePopupMenu()); // owned here until attached
            ok = sub && depth < 8 &&
                 AppendMenuW(current, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(sub.get()),
                             entry.label) != FALSE;
            if (ok) {
                if (!built.hexEditor)
                    built.hexEditor = sub.get();
                stack[depth++] = sub.release();
            }
            break;
        }
        case menu::Kind::kEnd:
            if (depth > 1)
                --depth;
            break;
        }
        if (!ok) {
            built.root.reset();
            built.hexEditor = nullptr;
            return built;
        }
    }
    return built;
}

bool ClipboardHasBytes() {
    UINT formats[2] = {CF_TEXT, PrivateClipboardFormat()};
    const int count = formats[1] ? 2 : 1;
    return menu::PriorityFormatFound(GetPriorityClipboardFormat(formats, count));
}

void GreyItems(HMENU root, const menu::State& state) {
    for (const menu::Entry& entry : menu::kTree) {
        if ((entry.kind == menu::Kind::kItem || entry.kind == menu::Kind::kViewItem) &&
            menu::IsGreyed(entry.id, state))
            EnableMenuItem(root, static_cast<UINT>(entry.id), MF_BYCOMMAND | MF_GRAYED);
    }
}

} // namespace

void CHexEdit::ShowContextMenu(POINT point, bool fromMouse, bool goToDefault) {
    int chosen = 0;
    {
        ScopedActivationContext context(ModuleActivationContext());
        BuiltMenu built = BuildMenu(viewMode);
        if (!built.root)
            return;
        const menu::State state{selAnchor != -1, modified != 0, ClipboardHasBytes(),
                                SelectionLength() == length};
        GreyItems(built.root.get(), state);
        if (goToDefault)
            SetMenuDefaultItem(built.hexEditor, menu::kGoTo, FALSE);
        ClientToScreen(hwnd, &point);
        // From the mouse the menu opens to the left of the pointer, from the keyboard to the
        // right of the caret.
        const UINT align = fromMouse ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
        const int x = fromMouse ? point.x + 5 : point.x;
        chosen = static_cast<int>(
            TrackPopupMenu(built.root.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_TOPALIGN | align,
                           x, point.y, 0, hwnd, nullptr));
    } // all six menus are gone before the command runs
    menu::Dispatch(*this, chosen);
}
