// The clipboard through the real view: Ctrl+C of a 256 MiB selection and Ctrl+V of 256 MiB at
// offset 0 of a 1 GiB file. Each is held against the floor the platform sets, measured in
// the same run: SetClipboardData and GetClipboardData of ready-made blocks of the same sizes;
// the paste also against one memmove of 1 GiB (the tail it has to move).
#include <cstdio>
#include <cstring>

#include "bench_timer.h"
#include "hexedit/clipboard_format.h"
#include "hexedit/core/byte_buffer.h"
#include "hexedit/core/copy_layouts.h"
#include "support/test_window.h"

namespace {

constexpr int32_t kSelection = 256 << 20;
constexpr int32_t kGiB = 1 << 30;

void Load(CHexEdit& editor, int32_t size) {
    GuardedFree(editor.buffer);
    editor.buffer = static_cast<uint8_t*>(GuardedAlloc(static_cast<uint64_t>(size)));
    for (int32_t i = 0; i < size; ++i)
        editor.buffer[i] = static_cast<uint8_t>(i * 131 + (i >> 11));
    editor.length = size;
    editor.caretOffset = 0;
    editor.caretPane = 2;
    editor.topOffset = 0;
    editor.SetSelection(-1, -1);
    editor.UpdateScrollBar();
}

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

HGLOBAL FilledBlock(uint64_t size, uint8_t fill) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, static_cast<SIZE_T>(size));
    if (void* p = GlobalLock(block)) {
        std::memset(p, fill, static_cast<size_t>(size));
        GlobalUnlock(block);
    }
    return block;
}

// Reads every given format back, as a program pasting them would.
void GetAll(HWND owner, const UINT* formats, int count) {
    if (!OpenClipboard(owner))
        return;
    for (int i = 0; i < count; ++i) {
        HANDLE data = GetClipboardData(formats[i]);
        if (const void* p = data ? GlobalLock(data) : nullptr) {
            volatile uint8_t first = *static_cast<const uint8_t*>(p);
            static_cast<void>(first);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
}

// The platform's share: blocks of the given sizes, made and filled before the clock starts,
// set on the clipboard and got back.
Timing SetAndGet(HWND owner, const uint64_t* sizes, const UINT* formats, int count) {
    std::vector<double> samples;
    for (int run = 0; run < 3; ++run) {
        HGLOBAL blocks[2] = {};
        for (int i = 0; i < count; ++i)
            blocks[i] = FilledBlock(sizes[i], static_cast<uint8_t>(0x41 + i));
        const double start = NowMs();
        if (OpenClipboard(owner)) {
            EmptyClipboard();
            for (int i = 0; i < count; ++i)
                if (!SetClipboardData(formats[i], blocks[i]))
                    GlobalFree(blocks[i]);
            CloseClipboard();
        }
        GetAll(owner, formats, count);
        samples.push_back(NowMs() - start);
    }
    std::sort(samples.begin(), samples.end());
    return {samples.front(), samples[samples.size() / 2]};
}

} // namespace

int main() {
    TestPage page;
    page.Attach();
    CHexEdit& editor = page.editor();
    const UINT privateFormat = PrivateClipboardFormat();
    const UINT copyFormats[2] = {CF_TEXT, privateFormat};

    // Copy: a hex text of 3n + 1 bytes and the n raw bytes.
    const uint64_t copySizes[2] = {layouts::HexBlockSize(kSelection), kSelection};
    const Timing copyFloor = SetAndGet(page.view(), copySizes, copyFormats, 2);
    PrintTiming("floor: set + get 768 MiB text + 256 MiB raw", copyFloor);

    Load(editor, kSelection);
    editor.SetSelection(0, kSelection - 1);
    const Timing copy = TimeRuns(3, [&] {
        CtrlKey(page.view(), 'C');
        GetAll(page.view(), copyFormats, 2);
    });
    PrintTiming("Ctrl+C of 256 MiB (hex pane) + get", copy);
    PrintRatio("Ctrl+C / floor (median)", copy.median, copyFloor.median, 1.5);

    // Paste: 256 MiB of raw bytes at offset 0 of 1 GiB.
    const uint64_t pasteSize[1] = {kSelection};
    const UINT pasteFormat[1] = {privateFormat};
    const Timing pasteFloor = SetAndGet(page.view(), pasteSize, pasteFormat, 1);
    PrintTiming("floor: set + get 256 MiB raw", pasteFloor);

    const Timing move = [] {
        auto* block = static_cast<uint8_t*>(GuardedAlloc(kGiB + 1));
        std::memset(block, 0x5A, kGiB + 1);
        const Timing t = TimeRuns(3, [&] { std::memmove(block + 1, block, kGiB); });
        GuardedFree(block);
        return t;
    }();
    PrintTiming("memmove of 1 GiB", move);

    Load(editor, kGiB);
    std::vector<double> pasteSamples;
    for (int run = 0; run < 3; ++run) {
        editor.caretOffset = 0;
        editor.SetSelection(-1, -1);
        const double start = NowMs();
        CtrlKey(page.view(), 'V');
        pasteSamples.push_back(NowMs() - start);
        if (editor.length != kGiB + kSelection)
            std::printf("paste did not insert 256 MiB (length %lld)\n",
                        static_cast<long long>(editor.length));
        // Back to 1 GiB outside the timing.
        editor.SetSelection(0, kSelection - 1);
        editor.DeleteSelection();
    }
    std::sort(pasteSamples.begin(), pasteSamples.end());
    const Timing paste{pasteSamples.front(), pasteSamples[1]};
    PrintTiming("Ctrl+V of 256 MiB at offset 0 of 1 GiB", paste);
    PrintRatio("Ctrl+V / floor (median)", paste.median, pasteFloor.median, 1.5);
    std::printf("%-48s %.3fx\n", "Ctrl+V / memmove of 1 GiB (median)", paste.median / move.median);
    GuardedFree(editor.buffer);
    editor.buffer = nullptr;
    editor.length = 0;
    return 0;
}
