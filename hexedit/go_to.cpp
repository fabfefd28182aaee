// Go To: the shared input dialog with its own face; the core reads the address.
#include "hexedit/core/byte_buffer.h"
#include "hexedit/core/go_to_edit_bits.h"
#include "hexedit/hex_edit.h"

void CHexEdit::ShowGoToDialog() {
    const GuardedBlock<char> text = AskForInput(kDialogGoTo);
    if (!text)
        return;
    ForgetCancelledReads(); // the user goes to bytes: rows left unread there are read now
    editing::GoToAddress(*this, text.get());
}
