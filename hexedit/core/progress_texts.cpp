#include "hexedit/core/progress_texts.h"

namespace progress {

namespace {

std::wstring Grouped(uint64_t value) {
    std::wstring digits = std::to_wstring(value);
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, 1, L',');
    return digits;
}

} // namespace

std::wstring Heading(Operation operation, const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/:");
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const wchar_t* verb = operation == Operation::Read   ? L"Reading "
                          : operation == Operation::Save ? L"Saving "
                                                         : L"Copying ";
    return verb + name;
}

std::wstring CountText(uint64_t done, uint64_t total) {
    return Grouped(done) + L" of " + Grouped(total) + (total == 1 ? L" byte" : L" bytes");
}

int BarPosition(uint64_t done, uint64_t total) {
    if (total == 0 || done >= total)
        return kBarRange;
    // Counts beyond a petabyte are scaled down first so the product cannot overflow.
    while (total >= (uint64_t{1} << 50)) {
        total >>= 10;
        done >>= 10;
    }
    return static_cast<int>(done * kBarRange / total);
}

std::wstring NoteText(Operation operation) {
    return operation == Operation::Save
               ? L"A save can't be stopped: stopped half-way, the file would be part old, part "
                 L"new."
               : std::wstring();
}

} // namespace progress
