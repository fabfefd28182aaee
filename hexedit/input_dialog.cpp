// The input dialog that Find and Go To share: its Find face, the Go To length limit, and the
// typed text handed to the editor as the view's bytes.
#include "hexedit/core/byte_buffer.h"
#include "hexedit/core/find_input.h"
#include "hexedit/editor_dialog.h"
#include "hexedit/hex_edit.h"
#include "resources/resource_ids.h"

namespace {

void ShowFindFace(HWND dialog) {
    SetWindowTextW(dialog, L"Find");
    SetDlgItemTextW(dialog, IDC_INPUT_LABEL, L"Fi&nd what:");
    SetDlgItemTextW(dialog, IDOK, L"&Find");
}

// The input as a zero-terminated copy in the view's bytes, or null when a block can't be had.
// `inViewBytes`: every character had a byte.
char* ReadInput(HWND dialog, bool& inViewBytes) {
    HWND input = GetDlgItem(dialog, IDC_INPUT_TEXT);
    const int length = GetWindowTextLengthW(input);
    if (length < 0)
        return nullptr;
    const uint64_t units = static_cast<uint64_t>(length) + 1;
    GuardedBlock<char> text(static_cast<char*>(GuardedAlloc(units)));
    GuardedBlock<wchar_t> wide(static_cast<wchar_t*>(GuardedAlloc(units * sizeof(wchar_t))));
    if (!text || !wide)
        return nullptr;
    const int read = GetWindowTextW(input, wide.get(), length + 1);
    const size_t count = read > 0 ? static_cast<size_t>(read) : 0;
    inViewBytes = find_input::ViewBytesOf(wide.get(), count, text.get());
    text.get()[count] = '\0';
    return text.release();
}

} // namespace

INT_PTR CALLBACK CHexEdit::InputDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        const CHexEdit* editor = AdoptEditor(dialog, lParam);
        if (!editor)
            return TRUE;
        if (editor->dialogKind == kDialogFind)
            ShowFindFace(dialog);
        else
            SendDlgItemMessageW(dialog, IDC_INPUT_TEXT, EM_LIMITTEXT,
                                find_input::GoToInputLimit(static_cast<uint64_t>(editor->length)),
                                0);
        return TRUE;
    }
    case WM_COMMAND: {
        if (HIWORD(wParam) != 0)
            return FALSE;
        const WORD id = LOWORD(wParam);
        if (id == IDOK) {
            if (CHexEdit* editor = EditorOfDialog(dialog)) {
                GuardedFree(editor->dialogText);
                editor->dialogText = ReadInput(dialog, editor->dialogTextInViewBytes);
            }
            EndDialog(dialog, 0);
            return TRUE;
        }
        if (id == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

GuardedBlock<char> CHexEdit::AskForInput(int32_t kind, bool* inViewBytes) {
    dialogKind = kind;
    dialogTextInViewBytes = true;
    GuardedFree(dialogText);
    dialogText = nullptr;
    RunEditorDialog(*this, IDD_INPUT_DIALOG, InputDlgProc);
    GuardedBlock<char> text(dialogText);
    dialogText = nullptr;
    if (inViewBytes)
        *inViewBytes = dialogTextInViewBytes;
    return text;
}
