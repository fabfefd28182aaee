// Random blocks through the readers of what the shell or a drag source hands over: the item
// list and the drop list. Each block has exactly the input's size, so AddressSanitizer sees any
// read past it; what they accept is compared with a plain reference written from the formats.
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "page/core/drop_list.h"
#include "page/core/item_list.h"

namespace {

void Check(bool ok) {
    if (!ok)
        std::abort();
}

uint64_t Little(const std::vector<uint8_t>& block, uint64_t at, int bytes) {
    uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | block[at + i];
    return value;
}

// A count, count + 1 offsets, and at each offset items sized by their first two bytes up to one
// of size 0; anything that runs past the block makes the whole block unreadable.
std::vector<uint32_t> ReferenceOffsets(const std::vector<uint8_t>& block) {
    if (block.size() < 4)
        return {};
    const uint64_t count = Little(block, 0, 4);
    if (4 + 4 * (count + 1) > block.size())
        return {};
    std::vector<uint32_t> offsets;
    for (uint64_t i = 0; i <= count; ++i) {
        uint64_t at = Little(block, 4 + 4 * i, 4);
        for (;;) {
            if (at + 2 > block.size())
                return {};
            const uint64_t length = Little(block, at, 2);
            if (length == 0)
                break;
            if (length < 2)
                return {};
            at += length;
        }
        offsets.push_back(static_cast<uint32_t>(Little(block, 4 + 4 * i, 4)));
    }
    return offsets;
}

// The drop list: strings ended by a zero, up to an empty one; a string without its zero is not
// a path. Each is cut to `maxLength`.
void CheckDropList(const std::vector<wchar_t>& text, size_t maxLength) {
    selection::DropListWalker walker(text.data(), text.data() + text.size(), maxLength);
    size_t at = 0;
    for (std::wstring_view path; walker.Next(path);) {
        size_t end = at;
        while (end < text.size() && text[end] != L'\0')
            ++end;
        Check(end < text.size() && end > at);
        Check(path == std::wstring_view(text.data() + at, std::min(end - at, maxLength)));
        at = end + 1;
    }
    size_t end = at;
    while (end < text.size() && text[end] != L'\0')
        ++end;
    Check(end == text.size() || end == at); // nothing left that is a whole path
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> block(data, data + size);
    Check(selection::ItemListOffsets(block.data(), block.size()) == ReferenceOffsets(block));

    // The same bytes as 16-bit characters, as Windows holds them; the first byte sets the cut.
    if (size < 1)
        return 0;
    std::vector<wchar_t> text((size - 1) / 2);
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<wchar_t>(data[1 + 2 * i] | data[2 + 2 * i] << 8);
    CheckDropList(text, 1 + data[0] % 64);
    return 0;
}
