// Random bytes through every clipboard text writer, each into a block of exactly the size its
// layout asks for (so AddressSanitizer sees any store past it), compared with the plainly
// written reference; and the text paste length against a plain scan.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "hexedit/core/copy_layouts.h"
#include "hexedit/core/paste_rule.h"
#include "support/layout_reference.h"

namespace {

template <class Write>
std::string Run(uint64_t blockSize, const std::vector<uint8_t>& bytes, Write write) {
    std::vector<char> block(static_cast<size_t>(blockSize));
    const uint64_t length = write(bytes.data(), bytes.size(), block.data());
    if (length >= blockSize || block[length] != '\0')
        std::abort();
    return std::string(block.data(), static_cast<size_t>(length));
}

void Check(bool ok) {
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4)
        return 0;
    uint32_t first = 0;
    std::memcpy(&first, data, 4);
    first &= 0x7FFFFFFF;
    const std::vector<uint8_t> bytes(data + 4, data + size);
    const uint64_t n = bytes.size();

    Check(Run(layouts::HexBlockSize(n), bytes, layouts::WriteHex) == reference::HexText(bytes));
    Check(Run(layouts::CharBlockSize(n), bytes, layouts::WriteChars) == reference::CharText(bytes));
    Check(Run(layouts::CArrayWorkingSize(n), bytes, layouts::WriteCArray) ==
          reference::CArray(bytes));
    Check(Run(layouts::ViewWorkingSize(n), bytes,
              [first](const uint8_t* p, uint64_t count, char* out) {
                  return layouts::WriteView(p, count, first, out);
              }) == reference::View(bytes, first));

    char address[layouts::kAddressRangeTextSize];
    layouts::WriteAddressRange(first, first + static_cast<uint32_t>(n), address);
    Check(address == reference::AddressRange(first, first + static_cast<uint32_t>(n)));

    // A text block: the bytes before the first NUL, never the last byte.
    uint64_t expected = 0;
    while (expected + 1 < n && bytes[expected] != 0)
        ++expected;
    Check(pasting::TextPasteLength(bytes.data(), n) == expected);
    return 0;
}
