#include "server/class_factory.h"

#include "hexedit/accessible_view.h"
#include "server/guids.h"
#include "server/object_counter.h"
#include "server/shell_ext.h"

const QITAB CShellExtClassFactory::kInterfaces[] = {
    InterfaceEntry<CShellExtClassFactory, IClassFactory>(),
    {},
};

CShellExtClassFactory::CShellExtClassFactory() {
    AddObject();
}

CShellExtClassFactory::~CShellExtClassFactory() {
    RemoveObject();
}

STDMETHODIMP CShellExtClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    return CreateComObject<CShellExt>(riid, ppv);
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
    return CreateComObject<CShellExtClassFactory>(riid, ppv);
}

HRESULT CanUnloadModule() {
    return ObjectCount() == 0 && LiveAccessibleObjects() == 0 ? S_OK : S_FALSE;
}
