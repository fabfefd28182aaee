#include <gtest/gtest.h>

#include "hexedit/core/long_path.h"

TEST(LongPath, FileSystemFormOfEachKindOfPath) {
    const std::wstring deep = std::wstring(20, L'a') + L"\\" + std::wstring(270, L'b') + L".bin";
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"C:\\" + deep, L"\\\\?\\C:\\" + deep},
        {L"\\\\server\\share\\" + deep, L"\\\\?\\UNC\\server\\share\\" + deep},
        {L"\\\\?\\C:\\" + deep, L"\\\\?\\C:\\" + deep},
        {L"\\\\?\\UNC\\server\\share\\" + deep, L"\\\\?\\UNC\\server\\share\\" + deep},
        {L"C:\\short\\file.bin", L"C:\\short\\file.bin"},
        {L"C:\\" + std::wstring(256, L'x'), L"C:\\" + std::wstring(256, L'x')}, // 259 characters
        {L"C:\\" + std::wstring(257, L'x'), L"\\\\?\\C:\\" + std::wstring(257, L'x')}, // 260
        {deep, deep}, // relative: no such form
    };
    for (const auto& [given, expected] : cases)
        EXPECT_EQ(longpath::ForFileSystem(given), expected) << given.substr(0, 24).c_str();
}

TEST(LongPath, UserFormOfAPathTheSystemGivesBack) {
    EXPECT_EQ(longpath::ForUser(L"\\\\?\\C:\\a\\b.bin"), L"C:\\a\\b.bin");
    EXPECT_EQ(longpath::ForUser(L"\\\\?\\UNC\\server\\share\\b.bin"), L"\\\\server\\share\\b.bin");
    EXPECT_EQ(longpath::ForUser(L"C:\\a\\b.bin"), L"C:\\a\\b.bin");
    EXPECT_EQ(longpath::ForUser(L"\\\\?\\Volume{1}\\b.bin"), L"\\\\?\\Volume{1}\\b.bin");
}
