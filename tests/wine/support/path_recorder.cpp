#include "support/path_recorder.h"

#include <windows.h>

#include <shellapi.h>

#include <cstring>
#include <iterator>
#include <mutex>
#include <tuple>

namespace {

struct Call {
    size_t function;
    std::wstring path;
};
std::mutex g_mutex;
std::vector<Call> g_calls;
const char* const kNames[] = {"CreateFileW",           "GetFileAttributesW", "GetFileAttributesExW",
                              "FindFirstFileW",        "GetLongPathNameW",   "SHGetFileInfoW",
                              "ExtractAssociatedIconW"};

void* g_original[std::size(kNames)];

// Stands in for function `F`, whose path is argument `Arg`.
template <size_t F, size_t Arg, typename R, typename... A> R WINAPI Record(A... args) {
    if (const wchar_t* path = std::get<Arg>(std::tie(args...))) {
        const std::lock_guard<std::mutex> hold(g_mutex);
        g_calls.push_back({F, path});
    }
    return reinterpret_cast<R(WINAPI*)(A...)>(g_original[F])(args...);
}

void* const kHooks[] = {
    reinterpret_cast<void*>(
        &Record<0, 0, HANDLE, LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE>),
    reinterpret_cast<void*>(&Record<1, 0, DWORD, LPCWSTR>),
    reinterpret_cast<void*>(&Record<2, 0, BOOL, LPCWSTR, GET_FILEEX_INFO_LEVELS, LPVOID>),
    reinterpret_cast<void*>(&Record<3, 0, HANDLE, LPCWSTR, LPWIN32_FIND_DATAW>),
    reinterpret_cast<void*>(&Record<4, 0, DWORD, LPCWSTR, LPWSTR, DWORD>),
    reinterpret_cast<void*>(&Record<5, 0, DWORD_PTR, LPCWSTR, DWORD, SHFILEINFOW*, UINT, UINT>),
    reinterpret_cast<void*>(&Record<6, 1, HICON, HINSTANCE, LPWSTR, WORD*>),
};

// Points each import slot of the functions above at its stand-in, or back at the original.
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
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal))
                continue;
            const auto* named =
                reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
            for (size_t f = 0; f < std::size(kNames); ++f) {
                if (std::strcmp(reinterpret_cast<const char*>(named->Name), kNames[f]) != 0)
                    continue;
                DWORD was = 0;
                VirtualProtect(&slot->u1.Function, sizeof(void*), PAGE_READWRITE, &was);
                if (record)
                    g_original[f] = reinterpret_cast<void*>(slot->u1.Function);
                slot->u1.Function = reinterpret_cast<ULONG_PTR>(record ? kHooks[f] : g_original[f]);
                VirtualProtect(&slot->u1.Function, sizeof(void*), was, &was);
            }
        }
    }
}

} // namespace

PathRecorder::PathRecorder() {
    g_calls.clear();
    Patch(true);
}

PathRecorder::~PathRecorder() {
    Patch(false);
}

std::vector<std::wstring> PathRecorder::PathsOf(const char* function) const {
    const std::lock_guard<std::mutex> hold(g_mutex);
    std::vector<std::wstring> paths;
    for (const Call& call : g_calls)
        if (std::strcmp(kNames[call.function], function) == 0)
            paths.push_back(call.path);
    return paths;
}

std::vector<std::wstring> PathRecorder::PlainLongPaths() const {
    const std::lock_guard<std::mutex> hold(g_mutex);
    std::vector<std::wstring> plain;
    for (const Call& call : g_calls)
        if (call.path.size() >= 260 && call.path.rfind(L"\\\\?\\", 0) != 0)
            plain.push_back(
                std::wstring(kNames[call.function],
                             kNames[call.function] + std::strlen(kNames[call.function])) +
                L" " + call.path);
    return plain;
}
