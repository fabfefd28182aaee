#include "support/path_recorder.h"

#include <windows.h>

#include <shellapi.h>

#include <cstring>
#include <map>
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
std::map<std::string, std::vector<std::wstring>> g_paths; // by function

// Stands in for function F, whose path is argument `Arg`.
template <size_t F, size_t Arg, typename R, typename... A> R WINAPI Record(A... args) {
    if (const wchar_t* path = std::get<Arg>(std::tie(args...))) {
        const std::lock_guard<std::mutex> hold(g_mutex);
        g_paths[g_functions[F].name].push_back(path);
    }
    return reinterpret_cast<R (*)(A...)>(g_functions[F].original)(args...);
}
template <size_t F, size_t Arg, typename R, typename... A> void* StandIn(R (*)(A...)) {
    return reinterpret_cast<void*>(&Record<F, Arg, R, A...>);
}
template <typename Type> constexpr Type* kType = nullptr;

Function g_functions[7] = {
    {"CreateFileW", StandIn<0, 0>(kType<decltype(CreateFileW)>)},
    {"GetFileAttributesW", StandIn<1, 0>(kType<decltype(GetFileAttributesW)>)},
    {"GetFileAttributesExW", StandIn<2, 0>(kType<decltype(GetFileAttributesExW)>)},
    {"FindFirstFileW", StandIn<3, 0>(kType<decltype(FindFirstFileW)>)},
    {"GetLongPathNameW", StandIn<4, 0>(kType<decltype(GetLongPathNameW)>)},
    {"SHGetFileInfoW", StandIn<5, 0>(kType<decltype(SHGetFileInfoW)>)},
    {"ExtractAssociatedIconW", StandIn<6, 1>(kType<decltype(ExtractAssociatedIconW)>)},
};

// Points each import slot of those functions at its stand-in, or back at the function.
void Patch(bool record) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(
        base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
    for (; module->Name; ++module) {
        auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; name->u1.AddressOfData; ++name, ++slot) {
            const auto* named =
                reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
            for (Function& f : g_functions) {
                if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal) ||
                    std::strcmp(reinterpret_cast<const char*>(named->Name), f.name) != 0)
                    continue;
                DWORD was = 0;
                VirtualProtect(&slot->u1.Function, sizeof(void*), PAGE_READWRITE, &was);
                if (record)
                    f.original = reinterpret_cast<void*>(slot->u1.Function);
                slot->u1.Function = reinterpret_cast<ULONG_PTR>(record ? f.standIn : f.original);
                VirtualProtect(&slot->u1.Function, sizeof(void*), was, &was);
            }
        }
    }
}

} // namespace

PathRecorder::PathRecorder() {
    g_paths.clear();
    Patch(true);
}

PathRecorder::~PathRecorder() {
    Patch(false);
}

std::vector<std::wstring> PathRecorder::PathsOf(const char* function) const {
    const std::lock_guard<std::mutex> hold(g_mutex);
    return g_paths[function];
}

std::vector<std::wstring> PathRecorder::PlainLongPaths() const {
    const std::lock_guard<std::mutex> hold(g_mutex);
    std::vector<std::wstring> plain;
    for (const auto& [function, paths] : g_paths)
        for (const std::wstring& path : paths)
            if (path.size() >= 260 && path.rfind(L"\\\\?\\", 0) != 0)
                plain.push_back(std::wstring(function.begin(), function.end()) + L" " + path);
    return plain;
}
