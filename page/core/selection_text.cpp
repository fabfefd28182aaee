#include "page/core/selection_text.h"

namespace selection {

PathParts SplitPath(const std::wstring& path) {
    PathParts parts;
    size_t start = 0;
    if (path.size() >= 2 && path[1] == L':') {
        parts.drive = path.substr(0, 2);
        start = 2;
    }
    const size_t lastSeparator = path.find_last_of(L"\\/");
    size_t nameStart = start;
    if (lastSeparator != std::wstring::npos && lastSeparator >= start) {
        parts.folder = path.substr(start, lastSeparator + 1 - start);
        nameStart = lastSeparator + 1;
    }
    const std::wstring file = path.substr(nameStart);
    const size_t dot = file.find_last_of(L'.');
    if (dot == std::wstring::npos) {
        parts.name = file;
    } else {
        parts.name = file.substr(0, dot);
        parts.extension = file.substr(dot);
    }
    return parts;
}

std::wstring NameText(const PathParts& parts) {
    return parts.name + parts.extension;
}

std::wstring LocationOf(const PathParts& parts) {
    return parts.drive + parts.folder;
}

ItemKind KindOf(uint32_t attributes) {
    if (attributes == kInvalidAttributes)
        return ItemKind::Unreadable;
    return (attributes & kDirectoryAttribute) ? ItemKind::Folder : ItemKind::File;
}

std::wstring CountText(uint32_t files, uint32_t folders) {
    std::wstring text;
    if (files > 0)
        text += std::to_wstring(files) + (files > 1 ? L" Files" : L" File");
    if (folders > 0) {
        if (files > 0)
            text += L", ";
        text += std::to_wstring(folders) + (folders > 1 ? L" Folders" : L" Folder");
    }
    return text;
}

void CommonLocation::Add(const std::wstring& location) {
    if (!any_) {
        reference_ = location;
        any_ = true;
    } else if (!varied_ && location != reference_) {
        varied_ = true;
    }
}

std::wstring CommonLocation::Text() const {
    return varied_ ? L"Various Folders" : L"All in " + reference_;
}

SelectionTexts ScanSelection(DropListWalker paths, uint32_t count, bool summarize,
                             SelectionSystem& system) {
    uint32_t files = 0;
    uint32_t folders = 0;
    CommonLocation location;
    std::wstring path;
    std::wstring_view next;
    for (uint32_t i = 0; i < count && paths.Next(next); ++i) {
        path.assign(next);
        const ItemKind kind = KindOf(system.Attributes(path));
        const PathParts parts = SplitPath(path);
        if (InFileList(kind))
            system.ListFile(i, NameText(parts));
        if (!summarize)
            continue;
        if (kind == ItemKind::Unreadable)
            system.ReportUnreadable(path);
        ++(kind == ItemKind::Folder ? folders : files);
        if (!location.Varied())
            location.Add(LocationOf(parts));
    }
    if (!summarize)
        return {};
    return {CountText(files, folders), location.Text()};
}

} // namespace selection
