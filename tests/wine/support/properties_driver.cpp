#include "support/properties_driver.h"

#include <shlobj.h>

#include <cstring>
#include <new>
#include <thread>

#include "server/shell_ext.h"
#include "tools/launcher/sheet_windows.h"

namespace {

// Messages to the sheet's thread: long enough for a message box to be answered, short enough
// that a hung sheet fails the test instead of the run.
constexpr UINT kSendTimeoutMs = 30000;

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs, &result);
    return static_cast<LRESULT>(result);
}

void PumpThread() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace

HGLOBAL MakeDrop(const std::vector<std::wstring>& paths, bool wide) {
    std::wstring text;
    for (const std::wstring& path : paths)
        text += path + L'\0';
    text += L'\0';
    std::string narrow(text.size() * 2, '\0');
    narrow.resize(WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                      narrow.data(), static_cast<int>(narrow.size()), nullptr,
                                      nullptr));
    const size_t bytes = wide ? text.size() * sizeof(wchar_t) : narrow.size();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + bytes);
    if (!memory)
        return nullptr;
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = wide;
    memcpy(drop + 1, wide ? static_cast<const void*>(text.data()) : narrow.data(), bytes);
    GlobalUnlock(memory);
    return memory;
}

// The shell's item list ("Shell IDList Array") for paths of one folder: the count, each list's
// offset, the folder's list, then each item's list relative to it.
static HGLOBAL MakeItemList(const std::vector<std::wstring>& paths) {
    std::vector<PIDLIST_ABSOLUTE> items(paths.size() + 1);
    for (size_t i = 0; i < paths.size(); ++i)
        SHParseDisplayName(paths[i].c_str(), nullptr, &items[i + 1], 0, nullptr);
    items[0] = ILClone(items[1]);
    ILRemoveLastID(items[0]);
    std::vector<UINT> header{static_cast<UINT>(paths.size())};
    std::string lists;
    for (size_t i = 0; i < items.size(); ++i) {
        const auto* list = i == 0 ? items[0] : ILFindLastID(items[i]);
        header.push_back(static_cast<UINT>(sizeof(UINT) * (items.size() + 1) + lists.size()));
        lists.append(reinterpret_cast<const char*>(list), ILGetSize(list));
        ILFree(items[i]);
    }
    lists.insert(0, reinterpret_cast<const char*>(header.data()), header.size() * sizeof(UINT));
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, lists.size());
    memcpy(GlobalLock(memory), lists.data(), lists.size());
    GlobalUnlock(memory);
    return memory;
}

DropDataObject::DropDataObject(std::vector<std::wstring> paths, bool serveDrop, bool serveItemList)
    : paths_(std::move(paths)), serveDrop_(serveDrop), serveItemList_(serveItemList) {}

STDMETHODIMP DropDataObject::QueryInterface(REFIID riid, void** ppv) {
    *ppv = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDataObject))
        return E_NOINTERFACE;
    *ppv = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) DropDataObject::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
}

STDMETHODIMP_(ULONG) DropDataObject::Release() {
    const LONG count = InterlockedDecrement(&refs_);
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

STDMETHODIMP DropDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    ++getDataCalls_;
    memset(medium, 0, sizeof(*medium));
    const bool drop = serveDrop_ && format->cfFormat == CF_HDROP;
    const bool itemList =
        serveItemList_ && format->cfFormat == RegisterClipboardFormatW(CFSTR_SHELLIDLIST);
    if (!(drop || itemList) || !(format->tymed & TYMED_HGLOBAL))
        return DV_E_FORMATETC;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = drop ? MakeDrop(paths_) : MakeItemList(paths_);
    if (itemList && medium->hGlobal && !itemLists_.block) {
        itemLists_.block = medium->hGlobal;
        medium->pUnkForRelease = &itemLists_;
        itemLists_.AddRef();
    }
    return medium->hGlobal ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP DropDataObject::QueryGetData(FORMATETC* format) {
    return serveDrop_ && format->cfFormat == CF_HDROP ? S_OK : DV_E_FORMATETC;
}

STDMETHODIMP DropDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    out->ptd = nullptr;
    return E_NOTIMPL;
}

BOOL CALLBACK PageCollector::Add(HPROPSHEETPAGE page, LPARAM collector) {
    auto* self = reinterpret_cast<PageCollector*>(collector);
    ++self->offered;
    if (self->accept)
        self->pages.push_back(page);
    return self->accept ? TRUE : FALSE;
}

InProcessSheet::InProcessSheet(const std::vector<std::wstring>& paths) {
    ext_ = new (std::nothrow) CShellExt();
    ext_->AddRef();
    auto* data = new DropDataObject(paths);
    ext_->Initialize(nullptr, data, nullptr);
    data->Release();
    PageCollector collector;
    ext_->AddPages(PageCollector::Add, reinterpret_cast<LPARAM>(&collector));
    if (collector.pages.empty())
        return;
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_MODELESS;
    header.hInstance = GetModuleHandleW(nullptr);
    header.pszCaption = kCaption;
    header.nPages = static_cast<UINT>(collector.pages.size());
    header.phpage = collector.pages.data();
    sheet_ = reinterpret_cast<HWND>(PropertySheetW(&header));
    if (!sheet_)
        return;
    MSG pressed;
    while (PeekMessageW(&pressed, sheet_, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
    }
    page_ = PropSheet_GetCurrentPageHwnd(sheet_);
    PumpThread();
}

InProcessSheet::~InProcessSheet() {
    Close();
    ext_->Release();
}

bool InProcessSheet::PressButton(int button) {
    SendMessageW(sheet_, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
    PumpThread();
    return PropSheet_GetCurrentPageHwnd(sheet_) != nullptr;
}

void InProcessSheet::Close() {
    if (sheet_)
        DestroyWindow(sheet_);
    sheet_ = nullptr;
    page_ = nullptr;
    PumpThread();
}

std::vector<RecordedBox> MessageBoxesOnly(const MessageBoxRecorder& recorder) {
    std::vector<RecordedBox> boxes;
    for (const RecordedBox& box : recorder.Boxes())
        if (box.title != InProcessSheet::kCaption && box.title.rfind(L"Properties for", 0) != 0)
            boxes.push_back(box);
    return boxes;
}

HWND FindSheetOfThread(DWORD thread) {
    return sheetwindows::FindVisibleSheet(thread);
}

HWND WaitForSheet(DWORD thread, int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 50) {
        if (HWND sheet = FindSheetOfThread(thread))
            return sheet;
        Sleep(50);
    }
    return nullptr;
}

HWND ShowHexPage(HWND sheet) {
    const int tab = sheetwindows::FindTabByTitle(sheet, L"Hex Editor");
    if (tab < 0)
        return nullptr;
    Send(sheet, PSM_SETCURSEL, static_cast<WPARAM>(tab), 0);
    return reinterpret_cast<HWND>(Send(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

HRESULT OpenShellProperties(const std::vector<std::wstring>& paths,
                            const std::function<void(HWND sheet)>& drive,
                            const std::function<void()>& beforeInvoke) {
    std::vector<PIDLIST_ABSOLUTE> absolute;
    std::vector<PCUITEMID_CHILD> children;
    IShellFolder* parent = nullptr;
    HRESULT hr = S_OK;
    for (const std::wstring& path : paths) {
        PIDLIST_ABSOLUTE pidl = nullptr;
        hr = SHParseDisplayName(path.c_str(), nullptr, &pidl, 0, nullptr);
        if (FAILED(hr))
            break;
        absolute.push_back(pidl);
        IShellFolder* folder = nullptr;
        PCUITEMID_CHILD child = nullptr;
        hr = SHBindToParent(pidl, IID_IShellFolder, reinterpret_cast<void**>(&folder), &child);
        if (FAILED(hr))
            break;
        children.push_back(child);
        if (!parent)
            parent = folder;
        else
            folder->Release();
    }
    IContextMenu* menu = nullptr;
    if (SUCCEEDED(hr))
        hr = parent->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()), children.data(),
                                   IID_IContextMenu, nullptr, reinterpret_cast<void**>(&menu));
    if (SUCCEEDED(hr) && beforeInvoke)
        beforeInvoke();
    if (SUCCEEDED(hr)) {
        const DWORD thread = GetCurrentThreadId();
        std::thread driver([thread, &drive] {
            HWND sheet = WaitForSheet(thread, 20000);
            drive(sheet);
            // Whatever the driver left open is cancelled, so the test can go on.
            for (int waited = 0; sheet && IsWindow(sheet) && waited < 20000; waited += 50) {
                if (waited > 0 && waited % 5000 == 0)
                    PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
                Sleep(50);
            }
        });
        CMINVOKECOMMANDINFO invoke{};
        invoke.cbSize = sizeof(invoke);
        invoke.lpVerb = "properties";
        invoke.nShow = SW_SHOWNORMAL;
        hr = menu->InvokeCommand(&invoke);
        driver.join();
        menu->Release();
    }
    if (parent)
        parent->Release();
    for (PIDLIST_ABSOLUTE pidl : absolute)
        CoTaskMemFree(pidl);
    return hr;
}

std::wstring WindowText(HWND window) {
    wchar_t text[1024] = {};
    Send(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

std::vector<std::wstring> ComboEntries(HWND combo) {
    std::vector<std::wstring> entries;
    const int count = static_cast<int>(Send(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[1024] = {};
        Send(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

HWND FocusOfThread(DWORD thread) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}
