// Opening and closing the page many times in one process must not leave windows, kernel
// handles, GDI objects or USER objects behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "resources/resource_ids.h"
#include "server/shell_ext.h"
#include "support/properties_driver.h"
#include "support/test_window.h"

namespace {

int TopLevelWindowsOfThread() {
    int count = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND, LPARAM param) -> BOOL {
            ++*reinterpret_cast<int*>(param);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

DWORD KernelHandles() {
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
}

// Where the system has no per-process object counts (Wine's GetGuiResources is a stub), the
// highest slot a batch of fresh objects lands in shows growth: leaked objects keep their slots,
// so fresh ones go higher each time.
template <typename Make, typename Free> unsigned HighestFreshSlot(Make make, Free release) {
    unsigned highest = 0;
    std::vector<decltype(make())> made;
    for (int i = 0; i < 32; ++i)
        made.push_back(make());
    for (auto object : made) {
        highest =
            std::max(highest, static_cast<unsigned>(reinterpret_cast<UINT_PTR>(object) & 0xFFFF));
        release(object);
    }
    return highest;
}

struct Usage {
    int windows;
    DWORD kernel;
    DWORD gdi;
    DWORD user;
    unsigned gdiSlot;
    unsigned userSlot;
};

Usage Measure() {
    Usage u{};
    u.windows = TopLevelWindowsOfThread();
    u.kernel = KernelHandles();
    u.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    u.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    u.gdiSlot = HighestFreshSlot([] { return CreateSolidBrush(RGB(1, 2, 3)); },
                                 [](HBRUSH b) { DeleteObject(b); });
    u.userSlot = HighestFreshSlot([] { return CreateMenu(); }, [](HMENU m) { DestroyMenu(m); });
    return u;
}

bool IconAlive(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info))
        return false;
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    return true;
}

// Opens and closes the page once; returns how many of the objects the page and its editor made
// (header icon, tooltip window, view font) are still alive afterwards.
int OpenAndClose(const std::vector<std::wstring>& paths) {
    HICON icon = nullptr;
    HWND tooltip = nullptr;
    HFONT font = nullptr;
    {
        InProcessSheet sheet(paths);
        if (!sheet.page())
            return 1000;
        if (paths.size() == 1) // several items show the shared resource icon
            icon = reinterpret_cast<HICON>(
                SendMessageW(sheet.control(IDC_HEADER_ICON), STM_GETICON, 0, 0));
        tooltip = sheet.ext().tooltipWnd;
        font = sheet.ext().editor.font;
        sheet.PressButton(PSBTN_OK);
    }
    return (icon && IconAlive(icon)) + (tooltip && IsWindow(tooltip)) +
           (font && GetObjectType(font) != 0);
}

// A 16 x 16 icon file: the shell extracts its own icon for it, one the page owns and must
// destroy (for most file types it hands out a shared icon instead).
std::vector<uint8_t> IconFile() {
    std::vector<uint8_t> bytes;
    auto put = [&](uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    const uint32_t imageSize = 40 + 16 * 16 * 4 + 16 * 4;
    put(0, 2), put(1, 2), put(1, 2);                                     // header: icon, one image
    put(16, 1), put(16, 1), put(0, 1), put(0, 1), put(1, 2), put(32, 2); // entry
    put(imageSize, 4), put(22, 4);
    put(40, 4), put(16, 4), put(32, 4), put(1, 2), put(32, 2); // bitmap header
    for (int i = 0; i < 6; ++i)
        put(0, 4);
    for (int i = 0; i < 16 * 16; ++i)
        put(0xFF2060C0u, 4);
    for (int i = 0; i < 16; ++i)
        put(0, 4);
    return bytes;
}

} // namespace

TEST(PageResources, TwoHundredOpenCloseCyclesLeaveNothingBehind) {
    TempFolder folder;
    const std::wstring one = folder.Write(L"one.ico", IconFile());
    const std::wstring two = folder.Write(L"two.txt", std::vector<uint8_t>(100, 0x41));
    // Warm up: first uses create lasting things of the system's own (classes, caches).
    for (int i = 0; i < 10; ++i) {
        OpenAndClose({one});
        OpenAndClose({one, two});
    }
    const Usage before = Measure();
    int alive = 0;
    for (int i = 0; i < 100; ++i) {
        alive += OpenAndClose({one});      // single item: extracted icon, editor loaded
        alive += OpenAndClose({one, two}); // several: resource icon, chooser switch
    }
    const Usage after = Measure();
    EXPECT_EQ(alive, 0);
    EXPECT_EQ(after.windows, before.windows);
    EXPECT_LE(after.kernel, before.kernel + 4);
    if (before.gdi != 0) { // real counts where the system keeps them
        EXPECT_LE(after.gdi, before.gdi + 4);
        EXPECT_LE(after.user, before.user + 4);
    }
    EXPECT_LE(after.gdiSlot, before.gdiSlot + 8);
    EXPECT_LE(after.userSlot, before.userSlot + 8);
}
