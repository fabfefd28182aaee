// The yardstick of an edit that moves a 1 GiB tail: one memmove of 1 GiB by one byte, with
// every page touched before the clock starts.
#pragma once

#include <cstring>

#include "bench_timer.h"
#include "hexedit/core/byte_buffer.h"

inline Timing MemmoveGiB() {
    constexpr size_t kGiB = size_t{1} << 30;
    auto* block = static_cast<uint8_t*>(GuardedAlloc(kGiB + 1));
    if (!block)
        return NotMeasured("no block of 1 GiB");
    std::memset(block, 0x5A, kGiB + 1);
    block[0] = 0x11;
    size_t moves = 0;
    const Timing t = TimeRuns(
        3, [&] { std::memmove(block + 1, block, kGiB); },
        [&]() -> const char* {
            ++moves; // after n moves the first n + 1 bytes hold the first byte
            return block[moves] == 0x11 && block[moves + 1] == 0x5A ? nullptr
                                                                    : "memmove moved nothing";
        });
    GuardedFree(block);
    return t;
}
