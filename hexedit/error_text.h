// The system's own text for a Win32 error code, put into one of the editor's message forms.
#pragma once

#include <windows.h>

#include <string>

// The system's message for `code` (default language, inserts ignored); empty when it has none.
std::wstring SystemErrorText(DWORD code);

// `format` with its single %s replaced by the system's text for `code`.
std::wstring FormatErrorMessage(const wchar_t* format, DWORD code);
