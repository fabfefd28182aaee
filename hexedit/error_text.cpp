#include "hexedit/error_text.h"

std::wstring SystemErrorText(DWORD code) {
    wchar_t text[1000] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, 1000, nullptr);
    return text;
}

std::wstring FormatErrorMessage(const wchar_t* format, DWORD code) {
    // Substituted by hand: "%s" means a wide string to MSVC's printf but not to C99's.
    std::wstring message = format;
    const size_t at = message.find(L"%s");
    if (at != std::wstring::npos)
        message.replace(at, 2, SystemErrorText(code));
    if (message.size() > 1999)
        message.resize(1999);
    return message;
}
