// The DLL's COM surface, through its real exports. Each test loads a private copy of the DLL, so
// its object counter starts at 0 whatever the shell has loaded in this process before.
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "server/guids.h"
#include "support/properties_driver.h"

namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();

template <typename Fn> Fn Export(HMODULE module, const char* name) {
    // Through a generic function pointer: FARPROC's own type does not match any real export.
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

const CLSID kOtherClass = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};

class ComServer : public testing::Test {
  protected:
    void SetUp() override {
        static int serial = 0;
        copy_ = L"propweave_com_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                std::to_wstring(serial++) + L".dll";
        ASSERT_TRUE(CopyFileW(L"propweave.dll", copy_.c_str(), FALSE));
        module_ = LoadLibraryW(copy_.c_str());
        ASSERT_NE(module_, nullptr);
        getClassObject_ = Export<GetClassObjectFn>(module_, "DllGetClassObject");
        canUnloadNow_ = Export<CanUnloadNowFn>(module_, "DllCanUnloadNow");
        ASSERT_NE(getClassObject_, nullptr);
        ASSERT_NE(canUnloadNow_, nullptr);
        ASSERT_EQ(canUnloadNow_(), S_OK);
    }
    void TearDown() override {
        if (module_)
            FreeLibrary(module_);
        DeleteFileW(copy_.c_str());
    }

    IClassFactory* Factory() {
        IClassFactory* factory = nullptr;
        EXPECT_EQ(
            getClassObject_(CLSID_ShellExt, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
            S_OK);
        return factory;
    }

    // A new extension object through a factory that is released again at once.
    IShellExtInit* NewExtension() {
        IClassFactory* factory = Factory();
        IShellExtInit* init = nullptr;
        if (factory) {
            EXPECT_EQ(factory->CreateInstance(nullptr, IID_IShellExtInit,
                                              reinterpret_cast<void**>(&init)),
                      S_OK);
            factory->Release();
        }
        return init;
    }

    std::wstring copy_;
    HMODULE module_ = nullptr;
    GetClassObjectFn getClassObject_ = nullptr;
    CanUnloadNowFn canUnloadNow_ = nullptr;
};

} // namespace

TEST_F(ComServer, OtherClassIdIsNotAvailableAndNullsTheOutPointer) {
    void* out = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(getClassObject_(kOtherClass, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(ComServer, FactoryHasOneReferenceAndKeepsTheModuleUntilReleased) {
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(canUnloadNow_(), S_FALSE);
    EXPECT_EQ(factory->AddRef(), 2u);
    EXPECT_EQ(factory->Release(), 1u);
    EXPECT_EQ(factory->Release(), 0u);
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(ComServer, UnknownInterfaceOfTheFactoryLeavesNothingAlive) {
    void* out = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(getClassObject_(CLSID_ShellExt, IID_IShellExtInit, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(ComServer, FactoryAnswersForIUnknownToo) {
    IUnknown* unknown = nullptr;
    ASSERT_EQ(getClassObject_(CLSID_ShellExt, IID_IUnknown, reinterpret_cast<void**>(&unknown)),
              S_OK);
    IClassFactory* factory = nullptr;
    EXPECT_EQ(unknown->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    EXPECT_EQ(factory->Release(), 1u);
    EXPECT_EQ(unknown->Release(), 0u);
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(ComServer, AggregationIsRefused) {
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    void* out = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(factory->CreateInstance(factory, IID_IUnknown, &out), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(out, nullptr);
    factory->Release();
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(ComServer, LockServerChangesNothing) {
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    factory->Release();
    EXPECT_EQ(canUnloadNow_(), S_OK);
    factory = Factory();
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    factory->Release();
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(ComServer, TwoFacesAreDifferentPointersWithOneCount) {
    IShellExtInit* init = NewExtension();
    ASSERT_NE(init, nullptr);
    EXPECT_EQ(canUnloadNow_(), S_FALSE); // the object alone keeps the module

    IShellPropSheetExt* sheetExt = nullptr;
    ASSERT_EQ(init->QueryInterface(IID_IShellPropSheetExt, reinterpret_cast<void**>(&sheetExt)),
              S_OK);
    EXPECT_NE(static_cast<void*>(sheetExt), static_cast<void*>(init));
    IUnknown* unknown = nullptr;
    ASSERT_EQ(sheetExt->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(static_cast<void*>(unknown), static_cast<void*>(init));
    // init, sheetExt and unknown: three references on one count.
    EXPECT_EQ(sheetExt->AddRef(), 4u);
    EXPECT_EQ(init->Release(), 3u);

    void* out = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(init->QueryInterface(IID_IDataObject, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(sheetExt->ReplacePage(0, nullptr, 0), E_FAIL);

    unknown->Release();
    sheetExt->Release();
    EXPECT_EQ(init->Release(), 0u);
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(ComServer, CreateInstanceForAnUnknownInterfaceLeavesNoObject) {
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    void* out = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDataObject, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    factory->Release();
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(ComServer, SecondInitializeReleasesTheFirstDataObject) {
    IShellExtInit* init = NewExtension();
    ASSERT_NE(init, nullptr);
    auto* first = new DropDataObject({L"Z:\\tmp\\a"});
    auto* second = new DropDataObject({L"Z:\\tmp\\b"});
    EXPECT_EQ(init->Initialize(nullptr, first, nullptr), S_OK);
    EXPECT_EQ(first->References(), 2);
    EXPECT_EQ(init->Initialize(nullptr, second, nullptr), S_OK);
    EXPECT_EQ(first->References(), 1);
    EXPECT_EQ(second->References(), 2);
    EXPECT_EQ(init->Initialize(nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(second->References(), 1);
    EXPECT_EQ(init->Initialize(nullptr, second, nullptr), S_OK);
    init->Release(); // destruction gives the held one back
    EXPECT_EQ(second->References(), 1);
    first->Release();
    second->Release();
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

// Only the two entry points are exported (no self-registration, no stray symbols).
TEST_F(ComServer, ExportsExactlyTheTwoEntryPoints) {
    auto* base = reinterpret_cast<const BYTE*>(module_);
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    ASSERT_NE(dir.VirtualAddress, 0u);
    auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    ASSERT_EQ(exports->NumberOfNames, 2u);
    auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    EXPECT_STREQ(reinterpret_cast<const char*>(base + names[0]), "DllCanUnloadNow");
    EXPECT_STREQ(reinterpret_cast<const char*>(base + names[1]), "DllGetClassObject");
    EXPECT_EQ(GetProcAddress(module_, "DllRegisterServer"), nullptr);
}
