// Time from asking the shell for "properties" until the page has painted, through Wine's own
// Properties dialog: the hex view's first frame with the extension registered, against the
// floor (the same dialog with a page from template 129 whose dialog procedure does nothing,
// floor_page.dll, its placeholder view's first frame) and against the dialog's first page with
// no extension, for a 1 KiB and a 1 GiB file. A run counts only when its paint came, and for
// the page only when the view it painted holds the file (it is enabled only after a load).
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_files.h"
#include "bench_timer.h"
#include "support/test_window.h"
#include "tools/launcher/sheet_windows.h"

namespace {

const wchar_t kHandlerKey[] =
    L"*\\shellex\\PropertySheetHandlers\\{FFE474D2-1728-4FC4-87FD-DDCE54288C30}";
const wchar_t kFloorClassKey[] = L"CLSID\\{6B0C4E5A-2F7D-4C1B-9E36-0A5D7B8C9F10}";
const wchar_t kFloorServerKey[] = L"CLSID\\{6B0C4E5A-2F7D-4C1B-9E36-0A5D7B8C9F10}\\InprocServer32";
const wchar_t kFloorHandlerKey[] =
    L"*\\shellex\\PropertySheetHandlers\\{6B0C4E5A-2F7D-4C1B-9E36-0A5D7B8C9F10}";

enum class Target { HexView, FirstPage };

Target g_target = Target::HexView;
double g_paintedAt = 0;
bool g_enabledAtPaint = false;
HWND g_watched = nullptr;
bool g_switched = false;
WNDPROC g_watchedProc = nullptr;
HHOOK g_messageHook = nullptr;
HHOOK g_cbtHook = nullptr;

bool IsHexView(HWND window) {
    HWND page = GetParent(window);
    return GetDlgCtrlID(window) == 1116 && page && GetDlgItem(page, 1117) && GetDlgItem(page, 1054);
}

bool IsFirstPageOfSheet(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    HWND sheet = GetParent(window);
    return wcscmp(name, L"#32770") == 0 && sheet && PropSheet_GetTabControl(sheet);
}

// Wraps the watched window's procedure for one paint: the paint has finished when it returns.
LRESULT CALLBACK WatchPaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcW(g_watchedProc, window, message, wParam, lParam);
    if (message == WM_PAINT && g_paintedAt == 0) {
        g_paintedAt = NowMs();
        g_enabledAtPaint = IsWindowEnabled(window) != FALSE;
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_watchedProc));
        PostMessageW(GetAncestor(window, GA_ROOT), WM_COMMAND, IDCANCEL, 0);
    }
    return result;
}

LRESULT CALLBACK OnMessage(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_PAINT && !g_watched &&
        (g_target == Target::HexView ? IsHexView(msg->hwnd) : IsFirstPageOfSheet(msg->hwnd))) {
        g_watched = msg->hwnd;
        g_watchedProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(msg->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchPaint)));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// As the sheet first shows, bring the "Hex Editor" tab to the front at once, as if the sheet
// opened on it; the dialog without the page is timed to its first page in the same way.
LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && g_target == Target::HexView && !g_switched) {
        HWND sheet = reinterpret_cast<HWND>(wParam);
        const int tab = sheetwindows::FindTabByTitle(sheet, L"Hex Editor");
        if (tab >= 0) {
            g_switched = true; // the switch itself activates windows again
            SendMessageW(sheet, PSM_SETCURSEL, static_cast<WPARAM>(tab), 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// One dialog: invoke, wait for the paint, close. Returns milliseconds, or -1 when the watched
// paint never came.
double OpenOnce(const std::wstring& path, Target target) {
    g_target = target;
    g_paintedAt = 0;
    g_enabledAtPaint = false;
    g_watched = nullptr;
    g_switched = false;
    PIDLIST_ABSOLUTE pidl = nullptr;
    IShellFolder* parent = nullptr;
    PCUITEMID_CHILD child = nullptr;
    IContextMenu* menu = nullptr;
    if (FAILED(SHParseDisplayName(path.c_str(), nullptr, &pidl, 0, nullptr)) ||
        FAILED(SHBindToParent(pidl, IID_IShellFolder, reinterpret_cast<void**>(&parent), &child)) ||
        FAILED(parent->GetUIObjectOf(nullptr, 1, &child, IID_IContextMenu, nullptr,
                                     reinterpret_cast<void**>(&menu)))) {
        PrintNotMeasured("properties", "could not reach the shell's context menu");
        std::exit(BenchExitCode());
    }
    CMINVOKECOMMANDINFO invoke{};
    invoke.cbSize = sizeof(invoke);
    invoke.lpVerb = "properties";
    invoke.nShow = SW_SHOWNORMAL;
    const double start = NowMs();
    menu->InvokeCommand(&invoke); // modal: returns once the hooks have closed the dialog
    menu->Release();
    parent->Release();
    CoTaskMemFree(pidl);
    return g_paintedAt > 0 ? g_paintedAt - start : -1;
}

void SetHandlerRegistered(bool registered, const wchar_t* key = kHandlerKey);

// The three dialogs of one file, taken in turns so that a change of the machine's load
// weighs on all three alike. The figure ends at the paint, not when the dialog is closed.
struct Figures {
    Timing plain, floor, page;
};
Figures TimeInTurns(const std::wstring& path, int runs) {
    Samples plain, floor, page;
    for (int i = 0; i <= runs; ++i) { // the first round warms up and is not counted
        SetHandlerRegistered(false);
        SetHandlerRegistered(false, kFloorHandlerKey);
        const double p = OpenOnce(path, Target::FirstPage);
        SetHandlerRegistered(true, kFloorHandlerKey);
        const double f = OpenOnce(path, Target::HexView);
        SetHandlerRegistered(false, kFloorHandlerKey);
        SetHandlerRegistered(true);
        const double h = OpenOnce(path, Target::HexView);
        const bool loaded = g_enabledAtPaint;
        if (i > 0) {
            plain.Add(p, p < 0 ? "the first page never painted" : nullptr);
            floor.Add(f, f < 0 ? "the floor page never painted" : nullptr);
            page.Add(h, h < 0     ? "the hex view never painted"
                        : !loaded ? "the hex view painted holds no file"
                                  : nullptr);
        }
    }
    return {plain.Of(), floor.Of(), page.Of()};
}

void SetHandlerRegistered(bool registered, const wchar_t* key) {
    if (registered) {
        RegSetKeyValueW(HKEY_CLASSES_ROOT, key, nullptr, REG_SZ, L"propWeave Hex Editor",
                        sizeof(L"propWeave Hex Editor"));
    } else {
        RegDeleteKeyW(HKEY_CLASSES_ROOT, key);
    }
}

// The floor's class, served by floor_page.dll beside this program.
bool RegisterFloorClass() {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dll(path, n);
    dll = dll.substr(0, dll.find_last_of(L'\\') + 1) + L"floor_page.dll";
    if (GetFileAttributesW(dll.c_str()) == INVALID_FILE_ATTRIBUTES)
        return false;
    const DWORD bytes = static_cast<DWORD>((dll.size() + 1) * sizeof(wchar_t));
    return RegSetKeyValueW(HKEY_CLASSES_ROOT, kFloorServerKey, nullptr, REG_SZ, dll.c_str(),
                           bytes) == ERROR_SUCCESS &&
           RegSetKeyValueW(HKEY_CLASSES_ROOT, kFloorServerKey, L"ThreadingModel", REG_SZ,
                           L"Apartment", sizeof(L"Apartment")) == ERROR_SUCCESS;
}

std::wstring MakeFile(const TempFolder& folder, const wchar_t* name, LONGLONG size) {
    const std::wstring path = folder.Path(name);
    if (!WritePatternFile(path, static_cast<uint64_t>(size))) {
        PrintNotMeasured("properties", "could not write the files");
        std::exit(BenchExitCode());
    }
    return path;
}

} // namespace

int main() {
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    g_messageHook = SetWindowsHookExW(WH_GETMESSAGE, OnMessage, nullptr, GetCurrentThreadId());
    g_cbtHook = SetWindowsHookExW(WH_CBT, OnCbt, nullptr, GetCurrentThreadId());

    TempFolder folder;
    const std::wstring small = MakeFile(folder, L"small.bin", 1024);
    const std::wstring large = MakeFile(folder, L"large.bin", 1LL << 30);

    if (!RegisterFloorClass()) {
        PrintNotMeasured("properties", "floor_page.dll is missing beside the program");
        return BenchExitCode();
    }
    // Each 1 GiB dialog reads the whole file: few runs for the large file.
    const Figures smallFigures = TimeInTurns(small, 31);
    const Figures largeFigures = TimeInTurns(large, 3);
    SetHandlerRegistered(false, kFloorHandlerKey);
    SetHandlerRegistered(true);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kFloorClassKey);
    const Timing &smallPlain = smallFigures.plain, &smallFloor = smallFigures.floor,
                 &smallPage = smallFigures.page;
    const Timing &largePlain = largeFigures.plain, &largeFloor = largeFigures.floor,
                 &largePage = largeFigures.page;

    PrintTiming("1 KiB: dialog without the page, first page painted", smallPlain);
    PrintTiming("1 KiB: floor page (template 129, no code), painted", smallFloor);
    PrintTiming("1 KiB: Hex Editor page, hex view painted", smallPage);
    PrintRatio("1 KiB: page / floor (median)", smallPage.median, smallFloor.median, 1.3);
    PrintFactor("1 KiB: page / no page (median)", smallPage.median, smallPlain.median);
    PrintTiming("1 GiB: dialog without the page, first page painted", largePlain);
    PrintTiming("1 GiB: floor page (template 129, no code), painted", largeFloor);
    PrintTiming("1 GiB: Hex Editor page, hex view painted", largePage);
    PrintFactor("1 GiB: page / floor (median)", largePage.median, largeFloor.median);
    PrintFactor("1 GiB: page / no page (median)", largePage.median, largePlain.median);
    UnhookWindowsHookEx(g_messageHook);
    UnhookWindowsHookEx(g_cbtHook);
    OleUninitialize();
    return BenchExitCode();
}
