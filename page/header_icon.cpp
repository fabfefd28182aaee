#include "page/header_icon.h"

#include <shellapi.h>

#include <cwchar>
#include <string>

#include "hexedit/core/long_path.h"
#include "hexedit/module_context.h"
#include "page/core/selection_text.h"
#include "resources/resource_ids.h"

HICON LoadHeaderIcon(const PageHost& host, bool* owned) {
    *owned = false;
    if (host.dropCount > 1)
        return LoadIconW(ModuleInstance(), MAKEINTRESOURCEW(IDI_SEVERAL_ITEMS));
    HICON icon = nullptr;
    const std::wstring path = host.firstPath;
    if (path.size() < longpath::kPlainLimit) {
        // The call may write an executable's path over the one it is given (up to 128
        // characters, as its header declares): hand it a copy.
        wchar_t copy[MAX_PATH] = {};
        wcsncpy(copy, path.c_str(), MAX_PATH - 1);
        WORD index = 0;
        icon = ExtractAssociatedIconW(ModuleInstance(), copy, &index);
    } else {
        // The shell's icon calls hold paths of MAX_PATH and are not documented to take the
        // "\\?\" form: a longer path shows its type's icon, found from the name alone without
        // reaching the file.
        SHFILEINFOW info{};
        const std::wstring name = selection::NameText(selection::SplitPath(path));
        if (SHGetFileInfoW(name.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                           SHGFI_ICON | SHGFI_USEFILEATTRIBUTES))
            icon = info.hIcon;
    }
    *owned = icon != nullptr;
    return icon;
}
