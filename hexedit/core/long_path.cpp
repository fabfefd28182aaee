#include "hexedit/core/long_path.h"

namespace longpath {

namespace {
bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return text.compare(0, std::char_traits<wchar_t>::length(prefix), prefix) == 0;
}

bool IsDriveRoot(const std::wstring& path) {
    const auto letter = static_cast<wchar_t>(path[0] | 0x20); // lower case for letters
    return letter >= L'a' && letter <= L'z' && path[1] == L':' &&
           (path[2] == L'\\' || path[2] == L'/');
}
} // namespace

std::wstring ForFileSystem(const std::wstring& path) {
    if (path.size() < kPlainLimit || StartsWith(path, L"\\\\?\\") || StartsWith(path, L"\\\\.\\"))
        return path;
    if (StartsWith(path, L"\\\\"))
        return L"\\\\?\\UNC\\" + path.substr(2);
    if (IsDriveRoot(path))
        return L"\\\\?\\" + path;
    return path;
}

std::wstring ForUser(const std::wstring& path) {
    if (StartsWith(path, L"\\\\?\\UNC\\"))
        return L"\\\\" + path.substr(8);
    if (StartsWith(path, L"\\\\?\\") && path.size() >= 7 && IsDriveRoot(path.substr(4)))
        return path.substr(4);
    return path;
}

} // namespace longpath
