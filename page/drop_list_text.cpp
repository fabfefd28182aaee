#include "page/drop_list_text.h"

#include <shlobj.h>

#include <climits>

#include "hexedit/core/limits.h"

DropListText::DropListText(HDROP drop) : lock_(drop) {
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
    converted_.resize(MultiByteToWideChar(CP_ACP, 0, narrow, static_cast<int>(bytes), nullptr, 0));
    MultiByteToWideChar(CP_ACP, 0, narrow, static_cast<int>(bytes), converted_.data(),
                        static_cast<int>(converted_.size()));
    begin_ = converted_.data();
    end_ = begin_ + converted_.size();
}

selection::DropListWalker DropListText::Paths() const {
    return {begin_, end_, kPathCapacity - 1};
}
