// Records the paths this program hands to the system's path functions while a PathRecorder
// lives, by patching the program's import table: the product is linked into it, so its calls
// go through that table. Under Wine a plain path of any length works; this shows which form
// each call was given.
#pragma once

#include <string>
#include <utility>
#include <vector>

// Points this program's imports of `function` at `standIn`; returns what they pointed at, or
// null when nothing imports it. A way to have the system refuse what Wine never refuses.
void* PatchImport(const char* function, void* standIn);

class PathRecorder {
  public:
    PathRecorder();
    ~PathRecorder();
    PathRecorder(const PathRecorder&) = delete;
    PathRecorder& operator=(const PathRecorder&) = delete;

    // Every call so far, in order: the function's name and the path it was given.
    std::vector<std::pair<std::string, std::wstring>> Calls() const;
};
