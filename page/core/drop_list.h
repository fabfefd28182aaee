// The paths of the shell's drop list, read in order straight from its block: wide strings, each
// ended by a zero, the list by an empty one. Asking the system for item i walks the list from
// its start each time, so reading every item that way grows with the square of the count.
#pragma once

#include <cstddef>
#include <string_view>

namespace selection {

class DropListWalker {
  public:
    // The block's strings run from `begin` to `end`; nothing at or past `end` is read, so a list
    // that lacks its closing zeros ends with its last whole string. A path is cut to
    // `maxLength` characters, as a read into a buffer of maxLength + 1 would cut it.
    DropListWalker(const wchar_t* begin, const wchar_t* end, size_t maxLength)
        : next_(begin), end_(begin ? end : begin), maxLength_(maxLength) {}

    // The next path; false at the end of the list.
    bool Next(std::wstring_view& path);

  private:
    const wchar_t* next_;
    const wchar_t* end_;
    size_t maxLength_;
};

} // namespace selection
