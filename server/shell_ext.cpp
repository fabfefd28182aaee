#include "server/shell_ext.h"

#include <commctrl.h>

#include <utility>

#include "hexedit/core/long_path.h"
#include "hexedit/module_context.h"
#include "hexedit/win32_handles.h"
#include "page/page_dlg.h"
#include "resources/resource_ids.h"
#include "server/object_counter.h"
#include "server/registry_settings.h"
#include "server/selection_source.h"

namespace {

const wchar_t kInstanceMutexName[] = L"{2281DD07-CD57-4026-AA9F-80BE139EFA21}";

CHexEdit* EditorOfShellExt(LONG_PTR userData) {
    CShellExt* ext = CShellExt::FromParameter(userData);
    return ext ? &ext->editor : nullptr;
}

PageHost* HostOfShellExt(LPARAM parameter) {
    return CShellExt::FromParameter(parameter);
}

} // namespace

const QITAB CShellExt::kInterfaces[] = {
    InterfaceEntry<CShellExt, IShellExtInit>(),
    InterfaceEntry<CShellExt, IShellPropSheetExt>(),
    {},
};

CShellExt::CShellExt() {
    // The page and the editor find this object from a page parameter or a view's user data.
    RegisterEditorLocator(EditorOfShellExt);
    RegisterPageHostLocator(HostOfShellExt);
    AddObject();
    instanceMutex = CreateMutexW(nullptr, FALSE, kInstanceMutexName);
}

CShellExt::~CShellExt() {
    if (dataObject)
        dataObject->Release();
    dataObject = nullptr;
    RemoveObject();
    if (instanceMutex)
        CloseHandle(instanceMutex);
    instanceMutex = nullptr;
    free(fileIndexes);
    fileIndexes = nullptr;
}

CShellExt* CShellExt::FromParameter(LONG_PTR parameter) {
    if (parameter == 0)
        return nullptr;
    return static_cast<CShellExt*>(reinterpret_cast<IShellExtInit*>(parameter));
}

STDMETHODIMP CShellExt::Initialize(PCIDLIST_ABSOLUTE, IDataObject* pdtobj, HKEY) {
    if (dataObject)
        dataObject->Release();
    dataObject = pdtobj;
    if (dataObject)
        dataObject->AddRef();
    return S_OK;
}

bool CShellExt::TakeDrop() {
    if (!dataObject)
        return true;
    UniqueStgMedium taken;
    if (!TakeSelection(dataObject, taken))
        return false;
    // A second AddPages must not lose the medium of the first: the page may still read it.
    if (medium)
        return true;
    medium = std::move(taken);
    if (medium.get().hGlobal) {
        hDrop = static_cast<HDROP>(medium.get().hGlobal);
        dropCount = DragQueryFileW(hDrop, 0xFFFFFFFF, nullptr, 0);
    }
    return true;
}

STDMETHODIMP CShellExt::AddPages(LPFNSVADDPROPSHEETPAGE pfnAddPage, LPARAM lParam) {
    if (!TakeDrop())
        return S_OK;
    CheckMachineSettingsKey();
    const bool switchedOn = PageSwitchedOn();
    EnsureMemberRecord();
    if (dropCount == 0)
        return S_OK;
    DragQueryFileW(hDrop, 0, firstPath, static_cast<UINT>(kPathCapacity));

    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(longpath::ForFileSystem(firstPath).c_str(), &found);
    if (find == INVALID_HANDLE_VALUE || !FindClose(find))
        return S_OK;

    ScopedActivationContext context(ModuleActivationContext());
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
    if (!InitCommonControlsEx(&controls))
        MessageBoxW(nullptr, L"Can't initialize common controls", L"Error", MB_OK);
    if (!switchedOn)
        return S_OK;
    AddPage(pfnAddPage, lParam);
    return S_OK;
}

void CShellExt::AddPage(LPFNSVADDPROPSHEETPAGE pfnAddPage, LPARAM lParam) {
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof(page);
    page.dwFlags = PSP_USETITLE | PSP_USEREFPARENT | PSP_USECALLBACK;
    page.hInstance = ModuleInstance();
    page.pszTemplate = MAKEINTRESOURCEW(IDD_HEX_PAGE);
    page.pszTitle = L"Hex Editor";
    page.pfnDlgProc = PageDlgProc;
    page.lParam = reinterpret_cast<LPARAM>(static_cast<IShellExtInit*>(this));
    page.pfnCallback = PageCallback;
    page.pcRefParent = ObjectCounterAddress();
    // The page dialog is made later, when the sheet shows it: the sheet activates this context
    // around that creation, so the page's controls are version 6 too.
    if (HANDLE context = ModuleActivationContext()) {
        page.dwFlags |= PSP_USEFUSIONCONTEXT;
        page.hActCtx = context;
    }

    AddRef(); // held by the page until PSPCB_RELEASE
    HPROPSHEETPAGE made = CreatePropertySheetPageW(&page);
    if (!made) {
        Release();
        return;
    }
    if (pfnAddPage && pfnAddPage(made, lParam))
        return;
    // Refused: the sheet's release callback may or may not run on destruction; give the page's
    // reference back exactly once either way. The caller's reference keeps us alive here.
    const LONG releasesBefore = InterlockedCompareExchange(&pageReleases, 0, 0);
    DestroyPropertySheetPage(made);
    if (InterlockedCompareExchange(&pageReleases, 0, 0) == releasesBefore)
        Release();
}

STDMETHODIMP CShellExt::ReplacePage(EXPPS, LPFNSVADDPROPSHEETPAGE, LPARAM) {
    return E_FAIL;
}

UINT CALLBACK CShellExt::PageCallback(HWND, UINT message, LPPROPSHEETPAGEW page) {
    if (message == PSPCB_RELEASE && page) {
        if (CShellExt* ext = FromParameter(page->lParam)) {
            InterlockedIncrement(&ext->pageReleases);
            ext->Release();
        }
    }
    return 1;
}
