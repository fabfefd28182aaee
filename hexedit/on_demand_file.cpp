// Reading a large file's rows at 64-bit offsets, off the sheet's thread.
#include "hexedit/on_demand_file.h"

#include <cstring>
#include <vector>

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

} // namespace

DWORD ReadFileAt(HANDLE file, uint64_t offset, uint8_t* out, size_t count) {
    while (count > 0) {
        const DWORD want = static_cast<DWORD>(count < kMaxCall ? count : kMaxCall);
        OVERLAPPED at = At(offset);
        DWORD got = 0;
        if (!ReadFile(file, out, want, &got, &at))
            return GetLastError();
        if (got == 0)
            return ERROR_HANDLE_EOF;
        offset += got;
        out += got;
        count -= got;
    }
    return ERROR_SUCCESS;
}

DWORD WriteFileAt(HANDLE file, uint64_t offset, const uint8_t* bytes, size_t count) {
    while (count > 0) {
        const DWORD want = static_cast<DWORD>(count < kMaxCall ? count : kMaxCall);
        OVERLAPPED at = At(offset);
        DWORD put = 0;
        if (!WriteFile(file, bytes, want, &put, &at))
            return GetLastError();
        if (put == 0)
            return ERROR_WRITE_FAULT;
        offset += put;
        bytes += put;
        count -= put;
    }
    return ERROR_SUCCESS;
}

bytes::ReadOutcome ViewFileReader::ReadAt(uint64_t offset, uint8_t* out, size_t count) {
    if (reading_)
        return bytes::ReadOutcome::kCancelled;
    // Owned by the job: a read left behind on a stalled medium ends into its own block.
    struct Job {
        std::shared_ptr<UniqueFile> file;
        std::vector<uint8_t> bytes;
    };
    auto job = std::make_shared<Job>();
    job->file = file_;
    job->bytes.resize(count);
    reading_ = true;
    const DWORD code = RunFileJob(
        view_, progress::Operation::Read, path_, count,
        [job, offset](FileJobProgress& progress) {
            const DWORD result =
                ReadFileAt(job->file->get(), offset, job->bytes.data(), job->bytes.size());
            progress.done.store(job->bytes.size());
            return result;
        },
        OnCancel::LeaveBehind);
    reading_ = false;
    if (code == ERROR_OPERATION_ABORTED)
        return bytes::ReadOutcome::kCancelled;
    if (code != ERROR_SUCCESS) {
        if (failure_ == ERROR_SUCCESS)
            failure_ = code;
        return bytes::ReadOutcome::kFailed;
    }
    std::memcpy(out, job->bytes.data(), count);
    return bytes::ReadOutcome::kRead;
}

DWORD ViewFileReader::TakeFailureToTell() {
    if (told_ || failure_ == ERROR_SUCCESS)
        return ERROR_SUCCESS;
    told_ = true;
    return failure_;
}
