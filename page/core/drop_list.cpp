#include "page/core/drop_list.h"

#include <algorithm>

namespace selection {

bool DropListWalker::Next(std::wstring_view& path) {
    const wchar_t* zero = std::find(next_, end_, L'\0');
    if (zero == end_ || zero == next_)
        return false;
    path = std::wstring_view(next_, std::min<size_t>(zero - next_, maxLength_));
    next_ = zero + 1;
    return true;
}

} // namespace selection
