// Reading a large file's rows at 64-bit offsets, off the sheet's thread.
#include "hexedit/on_demand_file.h"

#include <algorithm>
#include <new>
#include <vector>

#include "hexedit/core/hand_over.h"
#include "hexedit/progress_window.h"

namespace {

// One ReadFile or WriteFile moves at most this much.
constexpr size_t kMaxCall = 1u << 30;

OVERLAPPED At(uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

// Moves `count` bytes a call at a time: call(done, want, &moved) reads or writes the next ones;
// `none` is the code of a call that moved nothing.
template <class Call> DWORD EachCall(size_t count, DWORD none, Call call) {
    size_t done = 0;
    while (done < count) {
        const DWORD want = static_cast<DWORD>(count - done < kMaxCall ? count - done : kMaxCall);
        DWORD moved = 0;
        if (!call(done, want, &moved))
            return GetLastError();
        if (moved == 0)
            return none;
        done += moved;
    }
    return ERROR_SUCCESS;
}

// As EachCall, each call at its own offset from `offset`.
template <class Call> DWORD EachCallAt(uint64_t offset, size_t count, DWORD none, Call call) {
    return EachCall(count, none, [&](size_t done, DWORD want, DWORD* moved) {
        OVERLAPPED at = At(offset + done);
        return call(done, want, moved, &at);
    });
}

} // namespace

DWORD ReadFileAt(HANDLE file, uint64_t offset, uint8_t* out, size_t count) {
    return EachCallAt(offset, count, ERROR_HANDLE_EOF,
                      [&](size_t done, DWORD want, DWORD* moved, OVERLAPPED* at) {
                          return ReadFile(file, out + done, want, moved, at);
                      });
}

void HandleReader::OpenOwnHandle() {
    own_.reset(ReOpenFile(file_->get(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0));
    position_ = 0;
}

bytes::ReadOutcome HandleReader::ReadAt(uint64_t offset, uint8_t* out, size_t count) {
    DWORD code = ERROR_SUCCESS;
    if (!own_) {
        code = ReadFileAt(file_->get(), offset, out, count);
    } else {
        LARGE_INTEGER at{};
        at.QuadPart = static_cast<LONGLONG>(offset);
        code = offset == position_ || SetFilePointerEx(own_.get(), at, nullptr, FILE_BEGIN)
                   ? EachCall(count, ERROR_HANDLE_EOF,
                              [&](size_t done, DWORD want, DWORD* moved) {
                                  return ReadFile(own_.get(), out + done, want, moved, nullptr);
                              })
                   : GetLastError();
        // After a failure the pointer is wherever the system left it.
        position_ = code == ERROR_SUCCESS ? offset + count : UINT64_MAX;
    }
    return code == ERROR_SUCCESS ? bytes::ReadOutcome::kRead : bytes::ReadOutcome::kFailed;
}

DWORD WriteFileAt(HANDLE file, uint64_t offset, const uint8_t* bytes, size_t count) {
    return EachCallAt(offset, count, ERROR_WRITE_FAULT,
                      [&](size_t done, DWORD want, DWORD* moved, OVERLAPPED* at) {
                          return WriteFile(file, bytes + done, want, moved, at);
                      });
}

void LeftBehindJobs::Note(std::weak_ptr<void> job) {
    jobs_.erase(std::remove_if(jobs_.begin(), jobs_.end(),
                               [](const std::weak_ptr<void>& j) { return j.expired(); }),
                jobs_.end());
    jobs_.push_back(std::move(job));
}

bool LeftBehindJobs::AnyRunning() {
    return std::any_of(jobs_.begin(), jobs_.end(),
                       [](const std::weak_ptr<void>& j) { return !j.expired(); });
}

namespace {

// The job's own block: what it reads goes there first, and on to the waiting thread's block only
// while that one still waits.
constexpr size_t kPieceBytes = 1u << 20;

DWORD ReadPieces(HANDLE file, uint64_t offset, bytes::HandOver& into, FileJobProgress& progress) {
    DWORD code = ERROR_SUCCESS;
    const bytes::PiecesOutcome outcome = bytes::ReadInPieces(
        offset, into, kPieceBytes,
        [&](uint64_t at, uint8_t* out, size_t n) {
            code = ReadFileAt(file, at, out, n);
            return code == ERROR_SUCCESS;
        },
        [&] { return progress.cancel.load(); }, [&](size_t done) { progress.done.store(done); });
    return outcome == bytes::PiecesOutcome::kStopped ? ERROR_OPERATION_ABORTED : code;
}

} // namespace

bytes::ReadOutcome ViewFileReader::ReadAt(uint64_t offset, uint8_t* out, size_t count) {
    // A paint while a read, a find or a save runs for this sheet draws from the cache only.
    if (FileJobRunningOn(view_))
        return bytes::ReadOutcome::kDeferred;
    // Owned by the job: a read left behind on a stalled medium ends into its own block.
    struct Job {
        Job(std::shared_ptr<UniqueFile> f, uint8_t* out, size_t count)
            : file(std::move(f)), into(out, count) {}
        std::shared_ptr<UniqueFile> file;
        bytes::HandOver into;
    };
    const std::shared_ptr<Job> job(new (std::nothrow) Job(file_, out, count));
    if (!job)
        return bytes::ReadOutcome::kDeferred;
    const DWORD code = RunFileJob(
        view_, progress::Operation::Read, path_, count,
        [job, offset](FileJobProgress& progress) {
            return ReadPieces(job->file->get(), offset, job->into, progress);
        },
        OnCancel::LeaveBehind);
    job->into.Withdraw(); // `out` is the caller's again, whatever the job still does
    if (code == ERROR_OPERATION_ABORTED) {
        leftBehind_.Note(job);
        cancelled_ = true;
        return bytes::ReadOutcome::kCancelled;
    }
    if (code != ERROR_SUCCESS) {
        if (failure_ == ERROR_SUCCESS)
            failure_ = code;
        return bytes::ReadOutcome::kFailed;
    }
    return bytes::ReadOutcome::kRead;
}

DWORD ViewFileReader::TakeFailureToTell() {
    if (told_ || failure_ == ERROR_SUCCESS)
        return ERROR_SUCCESS;
    told_ = true;
    return failure_;
}

OnDemandFile::~OnDemandFile() {
    LetGoOnWorker(std::move(file));
}
