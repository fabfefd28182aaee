#include "hexedit/core/chunked_layouts.h"

#include <cstring>

#include "hexedit/core/copy_layouts.h"

namespace layouts {

uint64_t ChunkedBlockSize(const ChunkedCopy& copy) {
    const uint64_t n = copy.n;
    switch (copy.layout) {
    case Chunked::Hex:
        return HexBlockSize(n);
    case Chunked::Chars:
        return CharBlockSize(n);
    case Chunked::View: {
        const ViewLines lines = ViewLinesFor(copy.firstOffset, n);
        const uint64_t rest = n % kViewLineBytes;
        return n / kViewLineBytes * lines.fullLineLength +
               (rest ? lines.textColumn + rest + 2 : 0) + 1;
    }
    case Chunked::Raw:
        break;
    }
    return n;
}

uint64_t StepStart(const ChunkedCopy& copy, uint64_t from) {
    switch (copy.layout) {
    case Chunked::Hex:
        return 3 * from;
    case Chunked::View:
        return from / kViewLineBytes * ViewLinesFor(copy.firstOffset, copy.n).fullLineLength;
    case Chunked::Chars:
    case Chunked::Raw:
        break;
    }
    return from;
}

void WriteStep(const ChunkedCopy& copy, const uint8_t* bytes, uint64_t from, uint64_t count,
               char* out) {
    const bool last = from + count >= copy.n;
    switch (copy.layout) {
    case Chunked::Hex: {
        char* const at = out + StepStart(copy, from);
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
        WriteViewPart(bytes + from, count, copy.firstOffset + from,
                      ViewLinesFor(copy.firstOffset, copy.n), out + StepStart(copy, from));
        break;
    case Chunked::Raw:
        std::memcpy(out + from, bytes + from, static_cast<size_t>(count));
        break;
    }
}

} // namespace layouts
