// The editor's heap blocks: one allocation guard for every block, and exact-size resizing of
// the byte buffer (no spare capacity: the block is always exactly `length` bytes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// Allocation guard. Requests of kAllocationLimit bytes or more, or of more than a size_t holds,
// are refused as if memory had run out. GuardedRealloc keeps the old block on failure, like realloc.
void* GuardedAlloc(uint64_t size);
void* GuardedRealloc(void* block, uint64_t size);
void GuardedFree(void* block);
// Owns a guarded block until it goes out of scope.
struct GuardedDeleter {
    void operator()(void* block) const { GuardedFree(block); }
};
template <class T> using GuardedBlock = std::unique_ptr<T, GuardedDeleter>;
// The guard's answer for a block that comes from elsewhere (the clipboard's global memory):
// the same limit, and the same test hook.
bool AllocationAllowed(uint64_t size);

// Test hook: makes the next `count` guarded allocations fail, to exercise out-of-memory paths.
void FailNextAllocations(int count);
// Test hook: guarded blocks allocated and not yet freed, to show a path let go of its block.
int LiveGuardedBlocks();

// Grows (delta > 0, new bytes zeroed) or shrinks (delta < 0) an exact-size block at its end.
// A shrink to zero frees the block. A shrink whose smaller block can't be had keeps the
// larger block with `length` reduced, so the bytes stay correct. Returns false, changing
// nothing, when growth fails or the new length would reach the allocation limit.
bool ResizeExact(uint8_t*& buffer, int64_t& length, int64_t delta);
bool ResizeExact(uint8_t*& buffer, int32_t& length, int32_t delta);
