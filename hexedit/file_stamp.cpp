#include "hexedit/file_stamp.h"

#include <cstring>

namespace {

// Attribute bits passed when opening; they have no effect on an existing file.
constexpr DWORD kOpenAttributes = 0x11A7;

// FileIdInfo of the file-information classes: Windows 8 and later.
constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);
struct FileIdInformation {
    ULONGLONG volumeSerialNumber;
    BYTE fileId[16];
};

} // namespace

// The 64-bit file index is not unique on ReFS; the 128-bit id with its 64-bit volume serial is,
// where the system gives them.
DWORD StampOfHandle(HANDLE file, FileStamp& stamp) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info))
        return GetLastError();
    stamp = FileStamp{};
    stamp.volume = info.dwVolumeSerialNumber;
    stamp.id[0] = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    stamp.size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    stamp.written = (static_cast<uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                    info.ftLastWriteTime.dwLowDateTime;
    FileIdInformation id{};
    if (GetFileInformationByHandleEx(file, kFileIdInfo, &id, sizeof(id))) {
        stamp.volume = id.volumeSerialNumber;
        std::memcpy(stamp.id, id.fileId, sizeof(stamp.id));
    }
    return ERROR_SUCCESS;
}

DWORD OpenWithStamp(const std::wstring& systemPath, DWORD access, DWORD share, UniqueFile& file,
                    FileStamp& stamp) {
    file.reset(CreateFileW(systemPath.c_str(), access, share, nullptr, OPEN_EXISTING,
                           kOpenAttributes, nullptr));
    if (!file)
        return GetLastError();
    return StampOfHandle(file.get(), stamp);
}

bool IsDeletePending(HANDLE file) {
    FILE_STANDARD_INFO info{};
    return GetFileInformationByHandleEx(file, FileStandardInfo, &info, sizeof(info)) &&
           info.DeletePending;
}
