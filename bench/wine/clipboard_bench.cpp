// The clipboard through the real view: Ctrl+C of a 256 MiB selection and Ctrl+V of 256 MiB at
// offset 0 of a 1 GiB file, both files loaded as the page loads them. Each is held against the
// floor the platform sets, measured in the same run: SetClipboardData and GetClipboardData of
// ready-made blocks of the same sizes; the paste also against one memmove of 1 GiB (the tail it
// has to move). Every run is checked for the bytes it should have put on the clipboard or into
// the file.
#include <cstdio>
#include <cstring>

#include "bench_files.h"
#include "bench_timer.h"
#include "memmove_reference.h"
#include "hexedit/clipboard_format.h"
#include "hexedit/core/byte_buffer.h"
#include "hexedit/core/copy_layouts.h"
#include "hexedit/core/paste_rule.h"
#include "support/test_window.h"

namespace {

constexpr int32_t kSelection = 256 << 20;
constexpr int32_t kGiB = 1 << 30;

void HoldCtrl(bool held) {
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_CONTROL] = state[VK_LCONTROL] = held ? 0x80 : 0;
    SetKeyboardState(state);
}

void CtrlKey(HWND view, WPARAM key) {
    HoldCtrl(true);
    SendMessageW(view, WM_KEYDOWN, key, 1);
    HoldCtrl(false);
}

// A block of `size` bytes of `fill`; a raw bytes' block starts with its count of them.
HGLOBAL FilledBlock(uint64_t size, uint8_t fill, bool raw) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, static_cast<SIZE_T>(size));
    if (void* p = GlobalLock(block)) {
        std::memset(p, fill, static_cast<size_t>(size));
        if (raw)
            pasting::WriteRawHeader(size - pasting::kRawHeaderBytes, static_cast<uint8_t*>(p));
        GlobalUnlock(block);
    }
    return block;
}

// Reads every given format back, as a program pasting them would; false unless all came.
bool GetAll(HWND owner, const UINT* formats, int count) {
    if (!OpenClipboard(owner))
        return false;
    int got = 0;
    for (int i = 0; i < count; ++i) {
        HANDLE data = GetClipboardData(formats[i]);
        if (const void* p = data ? GlobalLock(data) : nullptr) {
            volatile uint8_t first = *static_cast<const uint8_t*>(p);
            static_cast<void>(first);
            GlobalUnlock(data);
            ++got;
        }
    }
    CloseClipboard();
    return got == count;
}

// The platform's share: blocks of the given sizes, made and filled before the clock starts,
// set on the clipboard and got back.
Timing SetAndGet(HWND owner, const uint64_t* sizes, const UINT* formats, int count) {
    Samples samples;
    for (int run = 0; run < 3; ++run) {
        HGLOBAL blocks[2] = {};
        for (int i = 0; i < count; ++i)
            blocks[i] = FilledBlock(sizes[i], static_cast<uint8_t>(0x41 + i),
                                    formats[i] == PrivateClipboardFormat());
        samples.Time([&] {
            int set = 0;
            if (OpenClipboard(owner)) {
                EmptyClipboard();
                for (int i = 0; i < count; ++i) {
                    if (SetClipboardData(formats[i], blocks[i]))
                        ++set;
                    else
                        GlobalFree(blocks[i]);
                }
                CloseClipboard();
            }
            return GetAll(owner, formats, count) && set == count;
        });
    }
    return samples.Of();
}

// Null when the clipboard holds the `n` bytes at `bytes` as raw bytes in `rawFormat` and as
// hex text; otherwise what it lacks.
const char* ClipboardHolds(HWND owner, UINT rawFormat, const uint8_t* bytes, uint64_t n) {
    if (!OpenClipboard(owner))
        return "the clipboard did not open";
    const char* missing = nullptr;
    HANDLE raw = GetClipboardData(rawFormat);
    const void* p = raw ? GlobalLock(raw) : nullptr;
    const pasting::RawBytes held =
        pasting::RawBlockBytes(static_cast<const uint8_t*>(p), p ? GlobalSize(raw) : 0);
    if (held.count != n || !held.bytes || std::memcmp(held.bytes, bytes, n) != 0)
        missing = "the clipboard lacks the selected bytes";
    if (p)
        GlobalUnlock(raw);
    HANDLE text = GetClipboardData(CF_TEXT);
    const char* hex = text ? static_cast<const char*>(GlobalLock(text)) : nullptr;
    char first[4];
    std::snprintf(first, sizeof(first), "%02X ", bytes[0]);
    if (!hex || GlobalSize(text) < layouts::HexBlockSize(n) - 1 || std::strncmp(hex, first, 3))
        missing = missing ? missing : "the clipboard lacks the hex text of the selection";
    if (hex)
        GlobalUnlock(text);
    CloseClipboard();
    return missing;
}

// Null when `n` bytes of `fill` stand at offset 0 of the editor, before the file's own first
// byte, in a buffer of `length` bytes.
const char* Pasted(const CHexEdit& editor, int32_t n, uint8_t fill, int32_t length) {
    if (editor.length != length || !editor.buffer)
        return "the paste did not insert 256 MiB";
    for (int32_t i = 0; i < n; ++i)
        if (editor.buffer[i] != fill)
            return "the bytes pasted are not those on the clipboard";
    return editor.buffer[n] == PatternByte(0) ? nullptr
                                              : "the paste did not insert before offset 0";
}

} // namespace

int main() {
    TempFolder folder;
    const std::wstring selectionFile = folder.Path(L"clipboard-256m.bin");
    const std::wstring gibFile = folder.Path(L"clipboard-1g.bin");
    if (!WritePatternFile(selectionFile, kSelection) || !WritePatternFile(gibFile, kGiB)) {
        PrintNotMeasured("clipboard", "could not write the files");
        return BenchExitCode();
    }
    TestPage page;
    page.Attach();
    CHexEdit& editor = page.editor();
    const UINT privateFormat = PrivateClipboardFormat();
    const UINT copyFormats[2] = {CF_TEXT, privateFormat};

    // Copy: a hex text of 3n + 1 bytes and the n raw bytes with their count.
    const uint64_t copySizes[2] = {layouts::HexBlockSize(kSelection),
                                   pasting::kRawHeaderBytes + kSelection};
    const Timing copyFloor = SetAndGet(page.view(), copySizes, copyFormats, 2);
    PrintTiming("floor: set + get 768 MiB text + 256 MiB raw", copyFloor);

    Timing copy = NotMeasured("the 256 MiB file did not load");
    if (LoadPatternFile(editor, selectionFile, kSelection)) {
        editor.SetSelection(0, kSelection - 1);
        copy = TimeRuns(
            3,
            [&] {
                CtrlKey(page.view(), 'C');
                GetAll(page.view(), copyFormats, 2);
            },
            [&] {
                const char* missing =
                    ClipboardHolds(page.view(), privateFormat, editor.buffer, kSelection);
                if (OpenClipboard(page.view())) { // the next run must put them there again
                    EmptyClipboard();
                    CloseClipboard();
                }
                return missing;
            });
    }
    PrintTiming("Ctrl+C of 256 MiB (hex pane) + get", copy);
    PrintRatio("Ctrl+C / floor (median)", copy.median, copyFloor.median, 1.5);

    // Paste: 256 MiB of raw bytes at offset 0 of 1 GiB. The floor leaves its block, 256 MiB of
    // 0x41, on the clipboard: that is what Ctrl+V pastes.
    const uint64_t pasteSize[1] = {pasting::kRawHeaderBytes + kSelection};
    const UINT pasteFormat[1] = {privateFormat};
    const Timing pasteFloor = SetAndGet(page.view(), pasteSize, pasteFormat, 1);
    PrintTiming("floor: set + get 256 MiB raw", pasteFloor);

    const Timing move = MemmoveGiB();
    PrintTiming("memmove of 1 GiB", move);

    Timing paste = NotMeasured("the 1 GiB file did not load");
    if (LoadPatternFile(editor, gibFile, kGiB)) {
        paste = TimeRuns(
            3,
            [&] {
                editor.caretOffset = 0;
                editor.SetSelection(-1, -1);
                CtrlKey(page.view(), 'V');
            },
            [&] {
                const char* missing = Pasted(editor, kSelection, 0x41, kGiB + kSelection);
                // Back to 1 GiB outside the timing.
                editor.SetSelection(0, kSelection - 1);
                editor.DeleteSelection();
                return missing || editor.length == kGiB ? missing
                                                        : "the pasted bytes did not go again";
            });
    }
    PrintTiming("Ctrl+V of 256 MiB at offset 0 of 1 GiB", paste);
    PrintRatio("Ctrl+V / floor (median)", paste.median, pasteFloor.median, 1.5);
    PrintFactor("Ctrl+V / memmove of 1 GiB (median)", paste.median, move.median);
    editor.modified = 0;
    return BenchExitCode();
}
