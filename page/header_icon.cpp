#include "page/header_icon.h"

#include <objbase.h>
#include <shellapi.h>

#include <cwchar>
#include <new>
#include <string>

#include "hexedit/core/long_path.h"
#include "hexedit/module_context.h"
#include "page/core/selection_text.h"
#include "resources/resource_ids.h"

namespace {

// Long enough for a local disk, a warm share or a busy machine; short enough that a stalled
// medium delays the page's own load by no more than this.
constexpr DWORD kWaitForIconMs = 500;

HICON FindItemIcon(const std::wstring& path) {
    if (path.size() < longpath::kPlainLimit) {
        // The call may write an executable's path over the one it is given (up to 128
        // characters, as its header declares): hand it a copy.
        wchar_t copy[MAX_PATH] = {};
        wcsncpy(copy, path.c_str(), MAX_PATH - 1);
        WORD index = 0;
        return ExtractAssociatedIconW(ModuleInstance(), copy, &index);
    }
    // The shell's icon calls hold paths of MAX_PATH and are not documented to take the "\\?\"
    // form: a longer path shows its type's icon, found from the name alone without reaching
    // the file.
    SHFILEINFOW info{};
    const std::wstring name = selection::NameText(selection::SplitPath(path));
    if (SHGetFileInfoW(name.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                       SHGFI_ICON | SHGFI_USEFILEATTRIBUTES))
        return info.hIcon;
    return nullptr;
}

} // namespace

// Shared by the page and the lookup's thread; whichever lets go last frees it, and the icon with
// it unless the page has taken it. The icon never travels in a message, so a page that goes
// while a notice is on its way leaves nothing behind. `state` decides who shows the icon: the
// page while it is still waiting, the notice after.
struct IconLookup {
    enum : LONG { kLooking, kFound, kNoticeWhenFound };
    std::wstring path;
    HWND page = nullptr;
    HICON icon = nullptr;
    HMODULE module = nullptr; // the thread's own reference
    LONG state = kLooking;
    LONG refs = 2;
};

void ReleaseIconLookup(IconLookup* lookup) {
    if (!lookup || InterlockedDecrement(&lookup->refs) != 0)
        return;
    if (lookup->icon)
        DestroyIcon(lookup->icon);
    delete lookup;
}

bool TakeFoundIcon(IconLookup* lookup, HICON* icon) {
    *icon = nullptr;
    if (!lookup || InterlockedCompareExchange(&lookup->state, 0, 0) != IconLookup::kFound)
        return false;
    *icon = static_cast<HICON>(
        InterlockedExchangePointer(reinterpret_cast<void**>(&lookup->icon), nullptr));
    return true;
}

namespace {

void Finish(IconLookup* lookup) {
    if (InterlockedExchange(&lookup->state, IconLookup::kFound) == IconLookup::kNoticeWhenFound)
        PostMessageW(lookup->page, WM_HEADERICON, 0, 0);
}

// The thread holds a reference to this module, so that the code it runs stays loaded
// however long the medium keeps it, and lets go of it as its last act.
DWORD WINAPI LookUpIcon(void* parameter) {
    auto* lookup = static_cast<IconLookup*>(parameter);
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    lookup->icon = FindItemIcon(lookup->path);
    if (SUCCEEDED(com))
        CoUninitialize();
    HMODULE module = lookup->module;
    Finish(lookup);
    ReleaseIconLookup(lookup);
    FreeLibraryAndExitThread(module, 0);
}

// Null when no thread could be started.
HANDLE StartLookup(IconLookup* lookup) {
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(&LookUpIcon), &lookup->module))
        return nullptr;
    HANDLE thread = CreateThread(nullptr, 0, &LookUpIcon, lookup, 0, nullptr);
    if (!thread)
        FreeLibrary(lookup->module);
    return thread;
}

// Answers messages sent to the thread meanwhile, as a page busy with its file does.
void WaitBriefly(HANDLE thread) {
    const DWORD start = GetTickCount();
    for (DWORD elapsed = 0; elapsed < kWaitForIconMs; elapsed = GetTickCount() - start) {
        if (MsgWaitForMultipleObjectsEx(1, &thread, kWaitForIconMs - elapsed, QS_SENDMESSAGE, 0) !=
            WAIT_OBJECT_0 + 1)
            return;
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

} // namespace

HeaderIcon LoadHeaderIcon(HWND page, const PageHost& host) {
    HeaderIcon result;
    if (host.dropCount > 1) {
        result.icon = LoadIconW(ModuleInstance(), MAKEINTRESOURCEW(IDI_SEVERAL_ITEMS));
        return result;
    }
    auto* lookup = new (std::nothrow) IconLookup;
    if (!lookup)
        return result;
    lookup->path = host.firstPath;
    lookup->page = page;
    HANDLE thread = StartLookup(lookup);
    if (!thread) {
        result.icon = FindItemIcon(lookup->path);
        result.owned = result.icon != nullptr;
        delete lookup;
        return result;
    }
    WaitBriefly(thread);
    CloseHandle(thread);
    if (InterlockedExchange(&lookup->state, IconLookup::kNoticeWhenFound) == IconLookup::kFound) {
        InterlockedExchange(&lookup->state, IconLookup::kFound);
        TakeFoundIcon(lookup, &result.icon);
        result.owned = result.icon != nullptr;
        ReleaseIconLookup(lookup);
    } else {
        result.pending = lookup;
    }
    return result;
}
