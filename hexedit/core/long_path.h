// The form of a path that the file system takes at any length. Without the long-path opt-in
// (which Explorer, our host, has not made) the file functions refuse paths of 260 characters
// or more unless they come as "\\?\C:\..." or "\\?\UNC\server\share\...". Only the calls get
// that form; whatever the user reads keeps the path as given.
#pragma once

#include <string>

namespace longpath {

// Paths shorter than this reach the file functions unchanged.
constexpr size_t kPlainLimit = 260;

// `path` for a file-system call: a full drive or network path of kPlainLimit characters or
// more in its "\\?\" form; any other path (short, already in that form, a device or a
// relative path, which has no such form until resolved) unchanged.
std::wstring ForFileSystem(const std::wstring& path);

// The other way: a path the system gave back in a "\\?\" form as the user writes it.
std::wstring ForUser(const std::wstring& path);

} // namespace longpath
