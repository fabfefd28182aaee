// The strings of a shell drop list (CF_HDROP), locked for one walk; a list of 8-bit paths is
// read as wide, in the code page the system's own reading uses.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>

#include "hexedit/win32_handles.h"
#include "page/core/drop_list.h"

class DropListText {
  public:
    explicit DropListText(HDROP drop);

    // All the list's characters, the zeros between its paths included.
    const wchar_t* begin() const { return begin_; }
    const wchar_t* end() const { return end_; }
    selection::DropListWalker Paths() const;

  private:
    ScopedGlobalLock lock_;
    std::wstring converted_;
    const wchar_t* begin_ = nullptr;
    const wchar_t* end_ = nullptr;
};
