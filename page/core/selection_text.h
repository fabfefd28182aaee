// The texts the page shows about a selection, and which items feed its file chooser. Portable:
// attributes arrive as plain numbers, paths as wide strings.
#pragma once

#include <cstdint>
#include <string>

#include "page/core/drop_list.h"

namespace selection {

// A path split the way the C runtime's wide split does: drive ("C:" or empty), folder with its
// leading and trailing separators, base name, extension with its dot. Parts are kept whole,
// however long.
struct PathParts {
    std::wstring drive;
    std::wstring folder;
    std::wstring name;
    std::wstring extension;
};

PathParts SplitPath(const std::wstring& path);

// Base name followed by extension ("report.txt").
std::wstring NameText(const PathParts& parts);
// Drive followed by folder ("C:\Data\").
std::wstring LocationOf(const PathParts& parts);

// What an item counts as, from its file attributes (0xFFFFFFFF when they can't be read).
enum class ItemKind { File, Folder, Unreadable };
constexpr uint32_t kInvalidAttributes = 0xFFFFFFFFu;
constexpr uint32_t kDirectoryAttribute = 0x10u;
ItemKind KindOf(uint32_t attributes);

// Only readable files get a chooser entry.
inline bool InFileList(ItemKind kind) {
    return kind == ItemKind::File;
}

// "3 Files, 1 Folder"; an unreadable item is counted by the caller as a file.
std::wstring CountText(uint32_t files, uint32_t folders);

// The common location of a run of items: "All in " + the location while every one matches the
// first exactly (case included), "Various Folders" from the first that differs.
class CommonLocation {
  public:
    void Add(const std::wstring& location);
    bool Varied() const { return varied_; }
    std::wstring Text() const;

  private:
    std::wstring reference_;
    bool any_ = false;
    bool varied_ = false;
};

// What a walk over the selection asks of the system, item by item.
class SelectionSystem {
  public:
    virtual uint32_t Attributes(const std::wstring& path) = 0;
    virtual void ReportUnreadable(const std::wstring& path) = 0;
    // A readable file: `index` is its place in the selection, `name` its chooser text.
    virtual void ListFile(uint32_t index, const std::wstring& name) = 0;

  protected:
    ~SelectionSystem() = default;
};

struct SelectionTexts {
    std::wstring count;
    std::wstring location;
};

// One walk over at most `count` items, in selection order, reading each item's attributes once:
// every readable file is listed; with `summarize` (several items selected) unreadable items are
// reported and counted as files, and the count and location texts are made (empty otherwise).
SelectionTexts ScanSelection(DropListWalker paths, uint32_t count, bool summarize,
                             SelectionSystem& system);

} // namespace selection
