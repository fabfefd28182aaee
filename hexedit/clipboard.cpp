// Copy, Cut, Paste and the "Copy" menu's layouts. The texts come from the portable core; this
// file only moves bytes to and from the clipboard. Every block is built before the clipboard
// is emptied, so a copy that can't be made or is cancelled leaves the user's clipboard as it
// was, and every message is shown after the clipboard has been closed.
#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>

#include "hexedit/clipboard_format.h"
#include "hexedit/core/byte_buffer.h"
#include "hexedit/core/chunked_layouts.h"
#include "hexedit/core/code_page_1252.h"
#include "hexedit/core/copy_layouts.h"
#include "hexedit/core/editor_source.h"
#include "hexedit/core/paste_rule.h"
#include "hexedit/error_text.h"
#include "hexedit/hex_edit.h"
#include "hexedit/module_context.h"
#include "hexedit/progress_window.h"
#include "hexedit/win32_handles.h"

namespace {

constexpr wchar_t kCopyError[] = L"Could not copy to clipboard - %s";

// Wine hands a clipboard block to its server in one write, and Linux writes at most this
// much at once (2^31 - 4096): a larger block ends the whole process, Explorer with it. Such
// a block counts as one that could not be allocated.
constexpr uint64_t kLargestClipboardBlock = 2147479552;

// A block not yet handed over, or the error code of its failed allocation. A block that
// could be allocated but not locked is freed and skipped without an error.
struct Block {
    UniqueGlobal memory;
    DWORD error = ERROR_SUCCESS;
};

Block AllocateBlock(uint64_t size) {
    Block block;
    if (size > kLargestClipboardBlock || !AllocationAllowed(size)) {
        block.error = ERROR_NOT_ENOUGH_MEMORY;
        return block;
    }
    block.memory.reset(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, static_cast<SIZE_T>(size)));
    if (!block.memory) {
        const DWORD error = GetLastError();
        block.error = error ? error : ERROR_NOT_ENOUGH_MEMORY;
    }
    return block;
}

template <class Fill> Block BuildBlock(uint64_t size, Fill fill) {
    Block block = AllocateBlock(size);
    {
        ScopedGlobalLock lock(block.memory.get());
        if (!lock.data()) {
            block.memory.reset();
            return block;
        }
        fill(static_cast<char*>(lock.data()));
    } // The clipboard takes only unlocked blocks.
    return block;
}

// Hands a block to the open clipboard. One the clipboard refuses stays with its holder,
// which frees it; one it takes is the clipboard's and is never touched again.
bool Place(UniqueGlobal& memory, UINT format) {
    if (!memory || format == 0)
        return false;
    if (!SetClipboardData(format, memory.get()))
        return false;
    memory.release();
    return true;
}

constexpr LCID kCodePage1252Locale = 0x0409;

// Names the locale of the 8-bit text on the open clipboard; without room for it, the system
// takes its own.
void PlaceLocale(LCID locale) {
    Block block =
        BuildBlock(sizeof(LCID), [&](char* out) { std::memcpy(out, &locale, sizeof(LCID)); });
    Place(block.memory, CF_LOCALE);
}

// What a copy achieved, and the errors to tell the user once the clipboard is closed.
struct CopyOutcome {
    bool rawPlaced = false;
    DWORD errors[2] = {ERROR_SUCCESS, ERROR_SUCCESS};
};

// What is copied: the selection's bytes and where the first one is in the file.
struct Selection {
    const uint8_t* bytes;
    uint64_t n;
    uint64_t firstOffset;
};

// The blocks of one copy, locked (any may be missing; the Unicode one only beside the text).
struct Outputs {
    char* text;
    char* raw;
    wchar_t* wide;
};

// Fills the locked blocks a step at a time, counting and stopping between steps. It reads the
// selection through its own pointer and writes only the blocks.
DWORD FillSteps(layouts::Chunked layout, Selection selection, Outputs out,
                FileJobProgress& progress) {
    const layouts::ChunkedCopy copy{layout, selection.n, selection.firstOffset};
    for (uint64_t from = 0; from < selection.n; from += layouts::kCopyStepBytes) {
        if (progress.cancel.load())
            return ERROR_OPERATION_ABORTED;
        const uint64_t count = std::min(layouts::kCopyStepBytes, selection.n - from);
        if (out.text)
            layouts::WriteStep(copy, selection.bytes, from, count, out.text);
        if (out.wide)
            layouts::WidenStep(copy, from, count, out.text, out.wide);
        if (out.raw)
            layouts::WriteStep({layouts::Chunked::Raw, selection.n, selection.firstOffset},
                               selection.bytes, from, count, out.raw + pasting::kRawHeaderBytes);
        progress.done.fetch_add(count);
    }
    return ERROR_SUCCESS;
}

// The selection as the text of `layout`, with its raw bytes too when `withRaw`. A text of
// characters goes out as Unicode text as well, the view's characters, since the system would
// read the 8-bit text in its own code page; without room for it the copy goes on without it
// (the system then makes one from the 8-bit text). Blocks are allocated and locked here; one of
// more than a step is filled on a worker, with the progress window after a second. The sheet
// refuses all input meanwhile, so the buffer stays as it is. A cancelled copy frees its blocks and
// leaves the clipboard as it was, unmentioned.
CopyOutcome CopySelection(HWND owner, const wchar_t* path, Selection selection,
                          layouts::Chunked layout, bool withRaw) {
    CopyOutcome outcome;
    const layouts::ChunkedCopy copy{layout, selection.n, selection.firstOffset};
    Block text = AllocateBlock(layouts::ChunkedBlockSize(copy));
    Block raw = withRaw ? AllocateBlock(pasting::kRawHeaderBytes + selection.n) : Block{};
    Block wide = layouts::ShowsCharacters(layout)
                     ? AllocateBlock(layouts::ChunkedBlockSize(copy) * sizeof(wchar_t))
                     : Block{};
    outcome.errors[0] = text.error;
    outcome.errors[1] = raw.error;
    DWORD code = ERROR_SUCCESS;
    {
        ScopedGlobalLock textLock(text.memory.get());
        ScopedGlobalLock rawLock(raw.memory.get());
        ScopedGlobalLock wideLock(textLock.data() ? wide.memory.get() : nullptr);
        const Outputs out{static_cast<char*>(textLock.data()), static_cast<char*>(rawLock.data()),
                          static_cast<wchar_t*>(wideLock.data())};
        if (!out.text && !out.raw)
            return outcome;
        if (out.raw)
            pasting::WriteRawHeader(selection.n, reinterpret_cast<uint8_t*>(out.raw));
        auto job = [layout, selection, out](FileJobProgress& progress) {
            return FillSteps(layout, selection, out, progress);
        };
        if (selection.n <= layouts::kCopyStepBytes) {
            FileJobProgress progress;
            code = job(progress);
        } else {
            code = RunFileJob(owner, progress::Operation::Copy, path, selection.n, job);
        }
        if (!out.text)
            text.memory.reset();
        if (!out.raw)
            raw.memory.reset();
        if (!out.wide)
            wide.memory.reset();
    } // The clipboard takes only unlocked blocks.
    if (code != ERROR_SUCCESS)
        return CopyOutcome{};
    const UINT privateFormat = withRaw ? PrivateClipboardFormat() : 0;
    ScopedClipboard clipboard(owner);
    if (!clipboard.IsOpen())
        return outcome;
    EmptyClipboard();
    // A text of characters is in code page 1252: a program reading it, and the system making
    // the other text formats from it, read it so by this locale (US English).
    if (Place(text.memory, CF_TEXT) && layouts::ShowsCharacters(layout))
        PlaceLocale(kCodePage1252Locale);
    Place(wide.memory, CF_UNICODETEXT);
    outcome.rawPlaced = Place(raw.memory, privateFormat);
    return outcome;
}

// Puts `text` (`length` characters and a NUL) on the emptied clipboard. Returns the error
// code of a failed allocation, for the caller to report.
DWORD PutText(HWND owner, const char* text, uint64_t length) {
    Block block = BuildBlock(length + 1, [&](char* out) {
        std::memcpy(out, text, static_cast<size_t>(length));
        out[length] = '\0';
    });
    if (!block.memory)
        return block.error;
    ScopedClipboard clipboard(owner);
    if (!clipboard.IsOpen())
        return ERROR_SUCCESS;
    EmptyClipboard();
    Place(block.memory, CF_TEXT);
    return ERROR_SUCCESS;
}

// `n` bytes in place of the selection. False when nothing was inserted.
bool Insert(CHexEdit& e, const uint8_t* bytes, uint64_t n) {
    if (n == 0 || !pasting::PasteFits(e.length, e.SelectionLength(), n))
        return false;
    return pasting::ReplaceSelection(e, bytes, static_cast<int64_t>(n));
}

// The `n` bytes from `first`: where they lie in a file held whole, read into `copy` from a
// file read on demand. Null, with the code to report, when no block could be had for them or
// one of them could not be read (a zero in its place would be copied as if it were the file's);
// ERROR_CANCELLED when the user cancelled the read.
const uint8_t* BytesFrom(CHexEdit& e, int64_t first, int64_t n, GuardedBlock<uint8_t>& copy,
                         DWORD& code) {
    if (!editing::IsOnDemand(e))
        return e.buffer + first;
    copy.reset(static_cast<uint8_t*>(GuardedAlloc(static_cast<uint64_t>(n))));
    code = ERROR_NOT_ENOUGH_MEMORY;
    if (!copy)
        return nullptr;
    e.TakeCancelledRead();    // a paint's, before this copy
    e.ForgetCancelledReads(); // asked for by the user: rows left unread are read now
    const bytes::ReadResult read =
        e.source->Read(static_cast<uint64_t>(first), copy.get(), static_cast<size_t>(n), nullptr);
    code = e.TakeCancelledRead() ? ERROR_CANCELLED : ERROR_READ_FAULT;
    return read.anyUnreadable || read.count != static_cast<size_t>(n) ? nullptr : copy.get();
}

// Whether the text of the View or C array layout of `n` bytes from `first` is within what a
// block may be; any other layout is.
bool TextCanBeHad(int layout, int64_t n, int64_t first) {
    const auto count = static_cast<uint64_t>(n);
    uint64_t size = 0;
    if (layout == static_cast<int>(CopyLayout::View))
        size = layouts::ChunkedBlockSize(
            {layouts::Chunked::View, count, static_cast<uint64_t>(first)});
    else if (layout == static_cast<int>(CopyLayout::CArray))
        size = layouts::CArrayWorkingSize(count);
    return size <= kLargestClipboardBlock && AllocationAllowed(size);
}

// The open clipboard's Unicode text (before its first NUL) as the view's bytes into the
// editor. Nothing to say when there is none, or the view can't show one of its characters:
// the 8-bit text is taken then, the bytes another program put or the system made.
std::optional<bool> PasteUnicode(CHexEdit& e) {
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    ScopedGlobalLock lock(data);
    if (!lock.data())
        return std::nullopt;
    const auto* units = static_cast<const wchar_t*>(lock.data());
    const uint64_t n = pasting::TextPasteLength(units, GlobalSize(data) / sizeof(wchar_t));
    if (n == 0 || !pasting::PasteFits(e.length, e.SelectionLength(), n))
        return false;
    GuardedBlock<uint8_t> bytes(static_cast<uint8_t*>(GuardedAlloc(n)));
    if (!bytes)
        return false;
    if (!cp1252::BytesOf(units, static_cast<size_t>(n), bytes.get()))
        return std::nullopt;
    return Insert(e, bytes.get(), n);
}

// Bytes from the open clipboard into the editor: the private format's bytes, else the Unicode
// text in the view's bytes, else the 8-bit text before its first NUL. False when
// nothing was inserted.
bool PasteFromOpenClipboard(CHexEdit& e, UINT privateFormat) {
    if (HANDLE raw = privateFormat ? GetClipboardData(privateFormat) : nullptr) {
        ScopedGlobalLock lock(raw);
        const pasting::RawBytes block =
            pasting::RawBlockBytes(static_cast<const uint8_t*>(lock.data()), GlobalSize(raw));
        if (block.bytes)
            return Insert(e, block.bytes, block.count);
        // Not a block of ours: the texts beside it are pasted instead.
    }
    if (const std::optional<bool> pasted = PasteUnicode(e))
        return *pasted;
    HANDLE text = GetClipboardData(CF_TEXT);
    ScopedGlobalLock lock(text);
    if (!lock.data())
        return false;
    const auto* bytes = static_cast<const uint8_t*>(lock.data());
    return Insert(e, bytes, pasting::TextPasteLength(bytes, GlobalSize(text)));
}

} // namespace

void CHexEdit::ReportClipboardError() {
    const DWORD code = GetLastError();
    const std::wstring message = FormatErrorMessage(kCopyError, code);
    ScopedActivationContext context(ModuleActivationContext());
    MessageBoxW(nullptr, message.c_str(), L"Hex Editor", MB_ICONERROR | MB_OK);
}

void CHexEdit::Copy() {
    CopyAs(caretPane == 1 ? static_cast<int>(CopyLayout::Text) : static_cast<int>(CopyLayout::Hex));
}

void CHexEdit::Cut() {
    if (!fileLoaded || editing::RefusedResize(*this))
        return;
    const int64_t n = SelectionLength();
    if (n <= 0)
        return;
    const int64_t first = std::min(selAnchor, selEnd);
    const CopyOutcome outcome = CopySelection(
        hwnd, filePath, {buffer + first, static_cast<uint64_t>(n), static_cast<uint64_t>(first)},
        caretPane == 1 ? layouts::Chunked::Chars : layouts::Chunked::Hex, true);
    // Only bytes that can be pasted back may leave the buffer.
    if (outcome.rawPlaced) {
        modified = 1;
        DeleteSelection();
        UpdateScrollBar();
        Invalidate();
    }
    for (DWORD error : outcome.errors) {
        if (error != ERROR_SUCCESS) {
            SetLastError(error);
            ReportClipboardError();
        }
    }
}

void CHexEdit::CopyAs(int layout) {
    const int64_t n = SelectionLength();
    const int64_t first = n > 0 ? std::min(selAnchor, selEnd) : caretOffset;
    // Only the layouts that show bytes read them; the addresses need two numbers.
    const bool showsBytes = layout != static_cast<int>(CopyLayout::Address) &&
                            layout != static_cast<int>(CopyLayout::AddressRange);
    GuardedBlock<uint8_t> copy;
    DWORD code = ERROR_SUCCESS;
    // A text with no raw bytes beside it that could never be had is refused before the bytes of
    // a file read on demand are read for it.
    if (editing::IsOnDemand(*this) && n > 0 && !TextCanBeHad(layout, n, first)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        ReportClipboardError();
        return;
    }
    const uint8_t* bytes = showsBytes && n > 0 ? BytesFrom(*this, first, n, copy, code) : nullptr;
    if (showsBytes && n > 0 && !bytes) {
        if (code == ERROR_CANCELLED)
            return; // the user chose it: the clipboard stays as it was, unmentioned
        SetLastError(code);
        ReportClipboardError();
        return;
    }
    DWORD errors[2] = {ERROR_SUCCESS, ERROR_SUCCESS};
    switch (static_cast<CopyLayout>(layout)) {
    case CopyLayout::Hex:
    case CopyLayout::Text:
    case CopyLayout::View: {
        if (n <= 0)
            return;
        const bool view = layout == static_cast<int>(CopyLayout::View);
        const layouts::Chunked chunked = view ? layouts::Chunked::View
                                         : layout == static_cast<int>(CopyLayout::Text)
                                             ? layouts::Chunked::Chars
                                             : layouts::Chunked::Hex;
        const CopyOutcome outcome = CopySelection(
            hwnd, filePath, {bytes, static_cast<uint64_t>(n), static_cast<uint64_t>(first)},
            chunked, !view);
        errors[0] = outcome.errors[0];
        errors[1] = outcome.errors[1];
        break;
    }
    case CopyLayout::CArray: {
        if (n <= 0)
            return;
        const uint64_t size = layouts::CArrayWorkingSize(static_cast<uint64_t>(n));
        GuardedBlock<char> text(static_cast<char*>(GuardedAlloc(size)));
        if (!text) {
            errors[0] = ERROR_NOT_ENOUGH_MEMORY;
            break;
        }
        const uint64_t length = layouts::WriteCArray(bytes, static_cast<uint64_t>(n), text.get());
        errors[0] = PutText(hwnd, text.get(), length);
        break;
    }
    case CopyLayout::Address: {
        char text[layouts::kAddressTextSize];
        const uint64_t length = layouts::WriteAddress(static_cast<uint64_t>(caretOffset), text);
        errors[0] = PutText(hwnd, text, length);
        break;
    }
    case CopyLayout::AddressRange: {
        const layouts::AddressRange range =
            layouts::AddressRangeOf(selAnchor, selEnd, length, caretOffset);
        char text[layouts::kAddressRangeTextSize];
        const uint64_t textLength = layouts::WriteAddressRange(
            static_cast<uint64_t>(range.first), static_cast<uint64_t>(range.last), text);
        errors[0] = PutText(hwnd, text, textLength);
        break;
    }
    default:
        return;
    }
    for (DWORD error : errors) {
        if (error != ERROR_SUCCESS) {
            SetLastError(error);
            ReportClipboardError();
        }
    }
}

void CHexEdit::PutClipboardText(const char* text) {
    const DWORD error = PutText(hwnd, text, std::strlen(text));
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        ReportClipboardError();
    }
}

void CHexEdit::Paste() {
    if (!fileLoaded || editing::RefusedResize(*this))
        return;
    const UINT privateFormat = PrivateClipboardFormat();
    bool pasted = false;
    {
        ScopedClipboard clipboard(hwnd);
        if (clipboard.IsOpen())
            pasted = PasteFromOpenClipboard(*this, privateFormat);
    }
    if (pasted)
        UpdateScrollBar();
}
