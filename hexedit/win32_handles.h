// Small owners for Win32 handles, so that every early return releases what it took.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

// Owner of one handle: `Close` releases it, `InvalidValue` (as an integer, since
// INVALID_HANDLE_VALUE is no constant) marks "none".
template <typename Handle, auto Close, intptr_t InvalidValue = 0> class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : handle_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    static Handle Invalid() { return reinterpret_cast<Handle>(InvalidValue); }
    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Invalid(); }
    Handle release() { return std::exchange(handle_, Invalid()); }
    void reset(Handle h = Invalid()) {
        if (handle_ != Invalid())
            Close(handle_);
        handle_ = h;
    }
    // For an API that returns a handle through an out-parameter: lets go of the current one
    // and hands out the place for the new one.
    Handle* put() {
        reset();
        return &handle_;
    }

  private:
    Handle handle_ = Invalid();
};

using UniqueFile = UniqueHandle<HANDLE, &CloseHandle, -1>;
using UniqueRegKey = UniqueHandle<HKEY, &RegCloseKey>;
using UniqueBitmap = UniqueHandle<HBITMAP, &DeleteObject>;
using UniqueFont = UniqueHandle<HFONT, &DeleteObject>;
using UniqueMemoryDc = UniqueHandle<HDC, &DeleteDC>;
using UniqueMenu = UniqueHandle<HMENU, &DestroyMenu>;
using UniqueGlobal = UniqueHandle<HGLOBAL, &GlobalFree>;

// Selects an object into a DC and selects the previous one back on scope exit.
class ScopedSelectObject {
  public:
    ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~ScopedSelectObject() {
        if (previous_ && previous_ != HGDI_ERROR)
            SelectObject(dc_, previous_);
    }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// BeginPaint/EndPaint pair.
class ScopedPaint {
  public:
    explicit ScopedPaint(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
    ~ScopedPaint() { EndPaint(hwnd_, &ps_); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    HDC dc() const { return dc_; }

  private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_ = nullptr;
};

// GetDC/ReleaseDC pair.
class ScopedWindowDc {
  public:
    explicit ScopedWindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~ScopedWindowDc() {
        if (dc_)
            ReleaseDC(hwnd_, dc_);
    }
    ScopedWindowDc(const ScopedWindowDc&) = delete;
    ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND hwnd_;
    HDC dc_;
};

// The clipboard, open for as long as this object lives. Clipboard history, remote-desktop
// sharing and clipboard managers hold it for a few milliseconds after every change, so the
// open is tried again for a short, bounded while (10 tries, 10 ms apart) before giving up.
class ScopedClipboard {
  public:
    explicit ScopedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {
        for (int retry = 0; !open_ && retry < 9; ++retry) {
            Sleep(10);
            open_ = OpenClipboard(owner) != FALSE;
        }
    }
    ~ScopedClipboard() {
        if (open_)
            CloseClipboard();
    }
    ScopedClipboard(const ScopedClipboard&) = delete;
    ScopedClipboard& operator=(const ScopedClipboard&) = delete;
    bool IsOpen() const { return open_; }

  private:
    bool open_;
};

// GlobalLock/GlobalUnlock pair.
class ScopedGlobalLock {
  public:
    explicit ScopedGlobalLock(HGLOBAL memory)
        : memory_(memory), data_(memory ? GlobalLock(memory) : nullptr) {}
    ~ScopedGlobalLock() {
        if (data_)
            GlobalUnlock(memory_);
    }
    ScopedGlobalLock(const ScopedGlobalLock&) = delete;
    ScopedGlobalLock& operator=(const ScopedGlobalLock&) = delete;
    void* data() const { return data_; }

  private:
    HGLOBAL memory_;
    void* data_;
};

// Shows a cursor for the scope's duration and the arrow afterwards.
class ScopedCursor {
  public:
    explicit ScopedCursor(LPCWSTR cursor) { SetCursor(LoadCursorW(nullptr, cursor)); }
    ~ScopedCursor() { SetCursor(LoadCursorW(nullptr, IDC_ARROW)); }
    ScopedCursor(const ScopedCursor&) = delete;
    ScopedCursor& operator=(const ScopedCursor&) = delete;
};

// An activation context made active for the scope's duration.
class ScopedActivationContext {
  public:
    explicit ScopedActivationContext(HANDLE context) {
        if (context && context != INVALID_HANDLE_VALUE && ActivateActCtx(context, &cookie_))
            active_ = true;
    }
    ~ScopedActivationContext() {
        if (active_)
            DeactivateActCtx(0, cookie_);
    }
    ScopedActivationContext(const ScopedActivationContext&) = delete;
    ScopedActivationContext& operator=(const ScopedActivationContext&) = delete;

  private:
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
};
