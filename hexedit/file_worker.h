// One long read or write of a file on a short-lived thread of its own. The thread is given a
// file handle, a block allocated beforehand and a byte count, and reports through two atomic
// counters only: it touches no window, no editor field and no COM object. The dialog's thread
// owns the handle and the block and lets go of them only after the thread has ended.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>

// All that the worker and the dialog's thread share.
struct FileJobProgress {
    std::atomic<uint64_t> done{0};   // bytes moved so far
    std::atomic<bool> cancel{false}; // asked to stop after the current chunk
};

// Reads `size` bytes from the file's current position into `into`, 1 MiB a call. Ends with
// ERROR_OPERATION_ABORTED after the chunk during which `cancel` was set, and with ERROR_HANDLE_EOF
// when the file gives less than it said it has.
DWORD ReadChunks(HANDLE file, uint8_t* into, uint32_t size, FileJobProgress& progress);

// Writes `size` bytes from `from` at the file's current position, 1 MiB a call. Never
// cancelled: a write stopped half-way leaves the file part old, part new.
DWORD WriteChunks(HANDLE file, const uint8_t* from, uint32_t size, FileJobProgress& progress);

// The work given to the thread. It may use only what it captured by value (handles, block
// pointers, sizes) and the progress record.
using FileJob = std::function<DWORD(FileJobProgress&)>;

class FileWorker {
  public:
    explicit FileWorker(FileJob job);
    // Waits for the thread: the block and the handle it uses outlive it.
    ~FileWorker();
    FileWorker(const FileWorker&) = delete;
    FileWorker& operator=(const FileWorker&) = delete;

    // Starts the thread; without one (none could be made) the job runs here and now.
    void Start();
    // Signalled once the job has ended.
    HANDLE ended() const { return thread_; }
    bool HasEnded() const;
    // The job's code; valid once it has ended.
    DWORD result() const { return result_.load(); }
    FileJobProgress& progress() { return progress_; }

  private:
    static DWORD WINAPI ThreadProc(void* self);
    FileJob job_;
    FileJobProgress progress_;
    std::atomic<DWORD> result_{ERROR_SUCCESS};
    HANDLE thread_ = nullptr;
};
