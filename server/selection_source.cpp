#include "server/selection_source.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "hexedit/core/limits.h"
#include "hexedit/core/long_path.h"
#include "hexedit/win32_handles.h"
#include "page/core/item_list.h"
#include "page/drop_list_text.h"

namespace {

FORMATETC HGlobalFormat(CLIPFORMAT format) {
    return {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

HGLOBAL HGlobalOf(const UniqueStgMedium& medium) {
    return medium.get().tymed == TYMED_HGLOBAL ? medium.get().hGlobal : nullptr;
}

// Appends `path` and its closing zero to a drop list's text. Only a name with a '~' can be a
// short one, so only such a path costs a call.
void AppendLongForm(std::wstring& list, const std::wstring& path, std::vector<wchar_t>& buffer) {
    const DWORD length = path.find(L'~') == std::wstring::npos
                             ? 0
                             : GetLongPathNameW(longpath::ForFileSystem(path).c_str(),
                                                buffer.data(), static_cast<DWORD>(buffer.size()));
    list += length > 0 && length < buffer.size() ? longpath::ForUser(buffer.data()) : path;
    list += L'\0';
}

// A wide drop list of our own for `list` (paths each ended by a zero, then one more zero),
// owned by `medium` from now on.
bool AdoptDropList(const std::wstring& list, UniqueStgMedium& medium) {
    const size_t bytes = list.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + bytes);
    if (!memory)
        return false;
    {
        const ScopedGlobalLock lock(memory);
        auto* header = static_cast<DROPFILES*>(lock.data());
        if (!header) {
            GlobalFree(memory);
            return false;
        }
        header->pFiles = sizeof(DROPFILES);
        header->fWide = TRUE;
        std::memcpy(header + 1, list.data(), bytes);
    }
    STGMEDIUM* owned = medium.put();
    owned->tymed = TYMED_HGLOBAL;
    owned->hGlobal = memory;
    return true;
}

// The shell's own drop list, with short names made long: a list without a '~' is kept as it
// is, so a large selection costs one look along its characters.
void LengthenShortNames(UniqueStgMedium& medium) {
    const auto drop = static_cast<HDROP>(HGlobalOf(medium));
    std::wstring list;
    {
        const DropListText text(drop);
        if (std::find(text.begin(), text.end(), L'~') == text.end())
            return;
        std::vector<wchar_t> buffer(kPathCapacity);
        selection::DropListWalker paths = text.Paths();
        for (std::wstring_view path; paths.Next(path);)
            AppendLongForm(list, std::wstring(path), buffer);
    }
    list += L'\0';
    AdoptDropList(list, medium); // without memory the shell's list stays
}

// The item list's file-system paths, in its order, as a drop list's text; items without such a
// path are left out, as the shell leaves them out of a drop list.
bool PathsOfItemList(IDataObject* data, std::wstring& list) {
    static const auto itemList =
        static_cast<CLIPFORMAT>(RegisterClipboardFormatW(CFSTR_SHELLIDLIST));
    FORMATETC format = HGlobalFormat(itemList);
    UniqueStgMedium medium;
    if (!itemList || FAILED(data->GetData(&format, medium.put())) || !HGlobalOf(medium))
        return false;
    const ScopedGlobalLock lock(HGlobalOf(medium));
    const auto* block = static_cast<const uint8_t*>(lock.data());
    const std::vector<uint32_t> offsets =
        selection::ItemListOffsets(block, block ? GlobalSize(HGlobalOf(medium)) : 0);
    if (offsets.empty())
        return false;
    const auto folder = reinterpret_cast<PCIDLIST_ABSOLUTE>(block + offsets[0]);
    std::vector<wchar_t> buffer(kPathCapacity);
    for (size_t i = 1; i < offsets.size(); ++i) {
        PIDLIST_ABSOLUTE item =
            ILCombine(folder, reinterpret_cast<PCUIDLIST_RELATIVE>(block + offsets[i]));
        if (item && SHGetPathFromIDListEx(item, buffer.data(), static_cast<DWORD>(buffer.size()),
                                          GPFIDL_DEFAULT))
            AppendLongForm(list, buffer.data(), buffer);
        ILFree(item);
    }
    list += L'\0';
    return true;
}

} // namespace

bool TakeSelection(IDataObject* data, UniqueStgMedium& medium) {
    FORMATETC drop = HGlobalFormat(CF_HDROP);
    if (SUCCEEDED(data->GetData(&drop, medium.put()))) {
        LengthenShortNames(medium);
        return true;
    }
    std::wstring list;
    return PathsOfItemList(data, list) && AdoptDropList(list, medium);
}
