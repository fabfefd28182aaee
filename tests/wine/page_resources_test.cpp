// Opening and closing the page many times in one process must not leave windows, kernel
// handles, GDI objects or USER objects behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "resources/resource_ids.h"
#include "server/shell_ext.h"
#include "support/properties_driver.h"
#include "support/test_window.h"

namespace {

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
    ++*reinterpret_cast<long*>(count);
    return TRUE;
}

BOOL CALLBACK CountWindowAndChildren(HWND window, LPARAM count) {
    CountWindow(window, count);
    EnumChildWindows(window, CountWindow, count);
    return TRUE;
}

long TopLevelWindowsOfThread() {
    long count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Kernel handles of this process, from the system's handle list: GetProcessHandleCount reads
// 0 under Wine, the list works on both systems.
struct HandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ULONG access;
};
struct HandleList {
    ULONG count;
    HandleEntry entries[1];
};
using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

long KernelHandles() {
    const auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return -1;
    constexpr ULONG kSystemHandleInformation = 16;
    constexpr LONG kLengthMismatch = static_cast<LONG>(0xC0000004);
    std::vector<BYTE> buffer(1 << 16);
    for (;;) {
        ULONG needed = 0;
        const LONG status = query(kSystemHandleInformation, buffer.data(),
                                  static_cast<ULONG>(buffer.size()), &needed);
        if (status == kLengthMismatch) {
            buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
            continue;
        }
        if (status < 0)
            return -1;
        break;
    }
    const auto* list = reinterpret_cast<const HandleList*>(buffer.data());
    long count = 0;
    for (ULONG i = 0; i < list->count; ++i)
        count += list->entries[i].ownerPid == GetCurrentProcessId();
    return count;
}

// GDI objects of this process. Wine's GetGuiResources reads 0; its handle table takes a bare
// slot number as a handle, so every slot is asked for its object.
long GdiObjects() {
    if (const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
        return static_cast<long>(counted);
    long count = 0;
    for (UINT_PTR slot = 1; slot < 0x10000; ++slot)
        count += GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0;
    return count;
}

// USER objects of this process: the system's count, or where it reads 0, the windows of this
// thread (children included) and the menus and icons found by handle slot (Wine's USER handles
// are the slot number times two plus 0x20, taken without their generation bits).
long UserObjects() {
    if (const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS))
        return static_cast<long>(counted);
    long count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindowAndChildren,
                      reinterpret_cast<LPARAM>(&count));
    for (UINT_PTR slot = 0; slot < 0x7FE8; ++slot) {
        const UINT_PTR handle = 0x20 + (slot << 1);
        if (IsMenu(reinterpret_cast<HMENU>(handle))) {
            ++count;
            continue;
        }
        ICONINFO info{};
        if (GetIconInfo(reinterpret_cast<HICON>(handle), &info)) {
            ++count;
            if (info.hbmColor)
                DeleteObject(info.hbmColor);
            if (info.hbmMask)
                DeleteObject(info.hbmMask);
        }
    }
    return count;
}

struct Usage {
    long windows;
    long kernel;
    long gdi;
    long user;
};

Usage Measure() {
    Usage u{};
    u.windows = TopLevelWindowsOfThread();
    u.kernel = KernelHandles();
    u.gdi = GdiObjects();
    u.user = UserObjects();
    return u;
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

} // namespace

TEST(PageResources, TwoHundredOpenCloseCyclesLeaveNothingBehind) {
    TempFolder folder;
    const std::wstring one = folder.Write(L"one.ico", IconFileBytes());
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
    // The counts are real on both systems; a little slack for what the system itself keeps
    // (caches), far below one object a cycle.
    ASSERT_GT(before.kernel, 0) << "no handle list";
    ASSERT_GT(before.gdi, 0);
    ASSERT_GT(before.user, 0);
    EXPECT_LE(after.kernel, before.kernel + 4);
    EXPECT_LE(after.gdi, before.gdi + 4);
    EXPECT_LE(after.user, before.user + 4);
}
