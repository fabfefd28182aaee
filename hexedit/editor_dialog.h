// The editor's small modal dialogs (Find and Go To input, Edit Bits): made from the module's own
// templates inside its activation context, and centred on the view.
#pragma once

#include <windows.h>

class CHexEdit;

// Runs dialog template `templateId` of the module, owned by the view, with the editor as the
// init parameter. Returns the dialog's result (-1 when it could not be made).
INT_PTR RunEditorDialog(CHexEdit& editor, int templateId, DLGPROC procedure);

// WM_INITDIALOG's common part: keeps the editor given as the init parameter in the dialog's
// DWLP_USER slot and centres the dialog on its view. Returns the editor (null if none came).
CHexEdit* AdoptEditor(HWND dialog, LPARAM initParameter);

// The editor kept in a dialog's DWLP_USER slot.
CHexEdit* EditorOfDialog(HWND dialog);
