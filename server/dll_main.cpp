// The DLL's entry point and its two exports.
#include <windows.h>

#include "hexedit/module_context.h"
#include "server/class_factory.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        SetModuleInstance(instance);
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Only on FreeLibrary: at process exit the context goes with the process.
        ReleaseModuleContext();
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
    return GetShellExtClassObject(rclsid, riid, ppv);
}

STDAPI DllCanUnloadNow() {
    return CanUnloadModule();
}
