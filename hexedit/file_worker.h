// One long piece of file work on a short-lived thread of its own: every call of the file system
// that a load or save makes (lookup, open, read, write, flush, close), since on a share that
// stops answering any of them may be the one that blocks. The thread reports through atomic
// counters only: it touches no window, no editor field and no COM object.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

// All that the worker and the dialog's thread share.
struct FileJobProgress {
    static constexpr uint64_t kUnknownTotal = ~uint64_t{0};
    std::atomic<uint64_t> done{0};              // bytes moved so far
    std::atomic<uint64_t> total{kUnknownTotal}; // set once the job knows the size
    std::atomic<bool> cancel{false};            // asked to stop after the current chunk
};

// Reads `size` bytes from the file's current position into `into`, 1 MiB a call. Ends with
// ERROR_OPERATION_ABORTED after the chunk during which `cancel` was set, and with ERROR_HANDLE_EOF
// when the file gives less than it said it has.
DWORD ReadChunks(HANDLE file, uint8_t* into, uint32_t size, FileJobProgress& progress);

// Writes `size` bytes from `from` at the file's current position, 1 MiB a call. Never
// cancelled: a write stopped half-way leaves the file part old, part new.
DWORD WriteChunks(HANDLE file, const uint8_t* from, uint32_t size, FileJobProgress& progress);

// The work given to the thread. It may use only what it captured by value and the progress
// record. A job that may be left behind (FileWorker::LeaveBehind) must own all it uses, through
// holders that free it on whichever thread lets go last.
using FileJob = std::function<DWORD(FileJobProgress&)>;

class FileWorker {
  public:
    explicit FileWorker(FileJob job);
    // Waits for the thread, unless it was left behind.
    ~FileWorker();
    FileWorker(const FileWorker&) = delete;
    FileWorker& operator=(const FileWorker&) = delete;

    // Starts the thread; without one (none could be made) the job runs here and now.
    void Start();
    // Signalled once the job has ended.
    HANDLE ended() const { return thread_; }
    bool HasEnded() const;
    // The job's code; valid once it has ended.
    DWORD result() const;
    FileJobProgress& progress();
    // Stops waiting for a job that may be stuck in a call that never returns: asks the system
    // to cancel the call and lets the thread end on its own. What the job returns later goes
    // nowhere; the thread keeps this module loaded until it has ended.
    void LeaveBehind();
    // Lets the thread end on its own, unasked, whenever its job is done.
    void Detach();

  private:
    struct Shared;
    static DWORD WINAPI ThreadProc(void* shared);
    std::shared_ptr<Shared> shared_;
    FileJobProgress unshared_; // counts for nobody when there is no shared record
    HANDLE thread_ = nullptr;
    bool leftBehind_ = false;
};

// Lets go of `held` on a short-lived thread of its own, or here when no thread can be made:
// closing a file on a share that stopped answering can block. Waits a moment for it, so that
// where the medium answers the file is closed on return.
void LetGoOnWorker(std::shared_ptr<void> held);
