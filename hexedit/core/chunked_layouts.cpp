#include "hexedit/core/chunked_layouts.h"

#include <cstring>

#include "hexedit/core/copy_layouts.h"

namespace layouts {
namespace {

// A full View line: address, two spaces, eight "HH ", one space, eight characters, CR LF.
constexpr uint64_t kViewLineLength = 45;

} // namespace

uint64_t ChunkedBlockSize(Chunked layout, uint64_t n) {
    switch (layout) {
    case Chunked::Hex:
        return HexBlockSize(n);
    case Chunked::Chars:
        return CharBlockSize(n);
    case Chunked::View: {
        const uint64_t rest = n % kViewLineBytes;
        return n / kViewLineBytes * kViewLineLength + (rest ? kViewTextColumn + rest + 2 : 0) + 1;
    }
    case Chunked::Raw:
        break;
    }
    return n;
}

uint64_t StepStart(Chunked layout, uint64_t from) {
    switch (layout) {
    case Chunked::Hex:
        return 3 * from;
    case Chunked::View:
        return from / kViewLineBytes * kViewLineLength;
    case Chunked::Chars:
    case Chunked::Raw:
        break;
    }
    return from;
}

void WriteStep(Chunked layout, const uint8_t* bytes, uint64_t n, uint32_t firstOffset,
               uint64_t from, uint64_t count, char* out) {
    const bool last = from + count >= n;
    switch (layout) {
    case Chunked::Hex: {
        char* const at = out + StepStart(layout, from);
        WriteHex(bytes + from, count, at);
        // The NUL after this step's last pair is the space before the next step's first; the
        // whole block ends in a spare NUL.
        at[3 * count - 1] = last ? '\0' : ' ';
        if (last)
            at[3 * count] = '\0';
        break;
    }
    case Chunked::Chars:
        WriteChars(bytes + from, count, out + from); // the next step overwrites the NUL
        break;
    case Chunked::View:
        WriteView(bytes + from, count, static_cast<uint32_t>(firstOffset + from),
                  out + StepStart(layout, from));
        break;
    case Chunked::Raw:
        std::memcpy(out + from, bytes + from, static_cast<size_t>(count));
        break;
    }
}

} // namespace layouts
