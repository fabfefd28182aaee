// A stand-in page for tests of the editor alone: a top-level window holding the EDIT
// placeholder the editor takes over (id 1116) and a button after it in the tab order. The
// editor is the one embedded in a real CShellExt.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "hexedit/hex_edit.h"

class CShellExt;

class TestPage {
  public:
    // The placeholder gets exactly this client size.
    TestPage(int clientWidth = 297, int clientHeight = 172);
    ~TestPage();
    TestPage(const TestPage&) = delete;
    TestPage& operator=(const TestPage&) = delete;

    HWND page() const { return page_; }
    HWND view() const { return view_; }
    HWND button() const { return button_; }
    CHexEdit& editor() { return *editor_; }

    // Stores the owner in the view's user data and attaches the editor, as the page does.
    void Attach();
    // Messages the page window received (WM_HEXVIEWSIZE and the like), in order.
    const std::vector<MSG>& Received() const;

    // Runs the thread's message queue until it is empty.
    static void Pump();
    // Invalidates and paints the view now. The first layout may hide the scroll bar and
    // widen the client, so the strip that uncovers is painted too.
    void Repaint();
    // A key-down sent to the view with Shift and Ctrl as the thread's key state shows them
    // while the message is handled; both are released afterwards.
    LRESULT Key(WPARAM key, bool shift = false, bool ctrl = false);

  private:
    HWND page_ = nullptr;
    HWND view_ = nullptr;
    HWND button_ = nullptr;
    // The editor lives in a real extension object, as on the page; the view's user data names
    // that object.
    CShellExt* ext_ = nullptr;
    CHexEdit* editor_ = nullptr;
};

// Sets Shift and Ctrl (and their left keys) in the thread's key state.
void HoldModifiers(bool shift, bool ctrl);

// Through the system's input queue: the keys pressed in turn, then released in reverse; then
// the thread's messages are run for 200 ms.
void PressKeys(const std::vector<WORD>& keys);

// The visible top-level windows of `thread` whose window class is `className` ("#32768" for
// menus, "#32770" for dialogs), topmost first.
std::vector<HWND> VisibleThreadWindows(DWORD thread, const wchar_t* className);

// The progress window of a long read or save shown by `thread`; null when none shows.
HWND ProgressWindowOf(DWORD thread);

// The window rectangle of `window` in the client coordinates of `parent` (both corners mapped
// together, as mirrored windows need).
RECT RectInParent(HWND parent, HWND window);

// Files for tests, in a fresh folder of the Unix temp dir, with Windows (Z:) paths.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    // Unix-style path under the folder (for tools run from the test), and the Windows path.
    std::wstring Path(const std::wstring& name) const;
    std::wstring Write(const std::wstring& name, const std::vector<uint8_t>& bytes) const;
    std::wstring folder() const { return folder_; }

  private:
    std::wstring folder_;
};

// A fresh, uniquely named folder under `parent` ("Z:\tmp\<prefix>-<pid>-<n>\"), created.
std::wstring MakeUniqueTempFolder(const wchar_t* prefix, const wchar_t* parent = L"Z:\\tmp");

// `count` bytes that differ from their neighbours: seed, seed + 7, seed + 14, ...
std::vector<uint8_t> SeededBytes(size_t count, uint8_t seed);

// A 16 x 16 icon file: the shell extracts its own icon for it, one the page owns and must
// destroy (for most file types it hands out a shared icon instead).
std::vector<uint8_t> IconFileBytes();

std::vector<uint8_t> ReadAll(const std::wstring& path);
// Whether `icon` still exists (not yet destroyed).
bool IconAlive(HICON icon);
// The bytes the editor holds; none without a buffer.
std::vector<uint8_t> EditorBytes(const CHexEdit& editor);
bool Exists(const std::wstring& path);
