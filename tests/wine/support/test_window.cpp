#include "support/test_window.h"

#include <cstdio>
#include <new>

#include "resources/resource_ids.h"
#include "server/shell_ext.h"

namespace {
std::vector<MSG> g_received;

LRESULT CALLBACK TestPageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_APP) {
        g_received.push_back(MSG{hwnd, message, wParam, lParam, 0, {}});
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

const wchar_t kPageClass[] = L"PropweaveTestPage";
} // namespace

TestPage::TestPage(int clientWidth, int clientHeight) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = TestPageProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kPageClass;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterClassW(&wc); // fails harmlessly when already registered
    g_received.clear();

    page_ = CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"Test page",
                            WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, clientWidth + 80,
                            clientHeight + 120, nullptr, nullptr, wc.hInstance, nullptr);
    const DWORD viewStyle = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY |
                            WS_BORDER | WS_VSCROLL | WS_TABSTOP;
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, viewStyle, FALSE, 0);
    frame.right += GetSystemMetrics(SM_CXVSCROLL);
    view_ = CreateWindowExW(
        0, L"EDIT", L"", viewStyle, 10, 10, frame.right - frame.left, frame.bottom - frame.top,
        page_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(1116)), wc.hInstance, nullptr);
    button_ = CreateWindowExW(
        0, L"BUTTON", L"Next", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, clientHeight + 30, 80, 24,
        page_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(2000)), wc.hInstance, nullptr);
    // Correct for whatever frame and scroll bar the system gives the control.
    RECT client{}, window{};
    GetClientRect(view_, &client);
    GetWindowRect(view_, &window);
    SetWindowPos(view_, nullptr, 0, 0, window.right - window.left + clientWidth - client.right,
                 window.bottom - window.top + clientHeight - client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ext_ = new (std::nothrow) CShellExt();
    if (ext_) {
        ext_->AddRef();
        editor_ = &ext_->editor;
    }
    UpdateWindow(page_);
}

TestPage::~TestPage() {
    DestroyWindow(page_);
    Pump();
    if (ext_)
        ext_->Release();
}

void TestPage::Attach() {
    SetWindowLongPtrW(view_, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(static_cast<IShellExtInit*>(ext_)));
    editor_->Attach(view_, page_);
}

const std::vector<MSG>& TestPage::Received() const {
    return g_received;
}

void TestPage::Repaint() {
    editor().Invalidate();
    UpdateWindow(view_);
    Pump();
    UpdateWindow(view_);
}

void TestPage::Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

std::wstring MakeUniqueTempFolder(const wchar_t* prefix, const wchar_t* parent) {
    static int serial = 0;
    wchar_t name[MAX_PATH];
    // Wine sessions of other build trees number their processes alike: a name already taken
    // belongs to someone else, whose clean-up would take our files with it.
    do {
        swprintf(name, MAX_PATH, L"%ls\\%ls-%lu-%d\\", parent, prefix,
                 static_cast<unsigned long>(GetCurrentProcessId()), serial++);
    } while (!CreateDirectoryW(name, nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
    return name;
}

TempFolder::TempFolder() : folder_(MakeUniqueTempFolder(L"propweave-test")) {}

TempFolder::~TempFolder() {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder_ + L"*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring entry = folder_ + data.cFileName;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (wcscmp(data.cFileName, L".") && wcscmp(data.cFileName, L".."))
                    RemoveDirectoryW(entry.c_str());
            } else {
                SetFileAttributesW(entry.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(entry.c_str());
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(folder_.c_str());
}

std::wstring TempFolder::Path(const std::wstring& name) const {
    return folder_ + name;
}

std::wstring TempFolder::Write(const std::wstring& name, const std::vector<uint8_t>& bytes) const {
    const std::wstring path = Path(name);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (!bytes.empty())
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return path;
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

std::vector<uint8_t> EditorBytes(const CHexEdit& editor) {
    return editor.buffer ? std::vector<uint8_t>(editor.buffer, editor.buffer + editor.length)
                         : std::vector<uint8_t>();
}

std::vector<uint8_t> ReadAll(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!bytes.empty())
        ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    return bytes;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void HoldModifiers(bool shift, bool ctrl) {
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_SHIFT] = state[VK_LSHIFT] = shift ? 0x80 : 0;
    state[VK_CONTROL] = state[VK_LCONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(state);
}

void PressKeys(const std::vector<WORD>& keys) {
    std::vector<INPUT> inputs(2 * keys.size(), INPUT{INPUT_KEYBOARD, {}});
    for (size_t i = 0; i < keys.size(); ++i) {
        inputs[i].ki.wVk = inputs[inputs.size() - 1 - i].ki.wVk = keys[i];
        inputs[inputs.size() - 1 - i].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    for (int n = 0; n < 20; ++n, Sleep(10))
        TestPage::Pump();
}

LRESULT TestPage::Key(WPARAM key, bool shift, bool ctrl) {
    HoldModifiers(shift, ctrl);
    const LRESULT result = SendMessageW(view_, WM_KEYDOWN, key, 1);
    HoldModifiers(false, false);
    return result;
}

std::vector<uint8_t> IconFileBytes() {
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
        put(0xFF2060C0u, 4); // opaque colour
    for (int i = 0; i < 16; ++i)
        put(0, 4); // mask
    return bytes;
}

std::vector<uint8_t> SeededBytes(size_t count, uint8_t seed) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<uint8_t>(seed + i * 7);
    return bytes;
}

namespace {
struct Search {
    const wchar_t* className;
    std::vector<HWND> found;
};

// A named callback, not a lambda: in 32 bits GCC converts lambdas to cdecl pointers only.
BOOL CALLBACK AddIfVisibleOfClass(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (wcscmp(name, s->className) == 0 && IsWindowVisible(window))
        s->found.push_back(window);
    return TRUE;
}
} // namespace

std::vector<HWND> VisibleThreadWindows(DWORD thread, const wchar_t* className) {
    Search search{className, {}};
    EnumThreadWindows(thread, AddIfVisibleOfClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ProgressWindowOf(DWORD thread) {
    for (HWND dialog : VisibleThreadWindows(thread, L"#32770"))
        if (GetDlgItem(dialog, IDC_PROGRESS_BAR))
            return dialog;
    return nullptr;
}

RECT RectInParent(HWND parent, HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}
