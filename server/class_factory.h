// The class factory that makes one CShellExt per Properties dialog, and the module's class
// object lookup behind DllGetClassObject.
#pragma once

#include <windows.h>

#include <unknwn.h>

class CShellExtClassFactory : public IClassFactory {
  public:
    CShellExtClassFactory();
    virtual ~CShellExtClassFactory();
    CShellExtClassFactory(const CShellExtClassFactory&) = delete;
    CShellExtClassFactory& operator=(const CShellExtClassFactory&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    STDMETHODIMP LockServer(BOOL lock) override;

  private:
    LONG refCount = 0;
};

// A new factory's interface for CLSID_ShellExt; CLASS_E_CLASSNOTAVAILABLE for any other class.
HRESULT GetShellExtClassObject(REFCLSID rclsid, REFIID riid, void** ppv);

// S_OK when no factory, extension object or page of this module is alive.
HRESULT CanUnloadModule();
