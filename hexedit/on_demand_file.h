// A file of 2 GiB or more shown on demand: its read handle, held open while the file is shown,
// the reader that fetches the rows asked for, and the source the editor reads through.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "hexedit/core/on_demand_source.h"
#include "hexedit/core/page_cache.h"
#include "hexedit/win32_handles.h"

// Reads `count` bytes at `offset` through `file` (positional: the handle's own file pointer is
// not used, so several readers may share it). ERROR_HANDLE_EOF when the file gives fewer.
DWORD ReadFileAt(HANDLE file, uint64_t offset, uint8_t* out, size_t count);

// Writes `count` bytes at `offset` through `file`, positionally.
DWORD WriteFileAt(HANDLE file, uint64_t offset, const uint8_t* bytes, size_t count);

// The jobs on the shown file that the user stopped waiting for and that may still be in a call
// on a stalled medium. Whatever would ask the medium through the same handle waits for them.
class LeftBehindJobs {
  public:
    // Notes the job's state, which lives as long as the job runs.
    void Note(std::weak_ptr<void> job);
    bool AnyRunning();

  private:
    std::vector<std::weak_ptr<void>> jobs_;
};

// Reads for the view on the worker: a read that takes more than a second shows the progress
// window with Cancel. A cancelled one leaves the bytes unread until the user asks for them
// again (the cache remembers). A read asked for while another job runs for the sheet (a paint
// meanwhile) is not started: those bytes are unread until the next paint. The first failure is
// kept for the user to be told once.
class ViewFileReader final : public bytes::FileReader {
  public:
    ViewFileReader(HWND view, std::wstring path, const std::shared_ptr<UniqueFile>& file,
                   LeftBehindJobs& leftBehind)
        : view_(view), path_(std::move(path)), file_(file), leftBehind_(leftBehind) {}
    bytes::ReadOutcome ReadAt(uint64_t offset, uint8_t* out, size_t count) override;
    // The code of the first failed read, once; 0 when there is none or it was told.
    DWORD TakeFailureToTell();
    // Whether the user cancelled a read since the last call.
    bool TakeCancelled() { return std::exchange(cancelled_, false); }

  private:
    HWND view_;
    std::wstring path_;
    const std::shared_ptr<UniqueFile>& file_; // the shown file's; each job holds its own share
    LeftBehindJobs& leftBehind_;
    DWORD failure_ = ERROR_SUCCESS;
    bool told_ = false;
    bool cancelled_ = false;
};

// Reads on the thread that asks: for a job already on the worker. A failed read leaves the bytes
// unreadable. Once it has a handle of its own, it reads at that handle's file pointer, moving it
// only where a read does not follow the one before: under Wine a read at an offset costs about
// 75 us more, which a long scan would pay for every chunk.
class HandleReader final : public bytes::FileReader {
  public:
    explicit HandleReader(std::shared_ptr<UniqueFile> file) : file_(std::move(file)) {}
    // Opens the shared handle's file again for this reader alone, and closes it again (on the
    // worker: either may take as long as any call to the medium). Without it, the shared
    // handle is read at offsets.
    void OpenOwnHandle();
    void CloseOwnHandle() { own_.reset(); }
    bytes::ReadOutcome ReadAt(uint64_t offset, uint8_t* out, size_t count) override;

  private:
    std::shared_ptr<UniqueFile> file_;
    UniqueFile own_;
    uint64_t position_ = 0; // of own_'s file pointer
};

struct OnDemandFile {
    OnDemandFile(HWND view, const std::wstring& path, std::shared_ptr<UniqueFile> handle,
                 uint64_t length)
        : file(std::move(handle)), reader(view, path, file, leftBehind), source(reader, length) {}
    // The handle is closed on a worker: closing it can block on a share that stopped answering.
    ~OnDemandFile();
    OnDemandFile(const OnDemandFile&) = delete;
    OnDemandFile& operator=(const OnDemandFile&) = delete;

    std::shared_ptr<UniqueFile> file;
    LeftBehindJobs leftBehind;
    ViewFileReader reader;
    bytes::OnDemandSource source;
};
