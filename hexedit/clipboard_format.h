// The name under which every editor page registers its private clipboard format: the raw
// selected bytes, no header and no terminator, so bytes copied in one page paste unchanged in
// another (the platform gives the same format number for the same name in every process).
#pragma once

#include <windows.h>

constexpr wchar_t kPrivateClipboardFormatName[] = L"kestrow_hex";

// The format's number in this session; 0 when it can't be registered.
inline UINT PrivateClipboardFormat() {
    return RegisterClipboardFormatW(kPrivateClipboardFormatName);
}
