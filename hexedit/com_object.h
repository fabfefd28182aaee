// IUnknown for this module's COM classes, written once: one interlocked count per object
// whatever number of interfaces it shows, QueryInterface from the class's interface table, and
// the object deleted by its last Release only (the classes keep their destructors private).
#pragma once

#include <windows.h>

#include <shlwapi.h>

#include <new>
#include <utility>

// One entry of an interface table: where Interface sits inside Derived. The SDK's QITABENT
// narrows that offset to the entry's int inside braces, which clang rejects as ill-formed;
// here the conversion is spelled out.
template <class Derived, class Interface> QITAB InterfaceEntry() {
    return {&__uuidof(Interface),
            static_cast<decltype(QITAB::dwOffset)>(OFFSETOFCLASS(Interface, Derived))};
}

// Derived lists its interfaces as a QITAB (InterfaceEntry entries, ending with an empty one)
// in `static const QITAB kInterfaces[]`; the first entry also answers IID_IUnknown.
template <class Derived, class... Interfaces> class ComObject : public Interfaces... {
  public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        return QISearch(static_cast<Derived*>(this), Derived::kInterfaces, riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&refCount_));
    }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG count = InterlockedDecrement(&refCount_);
        if (count == 0)
            delete this;
        return static_cast<ULONG>(count);
    }

  protected:
    ComObject() = default;
    virtual ~ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

  private:
    LONG refCount_ = 0;
};

// Makes a T and hands out its `riid` interface. The object starts with no reference, so the
// one taken here is given back at the end: a failed query leaves nobody holding it and
// deletes it.
template <class T, class... Args> HRESULT CreateComObject(REFIID riid, void** ppv, Args&&... args) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    T* object = new (std::nothrow) T(std::forward<Args>(args)...);
    if (!object)
        return E_OUTOFMEMORY;
    object->AddRef();
    const HRESULT hr = object->QueryInterface(riid, ppv);
    object->Release();
    return hr;
}
