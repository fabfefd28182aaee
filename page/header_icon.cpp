#include "page/header_icon.h"

#include <shellapi.h>

#include <cwchar>
#include <vector>

#include "hexedit/module_context.h"
#include "resources/resource_ids.h"

HICON LoadHeaderIcon(const PageHost& host, bool* owned) {
    *owned = false;
    if (host.dropCount > 1)
        return LoadIconW(ModuleInstance(), MAKEINTRESOURCEW(IDI_SEVERAL_ITEMS));
    // The call may rewrite the path it is given: hand it a copy.
    std::vector<wchar_t> path(kPathCapacity, L'\0');
    wcsncpy(path.data(), host.firstPath, kPathCapacity - 1);
    WORD index = 0;
    HICON icon = ExtractAssociatedIconW(ModuleInstance(), path.data(), &index);
    *owned = icon != nullptr;
    return icon;
}
