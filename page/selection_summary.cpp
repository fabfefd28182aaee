#include "page/selection_summary.h"

#include <atomic>
#include <vector>

#include "hexedit/core/long_path.h"
#include "page/drop_list_text.h"

namespace {

std::atomic<uint32_t> g_accessErrors{0};
constexpr uint32_t kAccessErrorsShown = 4;

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
        // An entry the chooser could not take gets no index either, or every later entry would
        // name the file after it.
        const LRESULT added =
            SendMessageW(chooser_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        if (added != CB_ERR && added != CB_ERRSPACE)
            host_.fileIndexes[host_.fileIndexCount++] = index;
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
