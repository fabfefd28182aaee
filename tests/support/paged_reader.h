// The file behind the on-demand source's tests: byte i is 0x10 + i, in pages of 4.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "hexedit/core/on_demand_source.h"

struct PagedReader final : bytes::FileReader {
    std::vector<uint64_t> calls;   // offsets read
    std::vector<uint64_t> failing; // pages that refuse
    bool cancel = false;           // gives up instead
    std::function<void()> during;  // runs once inside the next read, as a waiting reader lets
                                   // other code run before the bytes arrive
    bytes::ReadOutcome ReadAt(uint64_t offset, uint8_t* out, size_t count) override {
        if (const auto now = std::exchange(during, nullptr))
            now();
        calls.push_back(offset);
        for (uint64_t page : failing)
            if (page * 4 >= offset && page * 4 < offset + count)
                return bytes::ReadOutcome::kFailed;
        for (size_t i = 0; i < count; ++i)
            out[i] = static_cast<uint8_t>(0x10 + offset + i);
        return cancel ? bytes::ReadOutcome::kCancelled : bytes::ReadOutcome::kRead;
    }
};
