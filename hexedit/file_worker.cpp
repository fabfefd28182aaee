#include "hexedit/file_worker.h"

#include <utility>

namespace {

// Chunked calls cost the same as one whole call from the cache, and give a point to stop at
// and a count to show.
constexpr uint32_t kChunkBytes = 1u << 20;

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

FileWorker::FileWorker(FileJob job) : job_(std::move(job)) {}

FileWorker::~FileWorker() {
    if (thread_) {
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
}

void FileWorker::Start() {
    thread_ = CreateThread(nullptr, 0, &FileWorker::ThreadProc, this, 0, nullptr);
    if (!thread_)
        ThreadProc(this);
}

bool FileWorker::HasEnded() const {
    return !thread_ || WaitForSingleObject(thread_, 0) == WAIT_OBJECT_0;
}

DWORD WINAPI FileWorker::ThreadProc(void* self) {
    auto* worker = static_cast<FileWorker*>(self);
    worker->result_.store(worker->job_(worker->progress_));
    return 0;
}
