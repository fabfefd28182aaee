// CHexEdit: the hex view of the page. It takes over a plain EDIT placeholder control and
// shows and edits one file held whole in memory.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "hexedit/accessible_view.h"
#include "hexedit/core/byte_buffer.h"
#include "hexedit/core/editor_fields.h"
#include "hexedit/file_stamp.h"
#include "hexedit/win32_handles.h"

struct OnDemandFile;

// Sent to the page with wParam = the new view-size mode (1, 2 or 3), lParam = 0.
constexpr UINT WM_HEXVIEWSIZE = WM_APP + 1;

// Result of HitTest for a point over the address column.
constexpr LONG kAddressColumnHit = -666777;

class CHexEdit {
  public:
    CHexEdit();
    virtual ~CHexEdit();
    CHexEdit(const CHexEdit&) = delete;
    CHexEdit& operator=(const CHexEdit&) = delete;

    // Set-up and font.
    void Attach(HWND view, HWND page);
    void FitFontToWindow();

    // Painting.
    void Paint();
    // After a paint: the first read of a file shown on demand that failed, told once.
    void TellUnreadBytes();
    // Whether the user cancelled a read of the file shown on demand since the last call.
    bool TakeCancelledRead();
    // The user moved to bytes again (a key, a scroll, a click, Go To): rows whose read was
    // cancelled are read when next shown.
    void ForgetCancelledReads();

    // Scrolling, caret and mouse.
    void UpdateScrollBar();
    void Scroll(int code);
    void Invalidate();
    void EnsureVisible(int64_t offset);
    void PlaceCaret(int64_t offset);
    void RecreateCaret();
    void CreateEditCaret();
    void SetCaretPixel(int x, int y);
    void ShowEditCaret();
    void HideEditCaret();
    POINT HitTest(int x, int y);
    void OnSetFocus();
    void OnKillFocus();
    void OnLButtonDown(WPARAM flags, int x, int y);
    void OnMouseMove(WPARAM flags, int x, int y);
    void OnLButtonUp();
    // Right button released: the caret goes to the byte under the pointer, then the menu opens.
    void OnRButtonUp(int x, int y);
    void OnMouseWheel(int delta);

    // Message dispatch.
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    // Keyboard and navigation.
    void OnKeyDown(WPARAM key);
    void MoveCaret(int dx, int dy);
    void SetSelection(int64_t anchor, int64_t end);
    void SelectAll();
    int64_t SelectionLength() const;
    // The keyboard's way to the context menu: at the caret, no default item.
    void ShowContextMenuAtCaret();
    // Tab out of the editor: focus to the sheet's next (or previous) tab stop.
    void MoveFocusOut(bool previous);

    // Editing.
    void OnChar(WPARAM code);
    bool ResizeBuffer(int64_t delta);
    // A file read on demand keeps its length: says so once for the refused insert or delete.
    void ReportResizeRefused();
    void DeleteForward();
    void DeleteBackward();
    void DeleteSelection();
    // A typed character the view can't take.
    void Beep();

    // Clipboard.
    void Cut();
    void Copy();
    void CopyAs(int layout);
    void Paste();
    // Empties the clipboard and puts one NUL-terminated 8-bit text there.
    void PutClipboardText(const char* text);
    // "Could not copy to clipboard - " and the system's text for the thread's last error.
    void ReportClipboardError();

    // Context menu.
    void ShowContextMenu(POINT point, bool fromMouse, bool goToDefault);

    // Bookmarks.
    void GoToBookmark(int slot);
    LONG SetBookmark(int slot);
    void NextBookmark();
    void PreviousBookmark();

    // Find, Go To and Edit Bits.
    void ShowFindDialog(int direction);
    void FindNext(int direction);
    void FindPrevious();
    void ShowGoToDialog();
    void ShowEditBitsDialog();

    // File load, save and revert; view size.
    DWORD LoadFile(const wchar_t* path);
    DWORD SaveFile(int ask);
    void RevertFile();
    // When the view gets the focus back: a file read on demand that another program changed
    // meanwhile is shown as it now is, unless the user has changes (the save's question decides).
    void ShowFileAsItIsNow();
    // Lets go of the file's bytes once no page shows them any more. The shell may keep the
    // editor's owner alive long after its dialog has gone (Wine's never releases it).
    void ReleaseFile();
    LRESULT CycleViewSize();

    // State: the portable fields are listed in hexedit/core/editor_fields.h.
    HEXEDIT_VIEW_FIELDS(HEXEDIT_DECLARE_FIELD)
    HFONT font = nullptr;
    HEXEDIT_LAYOUT_FIELDS(HEXEDIT_DECLARE_FIELD)
    WNDPROC originalWndProc = nullptr;
    HWND hwnd = nullptr;
    HWND pageHwnd = nullptr;
    HEXEDIT_COMMAND_FIELDS(HEXEDIT_DECLARE_FIELD)
    // What assistive technology is given and was last told.
    ViewAccessibility accessibility;

  private:
    // The one place the view font is let go of.
    void ReplaceFont(HFONT newFont);
    // Fits the font again when the file now shown needs another number of address digits.
    void RefitFontForAddresses();
    DWORD ReportFileError(const wchar_t* format, const wchar_t* title, DWORD code);
    // Every load and release ends here: the whole-block source follows the buffer.
    void ResetViewState(int64_t newLength);
    // The reading part of LoadFile, from the attribute check on; the code to report.
    DWORD ReadIntoBuffer(const std::wstring& path);
    // The writing part of SaveFile, asking about a file changed by another program; the code
    // to report, ERROR_CANCELLED when the user declined. `told`: the user has been told why
    // nothing was written; `partlyWritten`: a failure came after part of the changes.
    DWORD WriteOverFile(bool& told, bool& partlyWritten);
    // Another program deleted the file read on demand: let go of it, show the view as after a
    // failed load, and say so.
    void DropDeletedFile();

    FileStamp fileStamp;
    int32_t fontDigits = 8; // the address digits the font was fitted for
    // A file too large to be held whole (filesize::FitsInBuffer: 2 GiB or more, 256 MiB in a
    // 32-bit process), read on demand while it is shown: its handle stays open until
    // a switch, a revert, the release or the end. Null for a file held whole.
    std::unique_ptr<OnDemandFile> largeFile;
    bool checkingStamp = false; // the focus comes back from the check's own progress window
    // Set only while a load has succeeded: without a file nothing may edit the buffer or save
    // it, whatever messages reach the (disabled) view.
    bool fileLoaded = false;

    // Find, Go To and Edit Bits: the faces of the shared input dialog and the dialog procedures.
    static constexpr int32_t kDialogFind = 1;
    static constexpr int32_t kDialogGoTo = 2;
    // The text confirmed in the input dialog with the face of `kind`, in the view's bytes;
    // null when cancelled or when the text could not be copied. `inViewBytes` says whether
    // every character had a byte (those without one are '?').
    GuardedBlock<char> AskForInput(int32_t kind, bool* inViewBytes = nullptr);
    // Set with dialogText: whether every character typed had a byte.
    bool dialogTextInViewBytes = true;
    static INT_PTR CALLBACK InputDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK EditBitsDlgProc(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam);
};

// The view window's user data holds the object that owns the editor (set by the page before
// Attach). The owner registers how to get from that object to its editor, so this layer
// needs to know nothing about it.
using EditorLocator = CHexEdit* (*)(LONG_PTR userData);
void RegisterEditorLocator(EditorLocator locator);

// The editor of a view window; null when the window has no user data or no locator is known.
CHexEdit* EditorFromWindow(HWND view);
