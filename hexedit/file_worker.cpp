#include "hexedit/file_worker.h"

#include <new>
#include <utility>

namespace {

// Chunked calls cost the same as one whole call from the cache, and give a point to stop at
// and a count to show.
constexpr uint32_t kChunkBytes = 1u << 20;

// How long letting go of a file is waited for before its thread is left to it.
constexpr DWORD kLetGoWaitMs = 200;

} // namespace

DWORD ReadChunks(HANDLE file, uint8_t* into, uint32_t size, FileJobProgress& progress) {
    uint32_t done = 0;
    while (done < size) {
        if (progress.cancel.load())
            return ERROR_OPERATION_ABORTED;
        const uint32_t ask = size - done < kChunkBytes ? size - done : kChunkBytes;
        DWORD got = 0;
        if (!ReadFile(file, into + done, ask, &got, nullptr))
            return GetLastError();
        if (got == 0)
            return ERROR_HANDLE_EOF; // the file became shorter while being read
        done += got;
        progress.done.fetch_add(got);
    }
    return ERROR_SUCCESS;
}

DWORD WriteChunks(HANDLE file, const uint8_t* from, uint32_t size, FileJobProgress& progress) {
    uint32_t done = 0;
    while (done < size) {
        const uint32_t ask = size - done < kChunkBytes ? size - done : kChunkBytes;
        DWORD put = 0;
        if (!WriteFile(file, from + done, ask, &put, nullptr))
            return GetLastError();
        if (put == 0)
            return ERROR_WRITE_FAULT;
        done += put;
        progress.done.fetch_add(put);
    }
    return ERROR_SUCCESS;
}

// Owned jointly by the FileWorker and its thread, each through a shared pointer of its own;
// whichever lets go last deletes it, and with it the job and everything the job holds.
struct FileWorker::Shared {
    explicit Shared(FileJob work) : job(std::move(work)) {}
    FileJob job;
    FileJobProgress progress;
    std::atomic<DWORD> result{ERROR_SUCCESS};
    HMODULE module = nullptr; // the thread's own reference
    void Run() {
        try {
            result.store(job(progress));
        } catch (...) { // std::bad_alloc: nothing may leave the thread
            result.store(ERROR_NOT_ENOUGH_MEMORY);
        }
        job = nullptr; // what it holds goes now, on this thread, however late that is
    }
};

FileWorker::FileWorker(FileJob job) {
    try {
        shared_ = std::make_shared<Shared>(std::move(job));
    } catch (const std::bad_alloc&) { // result() tells
    }
}

FileWorker::~FileWorker() {
    if (thread_) {
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
}

void FileWorker::Start() {
    if (!shared_)
        return; // result() tells
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                           reinterpret_cast<LPCWSTR>(&FileWorker::ThreadProc), &shared_->module)) {
        auto* threadsShare = new (std::nothrow) std::shared_ptr<Shared>(shared_);
        thread_ = threadsShare
                      ? CreateThread(nullptr, 0, &FileWorker::ThreadProc, threadsShare, 0, nullptr)
                      : nullptr;
        if (!thread_) {
            delete threadsShare;
            FreeLibrary(shared_->module);
        }
    }
    if (!thread_)
        shared_->Run();
}

bool FileWorker::HasEnded() const {
    return !thread_ || WaitForSingleObject(thread_, 0) == WAIT_OBJECT_0;
}

DWORD FileWorker::result() const {
    if (leftBehind_)
        return ERROR_OPERATION_ABORTED;
    return shared_ ? shared_->result.load() : ERROR_NOT_ENOUGH_MEMORY;
}

FileJobProgress& FileWorker::progress() {
    return shared_ ? shared_->progress : unshared_;
}

void FileWorker::LeaveBehind() {
    if (!thread_)
        return; // it has ended (or ran here)
    shared_->progress.cancel.store(true);
    CancelSynchronousIo(thread_); // Wine can't, and a share may not: then the call ends by itself
    Detach();
    leftBehind_ = true;
}

void FileWorker::Detach() {
    if (!thread_)
        return;
    CloseHandle(thread_);
    thread_ = nullptr;
    shared_.reset();
}

void LetGoOnWorker(std::shared_ptr<void> held) {
    if (!held)
        return;
    FileWorker worker([held](FileJobProgress&) mutable {
        held.reset();
        return static_cast<DWORD>(ERROR_SUCCESS);
    });
    held.reset(); // the job's copy is the last
    worker.Start();
    // Done at once where the medium answers, so the file is free again when this returns; a
    // stalled one keeps only the thread.
    if (worker.ended())
        WaitForSingleObject(worker.ended(), kLetGoWaitMs);
    worker.Detach();
}

// The module may be unloaded while a job is stuck on a dead share; the thread's reference keeps
// its code loaded until it has let go of everything else.
DWORD WINAPI FileWorker::ThreadProc(void* parameter) {
    auto* share = static_cast<std::shared_ptr<Shared>*>(parameter);
    HMODULE module = (*share)->module;
    (*share)->Run();
    delete share; // the record too, unless the FileWorker still holds it
    FreeLibraryAndExitThread(module, 0);
}
