// The DLL's entry point and its two exports.
#include <windows.h>

#include "hexedit/module_context.h"
#include "server/class_factory.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        // Thread notifications stay on: the statically linked runtime frees a thread's own
        // data when it ends, and Explorer runs one thread per Properties dialog.
        SetModuleInstance(instance);
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
