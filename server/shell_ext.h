// CShellExt: the property-sheet extension object of one Properties dialog. It takes the
// selection from the shell, reads its switches and adds the "Hex Editor" page, and it owns what
// the page shows (the selection state and the editor, through PageHost).
#pragma once

#include <windows.h>

#include <shlobj.h>

#include "page/page_host.h"
#include "hexedit/com_object.h"
#include "server/unique_stg_medium.h"

// Both faces share one reference count (ComObject's).
class CShellExt final : public ComObject<CShellExt, IShellExtInit, IShellPropSheetExt>,
                        public PageHost {
  public:
    static const QITAB kInterfaces[];

    CShellExt();

    // IShellExtInit
    STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE pidlFolder, IDataObject* pdtobj,
                            HKEY hkeyProgID) override;

    // IShellPropSheetExt
    STDMETHODIMP AddPages(LPFNSVADDPROPSHEETPAGE pfnAddPage, LPARAM lParam) override;
    STDMETHODIMP ReplacePage(EXPPS uPageID, LPFNSVADDPROPSHEETPAGE pfnReplaceWith,
                             LPARAM lParam) override;

    // The page's callback: PSPCB_RELEASE gives back the reference the page held.
    static UINT CALLBACK PageCallback(HWND window, UINT message, LPPROPSHEETPAGEW page);

    // The object named by a page parameter or a view's user data (its IShellExtInit face).
    static CShellExt* FromParameter(LONG_PTR parameter);

    HANDLE instanceMutex = nullptr;

  private:
    ~CShellExt() override;
    bool TakeDrop();
    void AddPage(LPFNSVADDPROPSHEETPAGE pfnAddPage, LPARAM lParam);

    IDataObject* dataObject = nullptr;
    // The selection's drop list, which hDrop points into while it is held.
    UniqueStgMedium medium;
    // Counts the page releases made by PageCallback, so a refused page is given back once.
    LONG pageReleases = 0;
};
