#include <cstring>

#include "hexedit/core/byte_source.h"

namespace bytes {

ReadResult BlockSource::Read(uint64_t offset, uint8_t* out, size_t count, uint8_t* unreadable) {
    const size_t n = ClipToLength(offset, count, length_);
    if (n > 0) {
        std::memcpy(out, data_ + offset, n);
        if (unreadable)
            std::memset(unreadable, 0, n);
    }
    return {n, false};
}

} // namespace bytes
