#include "page/selection_summary.h"

#include <atomic>
#include <vector>

#include "hexedit/core/long_path.h"
#include "page/core/selection_text.h"

namespace {

std::atomic<uint32_t> g_accessErrors{0};
constexpr uint32_t kAccessErrorsShown = 4;

selection::ItemKind KindOfPath(const std::wstring& path) {
    return selection::KindOf(GetFileAttributesW(longpath::ForFileSystem(path).c_str()));
}

} // namespace

std::wstring SelectionPath(const PageHost& host, UINT index) {
    if (!host.hDrop || index >= host.dropCount)
        return std::wstring();
    std::vector<wchar_t> buffer(kPathCapacity, L'\0');
    DragQueryFileW(host.hDrop, index, buffer.data(), static_cast<UINT>(kPathCapacity));
    return std::wstring(buffer.data());
}

void BuildSelectionSummary(const PageHost& host, std::wstring& countText,
                           std::wstring& locationText) {
    uint32_t files = 0;
    uint32_t folders = 0;
    for (UINT i = 0; i < host.dropCount; ++i) {
        const std::wstring path = SelectionPath(host, i);
        switch (KindOfPath(path)) {
        case selection::ItemKind::Unreadable:
            ReportAccessError(path);
            ++files;
            break;
        case selection::ItemKind::Folder:
            ++folders;
            break;
        case selection::ItemKind::File:
            ++files;
            break;
        }
    }
    countText = selection::CountText(files, folders);

    selection::CommonLocation location;
    for (UINT i = 0; i < host.dropCount && !location.Varied(); ++i)
        location.Add(selection::LocationOf(selection::SplitPath(SelectionPath(host, i))));
    locationText = location.Text();
}

void BuildSingleItemHeader(const PageHost& host, std::wstring& nameText,
                           std::wstring& locationText) {
    const selection::PathParts parts = selection::SplitPath(host.firstPath);
    nameText = selection::NameText(parts);
    locationText = selection::LocationOf(parts);
}

void BuildFileList(PageHost& host, HWND chooser) {
    host.fileIndexCount = 0;
    if (!host.fileIndexes)
        return;
    for (UINT i = 0; i < host.dropCount; ++i) {
        const std::wstring path = SelectionPath(host, i);
        if (!selection::InFileList(KindOfPath(path)))
            continue;
        host.fileIndexes[host.fileIndexCount++] = i;
        const std::wstring name = selection::NameText(selection::SplitPath(path));
        SendMessageW(chooser, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
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
