// The floor of the properties timing: a shell extension that adds a "Hex Editor" page made
// from the same template 129 and the same activation context, whose dialog procedure does
// nothing. What the real page costs beyond this is the page's own work.
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include "do_nothing_handler.h"

namespace {

// {6B0C4E5A-2F7D-4C1B-9E36-0A5D7B8C9F10}
const CLSID kFloorClass = {
    0x6b0c4e5a, 0x2f7d, 0x4c1b, {0x9e, 0x36, 0x0a, 0x5d, 0x7b, 0x8c, 0x9f, 0x10}};

HINSTANCE g_instance = nullptr;
HANDLE g_context = INVALID_HANDLE_VALUE;

INT_PTR CALLBACK NothingDlgProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

HANDLE ActivationContext() {
    if (g_context == INVALID_HANDLE_VALUE) {
        ACTCTXW context{};
        context.cbSize = sizeof(context);
        context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
        context.hModule = g_instance;
        context.lpResourceName = MAKEINTRESOURCEW(2);
        g_context = CreateActCtxW(&context);
    }
    return g_context;
}

void AddFloorPage(LPFNSVADDPROPSHEETPAGE add, LPARAM parameter) {
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof(page);
    page.dwFlags = PSP_USETITLE;
    page.hInstance = g_instance;
    page.pszTemplate = MAKEINTRESOURCEW(129);
    page.pszTitle = L"Hex Editor";
    page.pfnDlgProc = NothingDlgProc;
    HANDLE context = ActivationContext();
    if (context != INVALID_HANDLE_VALUE) {
        page.dwFlags |= PSP_USEFUSIONCONTEXT;
        page.hActCtx = context;
    }
    HPROPSHEETPAGE handle = CreatePropertySheetPageW(&page);
    if (handle && !add(handle, parameter))
        DestroyPropertySheetPage(handle);
}

using FloorExtension = DoNothingHandler<AddFloorPage>;
StaticClassFactory<FloorExtension> g_factory;

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        g_instance = instance;
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
    if (!IsEqualCLSID(clsid, kFloorClass))
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(riid, out);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() {
    return FloorExtension::alive == 0 ? S_OK : S_FALSE;
}
