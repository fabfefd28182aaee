// Sizes shared by the whole system.
#pragma once

#include <cstddef>
#include <cstdint>

// Capacity, in UTF-16 units including the terminating zero, of every path buffer.
constexpr size_t kPathCapacity = 34000;

// Every heap block of the editor must stay below this size; the buffer length is a signed
// 32-bit count.
constexpr uint64_t kAllocationLimit = 0x80000000ull;
