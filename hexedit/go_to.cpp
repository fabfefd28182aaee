// Go To: the shared input dialog with its own face; the core reads the address.
#include "hexedit/core/byte_buffer.h"
#include "hexedit/core/go_to_edit_bits.h"
#include "hexedit/editor_dialog.h"
#include "hexedit/hex_edit.h"
#include "resources/resource_ids.h"

void CHexEdit::ShowGoToDialog() {
    dialogKind = kDialogGoTo;
    GuardedFree(dialogText);
    dialogText = nullptr;
    RunEditorDialog(*this, IDD_INPUT_DIALOG, InputDlgProc);
    if (!dialogText)
        return;
    editing::GoToAddress(*this, dialogText);
    GuardedFree(dialogText);
    dialogText = nullptr;
}
