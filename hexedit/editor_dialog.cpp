#include "hexedit/editor_dialog.h"

#include "hexedit/hex_edit.h"
#include "hexedit/module_context.h"
#include "hexedit/win32_handles.h"

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
    RECT dialogFrame{};
    POINT clientOrigin{0, 0};
    if (!GetWindowRect(view, &viewFrame) || !ClientToScreen(view, &clientOrigin) ||
        !GetWindowRect(dialog, &dialogFrame))
        return;
    // The client origin lies just inside the view's left and top border.
    const int width = dialogFrame.right - dialogFrame.left;
    const int height = dialogFrame.bottom - dialogFrame.top;
    const int left = (viewFrame.right + clientOrigin.x) / 2 - (width + 1) / 2;
    const int top = (viewFrame.bottom + clientOrigin.y) / 2 - (height + 1) / 2;
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
