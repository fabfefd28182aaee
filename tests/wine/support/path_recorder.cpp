#include "support/path_recorder.h"

#include <windows.h>

#include <shellapi.h>

#include <cstring>
#include <mutex>
#include <tuple>

namespace {

struct Function {
    const char* name;
    void* standIn;
    void* original = nullptr;
};
extern Function g_functions[7];
std::mutex g_mutex;
std::vector<std::pair<std::string, std::wstring>> g_calls;

// Stands in for function F, whose path is argument `Arg`.
template <size_t F, size_t Arg, typename R, typename... A> R WINAPI Record(A... args) {
    if (const wchar_t* path = std::get<Arg>(std::tie(args...))) {
        const std::lock_guard<std::mutex> hold(g_mutex);
        g_calls.emplace_back(g_functions[F].name, path);
    }
    return reinterpret_cast<R(WINAPI*)(A...)>(g_functions[F].original)(args...);
}
template <size_t F, size_t Arg, typename R, typename... A> void* StandIn(R(WINAPI*)(A...)) {
    return reinterpret_cast<void*>(&Record<F, Arg, R, A...>);
}

Function g_functions[7] = {
    {"CreateFileW", StandIn<0, 0>(&CreateFileW)},
    {"GetFileAttributesW", StandIn<1, 0>(&GetFileAttributesW)},
    {"GetFileAttributesExW", StandIn<2, 0>(&GetFileAttributesExW)},
    {"FindFirstFileW", StandIn<3, 0>(&FindFirstFileW)},
    {"GetLongPathNameW", StandIn<4, 0>(&GetLongPathNameW)},
    {"SHGetFileInfoW", StandIn<5, 0>(&SHGetFileInfoW)},
    {"ExtractAssociatedIconW", StandIn<6, 1>(&ExtractAssociatedIconW)},
};

} // namespace

void* PatchImport(const char* function, void* standIn) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(
        base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
    void* was = nullptr;
    for (; module->Name; ++module) {
        auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
        auto* slot = reinterpret_cast<void**>(base + module->FirstThunk);
        for (; name->u1.AddressOfData; ++name, ++slot) {
            const auto* named =
                reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal) || std::strcmp(named->Name, function))
                continue;
            DWORD access = 0;
            VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &access);
            was = std::exchange(*slot, standIn);
            VirtualProtect(slot, sizeof(*slot), access, &access);
        }
    }
    return was;
}

PathRecorder::PathRecorder() {
    g_calls.clear();
    for (Function& f : g_functions)
        f.original = PatchImport(f.name, f.standIn);
}

PathRecorder::~PathRecorder() {
    for (Function& f : g_functions)
        PatchImport(f.name, f.original);
}

std::vector<std::pair<std::string, std::wstring>> PathRecorder::Calls() const {
    const std::lock_guard<std::mutex> hold(g_mutex);
    return g_calls;
}
