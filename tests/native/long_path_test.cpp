#include <gtest/gtest.h>

#include "hexedit/core/long_path.h"

namespace {

// 300 characters of folders and a name, to put after a root.
const std::wstring kDeep = std::wstring(20, L'a') + L"\\" + std::wstring(270, L'b') + L".bin";

TEST(LongPath, FileSystemFormOfEachKindOfPath) {
    const struct {
        std::wstring given;
        std::wstring expected;
    } cases[] = {
        {L"C:\\" + kDeep, L"\\\\?\\C:\\" + kDeep},
        {L"\\\\server\\share\\" + kDeep, L"\\\\?\\UNC\\server\\share\\" + kDeep},
        {L"\\\\?\\C:\\" + kDeep, L"\\\\?\\C:\\" + kDeep},
        {L"\\\\?\\UNC\\server\\share\\" + kDeep, L"\\\\?\\UNC\\server\\share\\" + kDeep},
        {L"C:\\short\\file.bin", L"C:\\short\\file.bin"},
        {L"\\\\server\\share\\file.bin", L"\\\\server\\share\\file.bin"},
        {L"C:\\" + std::wstring(256, L'x'), L"C:\\" + std::wstring(256, L'x')},        // 259 chars
        {L"C:\\" + std::wstring(257, L'x'), L"\\\\?\\C:\\" + std::wstring(257, L'x')}, // 260
        {kDeep, kDeep}, // relative: no such form
    };
    for (const auto& c : cases)
        EXPECT_EQ(longpath::ForFileSystem(c.given), c.expected) << c.given.substr(0, 24).c_str();
}

} // namespace
