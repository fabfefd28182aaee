// Opens the shell's own Properties dialog for the files named on the command line, the way
// Explorer does: the items' context menu, verb "properties". Items in one folder share one
// dialog; items from several folders get one dialog per folder, one after another. The dialog
// runs modally on this thread, so the program ends when it is closed. Once the dialog shows,
// its "Hex Editor" tab is brought to the front.
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/launcher/sheet_windows.h"

namespace {

struct Item {
    PIDLIST_ABSOLUTE absolute = nullptr;
    IShellFolder* parent = nullptr;
    PCUITEMID_CHILD child = nullptr;
    std::wstring folder;
};

std::wstring FolderOf(const std::wstring& path) {
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}

// The full form of a command-line path, at any length; empty when it has none.
std::wstring FullPath(const wchar_t* path) {
    const DWORD needed = GetFullPathNameW(path, 0, nullptr, nullptr);
    if (needed == 0)
        return std::wstring();
    std::wstring full(needed, L'\0');
    const DWORD got = GetFullPathNameW(path, needed, &full[0], nullptr);
    if (got == 0 || got >= needed)
        return std::wstring();
    full.resize(got);
    return full;
}

bool ParseItem(const wchar_t* path, Item& item) {
    const std::wstring full = FullPath(path);
    if (full.empty()) {
        std::fwprintf(stderr, L"propweave_launch: %ls: bad path\n", path);
        return false;
    }
    HRESULT hr = SHParseDisplayName(full.c_str(), nullptr, &item.absolute, 0, nullptr);
    if (FAILED(hr)) {
        std::fwprintf(stderr, L"propweave_launch: %ls: not found (0x%08lX)\n", full.c_str(),
                      static_cast<unsigned long>(hr));
        return false;
    }
    hr = SHBindToParent(item.absolute, IID_IShellFolder, reinterpret_cast<void**>(&item.parent),
                        &item.child);
    if (FAILED(hr)) {
        std::fwprintf(stderr, L"propweave_launch: %ls: no parent folder (0x%08lX)\n", full.c_str(),
                      static_cast<unsigned long>(hr));
        CoTaskMemFree(item.absolute);
        item.absolute = nullptr;
        return false;
    }
    item.folder = FolderOf(full);
    return true;
}

// Waits (up to 20 s) for the sheet of the given thread and selects its "Hex Editor" tab.
DWORD WINAPI SelectHexEditorTab(LPVOID param) {
    const auto thread = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(param));
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (HWND sheet = sheetwindows::FindVisibleSheet(thread)) {
            const int tab = sheetwindows::FindTabByTitle(sheet, L"Hex Editor");
            if (tab >= 0)
                PropSheet_SetCurSel(sheet, nullptr, tab);
            return 0;
        }
        Sleep(100);
    }
    return 0;
}

// Opens one dialog for items that share a parent folder; returns when it is closed.
HRESULT ShowProperties(const std::vector<Item*>& items) {
    std::vector<PCUITEMID_CHILD> children;
    for (const Item* item : items)
        children.push_back(item->child);
    IContextMenu* menu = nullptr;
    HRESULT hr = items.front()->parent->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()),
                                                      children.data(), IID_IContextMenu, nullptr,
                                                      reinterpret_cast<void**>(&menu));
    if (FAILED(hr))
        return hr;
    CMINVOKECOMMANDINFO invoke{};
    invoke.cbSize = sizeof(invoke);
    invoke.lpVerb = "properties";
    invoke.nShow = SW_SHOWNORMAL;
    HANDLE selector = CreateThread(
        nullptr, 0, SelectHexEditorTab,
        reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(GetCurrentThreadId())), 0, nullptr);
    hr = menu->InvokeCommand(&invoke);
    if (selector) {
        WaitForSingleObject(selector, INFINITE);
        CloseHandle(selector);
    }
    menu->Release();
    return hr;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fwprintf(stderr, L"usage: propweave_launch file [file ...]\n");
        return 2;
    }
    if (FAILED(OleInitialize(nullptr)))
        return 1;
    std::vector<Item> items(static_cast<size_t>(argc - 1));
    std::vector<Item*> parsed;
    for (int i = 1; i < argc; ++i)
        if (ParseItem(argv[i], items[static_cast<size_t>(i - 1)]))
            parsed.push_back(&items[static_cast<size_t>(i - 1)]);

    int result = parsed.empty() ? 1 : 0;
    // Group by folder, keeping the command line's order within each group.
    std::vector<bool> done(parsed.size(), false);
    for (size_t i = 0; i < parsed.size(); ++i) {
        if (done[i])
            continue;
        std::vector<Item*> group;
        for (size_t j = i; j < parsed.size(); ++j) {
            if (!done[j] && _wcsicmp(parsed[j]->folder.c_str(), parsed[i]->folder.c_str()) == 0) {
                group.push_back(parsed[j]);
                done[j] = true;
            }
        }
        const HRESULT hr = ShowProperties(group);
        if (FAILED(hr)) {
            std::fwprintf(stderr,
                          L"propweave_launch: the shell could not open Properties "
                          L"(0x%08lX)\n",
                          static_cast<unsigned long>(hr));
            result = 1;
        }
    }
    for (Item& item : items) {
        if (item.parent)
            item.parent->Release();
        CoTaskMemFree(item.absolute);
    }
    OleUninitialize();
    return result;
}
