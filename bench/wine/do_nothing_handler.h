// A property-sheet handler that does nothing but count its live objects, for the harnesses that
// compare our page with what any handler costs. AddPagesTo decides what it adds (nothing, or a
// page of its own); the counting is the module's own ComObject.
#pragma once

#include <windows.h>

#include <shlobj.h>

#include "hexedit/com_object.h"

template <void (*AddPagesTo)(LPFNSVADDPROPSHEETPAGE, LPARAM)>
class DoNothingHandler final
    : public ComObject<DoNothingHandler<AddPagesTo>, IShellExtInit, IShellPropSheetExt> {
  public:
    static const QITAB kInterfaces[];
    static inline LONG alive = 0;

    DoNothingHandler() { InterlockedIncrement(&alive); }

    STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE, IDataObject*, HKEY) override { return S_OK; }
    STDMETHODIMP AddPages(LPFNSVADDPROPSHEETPAGE add, LPARAM parameter) override {
        AddPagesTo(add, parameter);
        return S_OK;
    }
    STDMETHODIMP ReplacePage(EXPPS, LPFNSVADDPROPSHEETPAGE, LPARAM) override { return E_NOTIMPL; }

  private:
    ~DoNothingHandler() override { InterlockedDecrement(&alive); }
};

template <void (*AddPagesTo)(LPFNSVADDPROPSHEETPAGE, LPARAM)>
const QITAB DoNothingHandler<AddPagesTo>::kInterfaces[] = {
    QITABENT(DoNothingHandler, IShellExtInit),
    QITABENT(DoNothingHandler, IShellPropSheetExt),
    {},
};

// A factory that lives as long as the module and makes handlers of type T.
template <class T> class StaticClassFactory final : public IClassFactory {
  public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory))
            return E_NOINTERFACE;
        *ppv = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return CreateComObject<T>(riid, ppv);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};
