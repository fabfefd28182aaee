// Edit Bits: the byte under the caret as eight check boxes beside its old value; the core
// stores the result.
#include "hexedit/core/go_to_edit_bits.h"
#include "hexedit/editor_dialog.h"
#include "hexedit/hex_edit.h"
#include "hexedit/nudge_control.h"
#include "resources/resource_ids.h"

namespace {

constexpr INT_PTR kSet = 1;
constexpr INT_PTR kCancelled = 2;

// Bit k (mask 1 << k) of each row.
constexpr int kOldBoxes[8] = {IDC_OLD_BIT0, IDC_OLD_BIT1, IDC_OLD_BIT2, IDC_OLD_BIT3,
                              IDC_OLD_BIT4, IDC_OLD_BIT5, IDC_OLD_BIT6, IDC_OLD_BIT7};
constexpr int kNewBoxes[8] = {IDC_NEW_BIT0, IDC_NEW_BIT1, IDC_NEW_BIT2, IDC_NEW_BIT3,
                              IDC_NEW_BIT4, IDC_NEW_BIT5, IDC_NEW_BIT6, IDC_NEW_BIT7};

uint8_t ValueOfNewBoxes(HWND dialog) {
    unsigned value = 0;
    for (int bit = 0; bit < 8; ++bit)
        if (IsDlgButtonChecked(dialog, kNewBoxes[bit]) == BST_CHECKED)
            value |= 1u << bit;
    return static_cast<uint8_t>(value);
}

} // namespace

INT_PTR CALLBACK CHexEdit::EditBitsDlgProc(HWND dialog, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        // The disabled row sits one pixel low against its label in dialog units.
        for (int id : kOldBoxes)
            NudgeControl(dialog, id, -1, 0);
        const CHexEdit* editor = AdoptEditor(dialog, lParam);
        if (!editor)
            return TRUE;
        for (int bit = 0; bit < 8; ++bit) {
            if (editor->editBitsValue & (1u << bit)) {
                CheckDlgButton(dialog, kOldBoxes[bit], BST_CHECKED);
                CheckDlgButton(dialog, kNewBoxes[bit], BST_CHECKED);
            }
        }
        return TRUE;
    }
    case WM_COMMAND: {
        if (HIWORD(wParam) != 0)
            return FALSE;
        const WORD id = LOWORD(wParam);
        if (id == IDOK) {
            if (CHexEdit* editor = EditorOfDialog(dialog))
                editor->editBitsValue = ValueOfNewBoxes(dialog);
            EndDialog(dialog, kSet);
            return TRUE;
        }
        if (id == IDCANCEL) {
            EndDialog(dialog, kCancelled);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

void CHexEdit::ShowEditBitsDialog() {
    if (!fileLoaded)
        return;
    editBitsValue = editing::ByteUnderCaret(*this);
    const uint8_t oldValue = editBitsValue;
    if (RunEditorDialog(*this, IDD_EDIT_BITS, EditBitsDlgProc) != kSet)
        return;
    editing::StoreEditedByte(*this, oldValue, editBitsValue);
}
