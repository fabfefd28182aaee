// Committed memory (PagefileUsage) left behind per open and close of the page, in one process
// after a warm-up, against the same modeless sheet showing template 129 with a dialog
// procedure that does nothing, and against an object whose page the sheet refuses.
// Usage: page_memory_bench [cycles [blank|refused|page|pageico|pagetwo|shell|probe]]
// (default 300 cycles of each but "shell", Wine's own Properties dialog; prints the growth at
// 100-cycle steps). A cycle counts only when it did what it stands for (the sheet showed its
// page, the page held its file, the shell's dialog came up); else the growth is NOT MEASURED.
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>
#include <psapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "bench_timer.h"
#include "do_nothing_handler.h"
#include "resources/resource_ids.h"
#include "server/shell_ext.h"
#include "support/properties_driver.h"
#include "support/test_window.h"

namespace {

SIZE_T Committed() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage;
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

INT_PTR CALLBACK DoNothing(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// The same kind of sheet as the page's, with template 129 and a procedure that does nothing.
bool BlankSheet() {
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof(page);
    page.dwFlags = PSP_USETITLE;
    page.hInstance = GetModuleHandleW(nullptr);
    page.pszTemplate = MAKEINTRESOURCEW(IDD_HEX_PAGE);
    page.pszTitle = L"Hex Editor";
    page.pfnDlgProc = DoNothing;
    HPROPSHEETPAGE made = CreatePropertySheetPageW(&page);
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_MODELESS;
    header.hInstance = GetModuleHandleW(nullptr);
    header.pszCaption = InProcessSheet::kCaption;
    header.nPages = 1;
    header.phpage = &made;
    HWND sheet = reinterpret_cast<HWND>(PropertySheetW(&header));
    Pump();
    const bool shown = sheet && PropSheet_GetCurrentPageHwnd(sheet);
    SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    Pump();
    DestroyWindow(sheet);
    Pump();
    return shown;
}

// True when the page was offered (and refused).
bool RefusedPage(const std::wstring& file) {
    CShellExt* ext = new (std::nothrow) CShellExt();
    if (!ext)
        return false;
    ext->AddRef();
    auto* data = new DropDataObject({file});
    ext->Initialize(nullptr, data, nullptr);
    data->Release();
    PageCollector refusing;
    refusing.accept = false;
    ext->AddPages(PageCollector::Add, reinterpret_cast<LPARAM>(&refusing));
    ext->Release();
    Pump();
    return refusing.offered == 1;
}

// True when the page came up holding its file (the view is enabled only after a load) with an
// entry per file in its chooser.
bool Pages(const std::vector<std::wstring>& files) {
    InProcessSheet sheet(files);
    const bool shown = sheet.page() && IsWindowEnabled(sheet.control(IDC_HEX_VIEW)) &&
                       SendMessageW(sheet.control(IDC_FILE_CHOOSER), CB_GETCOUNT, 0, 0) ==
                           static_cast<LRESULT>(files.size());
    sheet.PressButton(PSBTN_OK);
    return shown;
}

bool Page(const std::wstring& file) {
    return Pages({file});
}

// Wine's own Properties dialog for the file, with the page made current and closed by OK; true
// when the page showed.
bool ShellDialog(const std::wstring& file) {
    bool shown = false;
    OpenShellProperties({file}, [&shown](HWND sheet) {
        if (!sheet)
            return;
        shown = ShowHexPage(sheet) != nullptr;
        PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
        for (int waited = 0; IsWindow(sheet) && waited < 20000; waited += 5)
            Sleep(5);
    });
    return shown;
}

// The same shell calls without our code: a handler of the test's own, registered for all files,
// that adds no page and counts its live objects. Whatever stays alive after the dialogs have
// closed was never released by the shell.
const CLSID kProbeClsid = {
    0x5e0c7a41, 0x93b2, 0x4c1d, {0x8f, 0x10, 0x2a, 0x6b, 0x44, 0x71, 0xc3, 0x9e}};
const wchar_t kProbeKey[] = L"CLSID\\{5E0C7A41-93B2-4C1D-8F10-2A6B4471C39E}";
const wchar_t kProbeHandlerKey[] =
    L"*\\shellex\\PropertySheetHandlers\\{5E0C7A41-93B2-4C1D-8F10-2A6B4471C39E}";
void AddNoPage(LPFNSVADDPROPSHEETPAGE, LPARAM) {}
using Probe = DoNothingHandler<AddNoPage>;

// Opens Wine's dialog `dialogs` times with the probe registered; returns the probes left alive,
// -1 when the probe could not be registered or a dialog did not show.
LONG ProbesLeftAfter(const std::wstring& file, int dialogs) {
    static StaticClassFactory<Probe> factory;
    DWORD cookie = 0;
    if (FAILED(CoRegisterClassObject(kProbeClsid, &factory, CLSCTX_INPROC_SERVER,
                                     REGCLS_MULTIPLEUSE, &cookie)))
        return -1;
    HKEY key = nullptr;
    RegCreateKeyW(HKEY_CLASSES_ROOT, kProbeKey, &key);
    RegCloseKey(key);
    RegCreateKeyW(HKEY_CLASSES_ROOT, kProbeHandlerKey, &key);
    RegCloseKey(key);
    bool all = true;
    for (int i = 0; i < dialogs; ++i)
        all = ShellDialog(file) && all;
    RegDeleteKeyW(HKEY_CLASSES_ROOT, kProbeHandlerKey);
    RegDeleteKeyW(HKEY_CLASSES_ROOT, kProbeKey);
    CoRevokeClassObject(cookie);
    return all ? Probe::alive : -1;
}

// `cycle` returns whether it did what it stands for.
void Measure(const char* name, int cycles, const std::function<bool()>& cycle) {
    bool all = true;
    for (int i = 0; i < 30; ++i) // warm-up: the system's own first-use allocations
        all = cycle() && all;
    const SIZE_T start = Committed();
    std::printf("%-10s", name);
    for (int done = 1; done <= cycles && all; ++done) {
        all = cycle();
        // Signed: memory given back makes the growth negative.
        const double grown = static_cast<double>(static_cast<long long>(Committed()) -
                                                 static_cast<long long>(start));
        if (done % 100 == 0 || done == cycles)
            std::printf("  %4d: %+8.0f B (%5.0f B/cycle)", done, grown, grown / done);
    }
    std::printf("\n");
    if (!all)
        PrintNotMeasured(name, "a cycle did not show what it stands for");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    const int cycles = argc > 1 ? std::atoi(argv[1]) : 300;
    const char* only = argc > 2 ? argv[2] : nullptr;
    TempFolder folder;
    const std::wstring file = folder.Write(L"sample.bin", std::vector<uint8_t>(1000, 0x41));
    MessageBoxRecorder boxes; // a box from the page would otherwise stop the run
    auto want = [&](const char* name) { return !only || std::string(only) == name; };
    if (want("blank"))
        Measure("blank", cycles, BlankSheet);
    if (want("refused"))
        Measure("refused", cycles, [&] { return RefusedPage(file); });
    if (want("page"))
        Measure("page", cycles, [&] { return Page(file); });
    const std::wstring icon = folder.Write(L"one.ico", IconFileBytes());
    if (want("pageico"))
        Measure("pageico", cycles, [&] { return Page(icon); });
    if (only && std::string(only) == "shell") // needs the extension registered in the prefix
        Measure("shell", cycles, [&] { return ShellDialog(file); });
    if (only && std::string(only) == "shell") {
        // The shell loaded its own copy of the DLL; S_FALSE there means objects of it are
        // still alive although every dialog has closed.
        using CanUnload = HRESULT(WINAPI*)();
        HMODULE dll = GetModuleHandleW(L"propweave.dll");
        const auto canUnload = dll ? reinterpret_cast<CanUnload>(reinterpret_cast<void*>(
                                         GetProcAddress(dll, "DllCanUnloadNow")))
                                   : nullptr;
        std::printf(
            "one extension object: %zu B; the shell's copy of the DLL: DllCanUnloadNow %s\n",
            sizeof(CShellExt),
            !canUnload            ? "not found"
            : canUnload() == S_OK ? "S_OK"
                                  : "S_FALSE");
    }
    if (only && std::string(only) == "probe") {
        const LONG left = ProbesLeftAfter(file, 20);
        if (left < 0)
            PrintNotMeasured("a handler without our code", "a dialog did not show");
        else
            std::printf(
                "a handler without our code: %ld of 20 objects still alive after 20 dialogs\n",
                left);
    }
    if (want("pagetwo"))
        Measure("pagetwo", cycles, [&] { return Pages({icon, file}); });
    if (boxes.Count())
        std::printf("%zu message boxes were answered\n", boxes.Count());
    OleUninitialize();
    return BenchExitCode();
}
