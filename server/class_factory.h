// The class factory that makes one CShellExt per Properties dialog, and the module's class
// object lookup behind DllGetClassObject.
#pragma once

#include <windows.h>

#include <unknwn.h>

#include "hexedit/com_object.h"

class CShellExtClassFactory final : public ComObject<CShellExtClassFactory, IClassFactory> {
  public:
    static const QITAB kInterfaces[];

    CShellExtClassFactory();

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    STDMETHODIMP LockServer(BOOL lock) override;

  private:
    ~CShellExtClassFactory() override;
};

// A new factory's interface for CLSID_ShellExt; CLASS_E_CLASSNOTAVAILABLE for any other class.
HRESULT GetShellExtClassObject(REFCLSID rclsid, REFIID riid, void** ppv);

// S_OK when no factory, extension object or page of this module is alive.
HRESULT CanUnloadModule();
