// Which file a handle or a path names now, and how it was when an editor last loaded or saved
// it: a save, and the view of a file read on demand, compare the two.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "hexedit/win32_handles.h"

// Which file (volume and file id) and its size and last-write time. A save finding any of them
// changed asks before overwriting what another program wrote, including a file put in its place
// with the same size and time.
struct FileStamp {
    uint64_t volume = 0;
    uint64_t id[2] = {}; // 128 bits where the file system gives them (ReFS), else the index
    uint64_t size = 0;
    uint64_t written = 0;
    bool SameFile(const FileStamp& other) const {
        return volume == other.volume && id[0] == other.id[0] && id[1] == other.id[1];
    }
    bool operator!=(const FileStamp& other) const {
        return !SameFile(other) || size != other.size || written != other.written;
    }
};

// What the handle tells of the file it opened: through links, the file itself (the path's
// attributes would describe a link instead). The code of a failure.
DWORD StampOfHandle(HANDLE file, FileStamp& stamp);

// Opens the existing file at `systemPath` and reads its stamp; the code of a failure.
DWORD OpenWithStamp(const std::wstring& systemPath, DWORD access, DWORD share, UniqueFile& file,
                    FileStamp& stamp);

// Whether another program has deleted the file open as `file` (opened sharing deletion): it
// goes once the last handle is closed, and until then every other open of its name fails.
bool IsDeletePending(HANDLE file);
