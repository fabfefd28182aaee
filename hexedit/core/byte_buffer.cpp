#include "hexedit/core/byte_buffer.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "hexedit/core/limits.h"

namespace {
// The largest block let through: below the allocation limit, and never more than a size_t holds,
// so that a size worked out in 64 bits is refused, not cut short, in a 32-bit process.
constexpr uint64_t kLargestBlock =
    std::min<uint64_t>(kAllocationLimit - 1, std::numeric_limits<size_t>::max());

std::atomic<int> g_failingAllocations{0};
std::atomic<int> g_liveBlocks{0};

void* Counted(void* block) {
    if (block)
        ++g_liveBlocks;
    return block;
}

bool TakeInjectedFailure() {
    int pending = g_failingAllocations.load();
    while (pending > 0) {
        if (g_failingAllocations.compare_exchange_weak(pending, pending - 1))
            return true;
    }
    return false;
}
} // namespace

void FailNextAllocations(int count) {
    g_failingAllocations.store(count);
}

void* GuardedAlloc(uint64_t size) {
    if (size > kLargestBlock || TakeInjectedFailure())
        return nullptr;
    return Counted(std::malloc(size ? static_cast<size_t>(size) : 1));
}

void* GuardedRealloc(void* block, uint64_t size) {
    if (size > kLargestBlock || TakeInjectedFailure())
        return nullptr;
    void* resized = std::realloc(block, size ? static_cast<size_t>(size) : 1);
    return block ? resized : Counted(resized);
}

bool AllocationAllowed(uint64_t size) {
    return size <= kLargestBlock && !TakeInjectedFailure();
}

int LiveGuardedBlocks() {
    return g_liveBlocks.load();
}

void GuardedFree(void* block) {
    if (block)
        --g_liveBlocks;
    std::free(block);
}

bool ResizeExact(uint8_t*& buffer, int32_t& length, int32_t delta) {
    int64_t wide = length;
    const bool resized = ResizeExact(buffer, wide, delta);
    length = static_cast<int32_t>(wide);
    return resized;
}

bool ResizeExact(uint8_t*& buffer, int64_t& length, int64_t delta) {
    if (delta == 0)
        return true;
    if (delta > 0 && static_cast<uint64_t>(delta) >= kAllocationLimit)
        return false;
    const int64_t newLength = length + delta;
    if (newLength < 0 || static_cast<uint64_t>(newLength) >= kAllocationLimit)
        return false;
    if (newLength == 0) {
        GuardedFree(buffer);
        buffer = nullptr;
        length = 0;
        return true;
    }
    void* resized = GuardedRealloc(buffer, static_cast<uint64_t>(newLength));
    if (!resized) {
        if (delta > 0)
            return false;
        // The larger block still holds every byte that stays; keep it.
        length = newLength;
        return true;
    }
    buffer = static_cast<uint8_t*>(resized);
    if (delta > 0)
        std::memset(buffer + length, 0, static_cast<size_t>(delta));
    length = newLength;
    return true;
}
