#include "hexedit/module_context.h"

#include <atomic>

namespace {

constexpr WORD kManifestResourceId = 2;

std::atomic<HINSTANCE> g_instance{nullptr};
std::atomic<HANDLE> g_activationContext{nullptr};
// Set once creation was tried and failed, so a missing manifest is not retried per call.
std::atomic<bool> g_contextUnavailable{false};

HINSTANCE ModuleOfThisCode() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ModuleOfThisCode), &module);
    return module;
}

} // namespace

void SetModuleInstance(HINSTANCE instance) {
    g_instance.store(instance);
}

HINSTANCE ModuleInstance() {
    HINSTANCE instance = g_instance.load();
    if (!instance) {
        instance = ModuleOfThisCode();
        g_instance.store(instance);
    }
    return instance;
}

HANDLE ModuleActivationContext() {
    HANDLE context = g_activationContext.load();
    if (context || g_contextUnavailable.load())
        return context;

    ACTCTXW description{};
    description.cbSize = sizeof(description);
    description.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    description.hModule = ModuleInstance();
    description.lpResourceName = MAKEINTRESOURCEW(kManifestResourceId);
    HANDLE made = CreateActCtxW(&description);
    if (made == INVALID_HANDLE_VALUE) {
        g_contextUnavailable.store(true);
        return nullptr;
    }
    // Two threads may race here; the loser gives its copy back.
    HANDLE expected = nullptr;
    if (!g_activationContext.compare_exchange_strong(expected, made)) {
        ReleaseActCtx(made);
        return expected;
    }
    return made;
}

void ReleaseModuleContext() {
    HANDLE context = g_activationContext.exchange(nullptr);
    if (context)
        ReleaseActCtx(context);
}
