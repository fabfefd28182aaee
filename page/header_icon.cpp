#include "page/header_icon.h"

#include <shellapi.h>

#include <cwchar>
#include <vector>

#include "hexedit/core/long_path.h"
#include "hexedit/module_context.h"
#include "resources/resource_ids.h"

HICON LoadHeaderIcon(const PageHost& host, bool* owned) {
    *owned = false;
    if (host.dropCount > 1)
        return LoadIconW(ModuleInstance(), MAKEINTRESOURCEW(IDI_SEVERAL_ITEMS));
    // The call may write an executable's path over the one it is given (up to 128 characters,
    // as its header declares): hand it a copy, in the form the file system takes at any length.
    std::vector<wchar_t> path(kPathCapacity, L'\0');
    wcsncpy(path.data(), longpath::ForFileSystem(host.firstPath).c_str(), kPathCapacity - 1);
    WORD index = 0;
    HICON icon = ExtractAssociatedIconW(ModuleInstance(), path.data(), &index);
    *owned = icon != nullptr;
    return icon;
}
