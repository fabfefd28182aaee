// The vendor's web host: the one place that names it. A reserved example domain stands in
// until the real one exists.
#pragma once

#include <string>

namespace web {

constexpr wchar_t kHost[] = L"www.example.com";

// The two pages the page's link buttons open.
inline std::wstring ModulesAddress() {
    return std::wstring(L"http://") + kHost + L"/kb/?kphm";
}
inline std::wstring HelpAddress() {
    return std::wstring(L"http://") + kHost + L"/kb/?kphh";
}

} // namespace web
