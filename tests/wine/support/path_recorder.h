// Records the paths this program hands to the system's path functions while a PathRecorder
// lives, by patching the program's import table: the product is linked into it, so its calls
// go through that table. Under Wine a plain path of any length works; this shows which form
// each call was given.
#pragma once

#include <string>
#include <vector>

class PathRecorder {
  public:
    PathRecorder();
    ~PathRecorder();
    PathRecorder(const PathRecorder&) = delete;
    PathRecorder& operator=(const PathRecorder&) = delete;

    // The paths handed to `function` ("CreateFileW", ...) so far, in order.
    std::vector<std::wstring> PathsOf(const char* function) const;
    // "Function path" for every path of 260 characters or more that lacked the "\\?\" form.
    std::vector<std::wstring> PlainLongPaths() const;
};
