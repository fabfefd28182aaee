// Random bytes for the search benchmarks: the same seed gives the same bytes on every run, so a
// needle checked absent once stays absent.
#pragma once

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

// `size` is a multiple of 8.
inline std::vector<uint8_t> RandomBytes(size_t size) {
    std::vector<uint8_t> b(size);
    std::mt19937_64 random(42);
    for (size_t i = 0; i < b.size(); i += 8) {
        const uint64_t word = random();
        std::memcpy(b.data() + i, &word, 8);
    }
    return b;
}
