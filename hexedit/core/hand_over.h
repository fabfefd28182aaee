// A read on a worker hands its bytes to the block of the thread that waits for them, a piece at
// a time, only while that thread still waits. Once it stops waiting (the user cancelled a read
// that a stalled medium keeps in a call) it may free the block at once: nothing more is written
// there, however late the read ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <vector>

namespace bytes {

class HandOver {
  public:
    HandOver(uint8_t* into, size_t count) : into_(into), count_(count) {}
    HandOver(const HandOver&) = delete;
    HandOver& operator=(const HandOver&) = delete;

    // On the worker: copies `n` bytes to `at` in the block; false (nothing copied) once the
    // waiting thread has withdrawn it, or for bytes outside it.
    bool Deliver(size_t at, const uint8_t* bytes, size_t n) {
        const std::lock_guard<std::mutex> hold(lock_);
        if (!into_ || at > count_ || n > count_ - at)
            return false;
        std::memcpy(into_ + at, bytes, n);
        return true;
    }

    size_t Size() const { return count_; }

    // On the waiting thread, before it lets go of the block; waits for a copy under way.
    void Withdraw() {
        const std::lock_guard<std::mutex> hold(lock_);
        into_ = nullptr;
    }

  private:
    std::mutex lock_;
    uint8_t* into_;
    size_t count_;
};

enum class PiecesOutcome { kRead, kFailed, kStopped };

// Reads into.Size() bytes from `offset`, at most `pieceBytes` a call, into a block of the
// reader's own, and hands each piece over: read(offset, bytes, n) is false on a failure,
// stop() true to stop between pieces, done(bytes) is told what has arrived. Stops too once the
// waiting thread has withdrawn.
template <class Read, class Stop, class Done>
PiecesOutcome ReadInPieces(uint64_t offset, HandOver& into, size_t pieceBytes, Read read, Stop stop,
                           Done done) {
    const size_t count = into.Size();
    std::vector<uint8_t> piece(count < pieceBytes ? count : pieceBytes);
    for (size_t at = 0; at < count;) {
        if (stop())
            return PiecesOutcome::kStopped;
        const size_t n = count - at < pieceBytes ? count - at : pieceBytes;
        if (!read(offset + at, piece.data(), n))
            return PiecesOutcome::kFailed;
        if (!into.Deliver(at, piece.data(), n))
            return PiecesOutcome::kStopped;
        at += n;
        done(at);
    }
    return PiecesOutcome::kRead;
}

} // namespace bytes
