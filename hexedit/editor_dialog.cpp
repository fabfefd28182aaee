#include "hexedit/editor_dialog.h"

#include "hexedit/hex_edit.h"
#include "hexedit/module_context.h"
#include "hexedit/win32_handles.h"
#include "hexedit/window_rect.h"

INT_PTR RunEditorDialog(CHexEdit& editor, int templateId, DLGPROC procedure) {
    // Inside a host the process's instance and context are not ours.
    ScopedActivationContext context(ModuleActivationContext());
    return DialogBoxParamW(ModuleInstance(), MAKEINTRESOURCEW(templateId), editor.hwnd, procedure,
                           reinterpret_cast<LPARAM>(&editor));
}

namespace {

// Puts the dialog's centre on the view's centre, keeping its size.
void CentreDialogOnView(HWND dialog, HWND view) {
    RECT viewFrame{};
    RECT client{};
    RECT dialogFrame{};
    if (!GetWindowRect(view, &viewFrame) || !GetClientRect(view, &client) ||
        !MapRect(view, nullptr, client) || !GetWindowRect(dialog, &dialogFrame))
        return;
    // The client area starts just inside the view's top border, and the border is as wide at
    // the left. The client area's own left edge is no guide: in a mirrored page the scroll bar
    // comes before it.
    const int border = client.top - viewFrame.top;
    const int width = dialogFrame.right - dialogFrame.left;
    const int height = dialogFrame.bottom - dialogFrame.top;
    const int left = (viewFrame.left + border + viewFrame.right) / 2 - (width + 1) / 2;
    const int top = (viewFrame.bottom + client.top) / 2 - (height + 1) / 2;
    SetWindowPos(dialog, HWND_NOTOPMOST, left, top, 0, 0, SWP_NOSIZE);
}

} // namespace

CHexEdit* AdoptEditor(HWND dialog, LPARAM initParameter) {
    SetWindowLongPtrW(dialog, DWLP_USER, initParameter);
    auto* editor = reinterpret_cast<CHexEdit*>(initParameter);
    if (editor)
        CentreDialogOnView(dialog, editor->hwnd);
    return editor;
}

CHexEdit* EditorOfDialog(HWND dialog) {
    return reinterpret_cast<CHexEdit*>(GetWindowLongPtrW(dialog, DWLP_USER));
}
