// Replaces a system function that this test program (the product linked in) imports, for the
// object's lifetime: a way to have the system report a failure Wine never gives.
#pragma once

#include <windows.h>

class ImportPatch {
  public:
    // `dll` as the import table names it ("kernel32.dll"), case ignored.
    ImportPatch(const char* dll, const char* function, void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;
    bool Patched() const { return slot_ != nullptr; }

  private:
    static void Store(void** slot, void* value);
    void** slot_ = nullptr;
    void* original_ = nullptr;
};
