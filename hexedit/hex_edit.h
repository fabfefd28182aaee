// CHexEdit: the hex view of the page. It takes over a plain EDIT placeholder control and
// shows and edits one file held whole in memory.
#pragma once

#include <windows.h>

#include <cstdint>

#include "hexedit/core/limits.h"

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

    // Scrolling, caret and mouse.
    void UpdateScrollBar();
    void Scroll(int code);
    void Invalidate();
    void EnsureVisible(int32_t offset);
    void PlaceCaret(int32_t offset);
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
    void OnMouseWheel(int delta);

    // Message dispatch.
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    // Keyboard and navigation.
    void OnKeyDown(WPARAM key);
    void MoveCaret(int dx, int dy);
    void SetSelection(int32_t anchor, int32_t end);
    void SelectAll();
    int32_t SelectionLength() const;
    // The keyboard's way to the context menu: at the caret, no default item.
    void ShowContextMenuAtCaret();
    // Tab out of the editor: focus to the sheet's next (or previous) tab stop.
    void MoveFocusOut(bool previous);

    // Editing.
    void OnChar(WPARAM code);
    bool ResizeBuffer(int32_t delta);
    void DeleteForward();
    void DeleteBackward();
    void DeleteSelection();

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
    // Lets go of the file's bytes once no page shows them any more. The shell may keep the
    // editor's owner alive long after its dialog has gone (Wine's never releases it).
    void ReleaseFile();
    LRESULT CycleViewSize();

    // State. Offsets and pixel values are signed 32-bit; flags hold 0 or 1.
    uint8_t* buffer = nullptr;
    int32_t length = 0;
    int32_t topOffset = 0;
    int32_t caretOffset = 0;
    int32_t caretPane = 2; // 1 text pane, 2 hex high digit, 3 hex low digit
    int32_t savedHexPane = 2;
    int32_t selAnchor = -1;
    int32_t selEnd = -1;
    int32_t bytesPerRow = 8;
    int32_t visibleRows = 5;
    HFONT font = nullptr;
    int32_t charWidth = -1;
    int32_t charHeight = -1;
    int32_t layoutStale = 1;
    int32_t hexColumnX = 0;
    int32_t textColumnX = 0;
    int32_t caretX = 0;
    int32_t caretY = 0;
    int32_t overwriteMode = 1;
    int32_t caretShown = 0;
    int32_t viewMode = 1;
    int32_t normalWidth = 318;
    int32_t normalHeight = 176;
    int32_t normalLeft = 20;
    int32_t normalTop = 60;
    WNDPROC originalWndProc = nullptr;
    HWND hwnd = nullptr;
    HWND pageHwnd = nullptr;
    int32_t dialogKind = 0; // 1 Find, 2 Go To
    char* dialogText = nullptr;
    uint8_t* hexPattern = nullptr;
    int32_t hexPatternState = 0;
    int32_t hexPatternLength = 0;
    uint8_t* textPattern = nullptr;
    int32_t textPatternActive = 0;
    int32_t textPatternLength = 0;
    int32_t modified = 0;
    wchar_t filePath[kPathCapacity] = {};
    int32_t caretPending = 0;
    int32_t caretMadeByPaint = 0;
    uint8_t editBitsValue = 0;
    int32_t bookmarkSlot = -1;

  private:
    DWORD ReportFileError(const wchar_t* format, const wchar_t* title, DWORD code);
    void ResetViewState(int32_t newLength);
};

// The view window's user data holds the object that owns the editor (set by the page before
// Attach). The owner registers how to get from that object to its editor, so this layer
// needs to know nothing about it.
using EditorLocator = CHexEdit* (*)(LONG_PTR userData);
void RegisterEditorLocator(EditorLocator locator);

// The editor of a view window; null when the window has no user data or no locator is known.
CHexEdit* EditorFromWindow(HWND view);
