#include "server/class_factory.h"

#include <new>

#include "server/guids.h"
#include "server/object_counter.h"
#include "server/shell_ext.h"

CShellExtClassFactory::CShellExtClassFactory() {
    AddObject();
}

CShellExtClassFactory::~CShellExtClassFactory() {
    RemoveObject();
}

STDMETHODIMP CShellExtClassFactory::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory))
        return E_NOINTERFACE;
    *ppv = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CShellExtClassFactory::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&refCount));
}

STDMETHODIMP_(ULONG) CShellExtClassFactory::Release() {
    const LONG count = InterlockedDecrement(&refCount);
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

STDMETHODIMP CShellExtClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    CShellExt* object = new (std::nothrow) CShellExt();
    if (!object)
        return E_OUTOFMEMORY;
    // The reference count starts at 0: a failed query leaves nobody holding the object.
    const HRESULT hr = object->QueryInterface(riid, ppv);
    if (FAILED(hr))
        delete object;
    return hr;
}

// Only live objects and pages keep the module loaded.
STDMETHODIMP CShellExtClassFactory::LockServer(BOOL) {
    return S_OK;
}

HRESULT GetShellExtClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualCLSID(rclsid, CLSID_ShellExt))
        return CLASS_E_CLASSNOTAVAILABLE;
    CShellExtClassFactory* factory = new (std::nothrow) CShellExtClassFactory();
    if (!factory)
        return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(riid, ppv);
    if (FAILED(hr))
        delete factory;
    return hr;
}

HRESULT CanUnloadModule() {
    return ObjectCount() == 0 ? S_OK : S_FALSE;
}
