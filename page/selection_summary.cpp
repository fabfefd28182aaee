#include "page/selection_summary.h"

#include <shellapi.h>
#include <shlobj.h>

#include <atomic>
#include <climits>
#include <vector>

#include "hexedit/core/long_path.h"
#include "hexedit/win32_handles.h"

namespace {

std::atomic<uint32_t> g_accessErrors{0};
constexpr uint32_t kAccessErrorsShown = 4;

// The drop list's strings, locked for the walk; a list of 8-bit paths is read as wide, in the
// code page the system's own reading uses.
class DropListText {
  public:
    explicit DropListText(HDROP drop) : lock_(drop) {
        const auto* base = static_cast<const BYTE*>(lock_.data());
        const SIZE_T size = base ? GlobalSize(drop) : 0;
        const auto* header = reinterpret_cast<const DROPFILES*>(base);
        if (size < sizeof(DROPFILES) || header->pFiles > size || size - header->pFiles > INT_MAX)
            return;
        const BYTE* text = base + header->pFiles;
        const SIZE_T bytes = size - header->pFiles;
        if (header->fWide) {
            begin_ = reinterpret_cast<const wchar_t*>(text);
            end_ = begin_ + bytes / sizeof(wchar_t);
            return;
        }
        const auto* narrow = reinterpret_cast<const char*>(text);
        converted_.resize(
            MultiByteToWideChar(CP_ACP, 0, narrow, static_cast<int>(bytes), nullptr, 0));
        MultiByteToWideChar(CP_ACP, 0, narrow, static_cast<int>(bytes), converted_.data(),
                            static_cast<int>(converted_.size()));
        begin_ = converted_.data();
        end_ = begin_ + converted_.size();
    }

    selection::DropListWalker Paths() const { return {begin_, end_, kPathCapacity - 1}; }

  private:
    ScopedGlobalLock lock_;
    std::wstring converted_;
    const wchar_t* begin_ = nullptr;
    const wchar_t* end_ = nullptr;
};

class PageSelection final : public selection::SelectionSystem {
  public:
    PageSelection(PageHost& host, HWND chooser) : host_(host), chooser_(chooser) {}

    uint32_t Attributes(const std::wstring& path) override {
        return GetFileAttributesW(longpath::ForFileSystem(path).c_str());
    }
    void ReportUnreadable(const std::wstring& path) override { ReportAccessError(path); }
    void ListFile(uint32_t index, const std::wstring& name) override {
        if (!host_.fileIndexes)
            return;
        host_.fileIndexes[host_.fileIndexCount++] = index;
        SendMessageW(chooser_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }

  private:
    PageHost& host_;
    HWND chooser_;
};

} // namespace

std::wstring SelectionPath(const PageHost& host, UINT index) {
    if (!host.hDrop || index >= host.dropCount)
        return std::wstring();
    std::vector<wchar_t> buffer(kPathCapacity, L'\0');
    DragQueryFileW(host.hDrop, index, buffer.data(), static_cast<UINT>(kPathCapacity));
    return std::wstring(buffer.data());
}

selection::SelectionTexts ReadSelection(PageHost& host, HWND chooser, bool summarize) {
    host.fileIndexCount = 0;
    const DropListText list(host.hDrop);
    PageSelection system(host, chooser);
    // Drawn as each entry comes, the list would set its scroll bar up anew every time.
    SendMessageW(chooser, WM_SETREDRAW, FALSE, 0);
    selection::SelectionTexts texts =
        selection::ScanSelection(list.Paths(), host.dropCount, summarize, system);
    SendMessageW(chooser, WM_SETREDRAW, TRUE, 0);
    return texts;
}

void BuildSingleItemHeader(const PageHost& host, std::wstring& nameText,
                           std::wstring& locationText) {
    const selection::PathParts parts = selection::SplitPath(host.firstPath);
    nameText = selection::NameText(parts);
    locationText = selection::LocationOf(parts);
}

void ReportAccessError(const std::wstring& path) {
    // Take-and-add as one step; it stops at the limit so it can never wrap round to 0.
    uint32_t taken = g_accessErrors.load();
    while (taken < kAccessErrorsShown && !g_accessErrors.compare_exchange_weak(taken, taken + 1)) {
    }
    if (taken >= kAccessErrorsShown)
        return;
    const std::wstring text = L"There was an error accessing file " + path +
                              L". Be sure you have necessary privileges and file is not open";
    MessageBoxW(nullptr, text.c_str(), L"Error", MB_OK);
}
