#include "support/unix_files.h"

#include "support/test_window.h"

#include <cwchar>
#include <vector>

bool StartUnixCommand(const std::wstring& shellCommand) {
    std::wstring commandLine = L"/bin/sh -c \"" + shellCommand + L"\"";
    std::vector<wchar_t> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(L"Z:\\bin\\sh", mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return false;
    // Wine starts a Unix program without a Windows process and fills `process` from whatever
    // its own stack held: closing those "handles" would close handles of this process.
    return true;
}

std::wstring UnixPath(const std::wstring& windowsPath) {
    std::wstring path = windowsPath.substr(2); // drop "Z:"
    for (auto& c : path)
        if (c == L'\\')
            c = L'/';
    return path;
}

namespace {
bool WriteOpenFails(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return true;
    CloseHandle(file);
    return false;
}
} // namespace

bool SetImmutable(const std::wstring& windowsPath, bool immutable) {
    if (!StartUnixCommand(std::wstring(L"chattr ") + (immutable ? L"+i " : L"-i ") + L"'" +
                          UnixPath(windowsPath) + L"'"))
        return false;
    return WaitFor([&] { return WriteOpenFails(windowsPath) == immutable; });
}

bool MakeSparseFile(const std::wstring& windowsPath, long long size,
                    const std::vector<uint8_t>& tail) {
    HANDLE file = CreateFileW(windowsPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER end;
    end.QuadPart = size - static_cast<long long>(tail.size());
    DWORD put = 0;
    bool ok = tail.empty() ||
              (SetFilePointerEx(file, end, nullptr, FILE_BEGIN) &&
               WriteFile(file, tail.data(), static_cast<DWORD>(tail.size()), &put, nullptr));
    end.QuadPart = size;
    ok = ok && SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return ok;
}

long long AllocatedBytes(const std::wstring& windowsPath) {
    HANDLE file = CreateFileW(windowsPath.c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    FILE_STANDARD_INFO info{};
    const bool ok = GetFileInformationByHandleEx(file, FileStandardInfo, &info, sizeof(info));
    CloseHandle(file);
    return ok ? info.AllocationSize.QuadPart : -1;
}

TinyFileSystem::TinyFileSystem(int kibibytes) : folder_(MakeUniqueTempFolder(L"propweave-tiny")) {
    const std::wstring unixFolder = UnixPath(folder_);
    wchar_t command[512];
    swprintf(command, 512, L"mount -t tmpfs -o size=%dk tmpfs '%ls' && touch '%ls.mounted'",
             kibibytes, unixFolder.c_str(), unixFolder.c_str());
    if (StartUnixCommand(command)) {
        const std::wstring marker = folder_ + L".mounted";
        mounted_ = WaitFor(
            [&] { return GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES; }, 3000);
    }
}

TinyFileSystem::~TinyFileSystem() {
    if (mounted_) {
        const std::wstring marker = folder_ + L".mounted";
        StartUnixCommand(L"umount -l '" + UnixPath(folder_) + L"'");
        WaitFor([&] { return GetFileAttributesW(marker.c_str()) == INVALID_FILE_ATTRIBUTES; });
    }
    RemoveDirectoryW(folder_.c_str());
}

// On tmpfs where there is one: on this machine's disk each new file takes about a millisecond.
NumberedFiles::NumberedFiles(int count)
    : folder_(MakeUniqueTempFolder(L"propweave-numbered",
                                   Exists(L"Z:\\dev\\shm") ? L"Z:\\dev\\shm" : L"Z:\\tmp")) {
    const std::wstring mark = folder_ + L"made";
    if (!StartUnixCommand(L"cd '" + UnixPath(folder_) + L"' && seq -f 'item%06g.bin' 0 " +
                          std::to_wstring(count - 1) + L" | xargs touch && touch made") ||
        !WaitFor([&] { return Exists(mark); }, 120000))
        return;
    DeleteFileW(mark.c_str());
    for (int i = 0; i < count; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"item%06d.bin", i);
        paths_.push_back(folder_ + name);
    }
}

NumberedFiles::~NumberedFiles() {
    StartUnixCommand(L"rm -rf '" + UnixPath(folder_) + L"'");
    WaitFor([&] { return !Exists(folder_); }, 120000);
}

SlowMount::SlowMount(long long bytesPerSecond) {
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring program = UnixPath(exe);
    program.replace(program.rfind(L'/'), std::wstring::npos, L"/../slowfs/slowfs");
    source_.Write(L"mounted", {});
    StartUnixCommand(L"'" + program + L"' '" + UnixPath(source_.folder()) + L"' '" +
                     UnixPath(mountPoint_) + L"' " + std::to_wstring(bytesPerSecond) +
                     L" >/dev/null 2>&1 & echo $! > '" + UnixPath(source_.Path(L"pid")) + L"'");
    mounted_ = WaitFor([&] { return Exists(Path(L"mounted")); }, 5000);
}

SlowMount::~SlowMount() {
    Release();
    const std::wstring unix = UnixPath(mountPoint_);
    StartUnixCommand(L"kill $(cat '" + UnixPath(source_.Path(L"pid")) +
                     L"'); while mountpoint -q '" + unix + L"'; do sleep 0.05; done; rmdir '" +
                     unix + L"'");
    WaitFor([&] { return !Exists(mountPoint_); }, 10000);
}
