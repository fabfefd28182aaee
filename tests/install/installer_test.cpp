// The Windows Installer package under Wine's own msiexec, in a prefix that holds nothing else
// (tests/install/run.sh makes it and builds propweave-again.msi, the same package built again,
// and propweave-next.msi, version 99.0.0). The tests run in their written order, each from where
// the one before left: install, the page through the shell from a 64-bit and a 32-bit program,
// the same version again, upgrade, uninstall. Each DLL is looked for in its own registry view.
#include <windows.h>

#include <commctrl.h>
#include <msi.h>
#include <msiquery.h>
#include <psapi.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>

#include "hexedit/win32_handles.h"
#include "resources/resource_ids.h"
#include "tools/launcher/sheet_windows.h"

namespace {

using UniqueKernelHandle = UniqueHandle<HANDLE, &CloseHandle>;

#define CLASS_ID L"{FFE474D2-1728-4FC4-87FD-DDCE54288C30}"
// Each DLL, the registry view its programs see, and a launcher of its bitness.
struct Bitness {
    const wchar_t* dll;
    REGSAM view;
    const wchar_t* launcher;
};
const Bitness kBitnesses[] = {{L"C:\\Program Files\\propWeave Hex Editor\\propweave.dll",
                               KEY_WOW64_64KEY, L"propweave_launch.exe"},
                              {L"C:\\Program Files (x86)\\propWeave Hex Editor\\propweave.dll",
                               KEY_WOW64_32KEY, L"..\\win32\\propweave_launch.exe"}};
// HKEY_LOCAL_MACHINE key, value name (null: the key alone) and value the package writes in each
// view (null: the view's DLL).
const wchar_t* const kEntries[][3] = {
    {L"Software\\Classes\\CLSID\\" CLASS_ID, L"", L"propWeave Hex Editor"},
    {L"Software\\Classes\\CLSID\\" CLASS_ID L"\\InprocServer32", L"", nullptr},
    {L"Software\\Classes\\CLSID\\" CLASS_ID L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
    {L"Software\\Classes\\*\\shellex\\PropertySheetHandlers\\" CLASS_ID, L"",
     L"propWeave Hex Editor"},
    {L"Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved", CLASS_ID,
     L"propWeave Hex Editor"},
    {L"Software\\Kestrow Software\\propWeave Hex Editor", nullptr, L"(key)"}};

// An entry as found: its text, "(key)" for the key alone, "(none)" when it is missing.
std::wstring Read(const wchar_t* const (&entry)[3], REGSAM view) {
    UniqueRegKey key;
    wchar_t text[MAX_PATH] = L"(key)";
    DWORD size = sizeof(text);
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, entry[0], 0, KEY_READ | view, key.put()) ||
        (entry[1] &&
         RegGetValueW(key.get(), nullptr, entry[1], RRF_RT_REG_SZ, nullptr, text, &size)))
        return L"(none)";
    return text;
}

// Starts a program beside this one or of the system.
UniqueKernelHandle Start(std::wstring line, DWORD* thread = nullptr) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started))
        return {};
    CloseHandle(started.hThread);
    if (thread)
        *thread = started.dwThreadId;
    return UniqueKernelHandle(started.hProcess);
}

DWORD Msiexec(const std::wstring& arguments) {
    const UniqueKernelHandle process = Start(L"msiexec " + arguments + L" /qn");
    DWORD code = WAIT_TIMEOUT;
    if (WaitForSingleObject(process.get(), 120000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.get(), &code);
    return code;
}

// The installed products of the package's upgrade code as installed apps show them: version,
// the icon's file (the copy the installer keeps) and ", no Modify" when they offer no Modify.
std::wstring Installed() {
    std::wstring products;
    wchar_t product[39], text[MAX_PATH];
    for (DWORD i = 0, size = MAX_PATH;
         !MsiEnumRelatedProductsW(L"{718269E6-A299-4E0F-980E-FB2EB4FE3DA6}", 0, i, product);
         ++i, size = MAX_PATH) {
        if (!MsiGetProductInfoW(product, INSTALLPROPERTY_VERSIONSTRING, text, &size))
            products += text;
        size = MAX_PATH;
        if (!MsiGetProductInfoW(product, INSTALLPROPERTY_PRODUCTICON, text, &size) &&
            GetFileAttributesW(text) != INVALID_FILE_ATTRIBUTES)
            products += L" " + std::wstring(PathFindFileNameW(text));
        DWORD noModify = 0, bytes = sizeof(noModify);
        RegGetValueW(
            HKEY_LOCAL_MACHINE,
            (L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + std::wstring(product))
                .c_str(),
            L"NoModify", RRF_RT_REG_DWORD, nullptr, &noModify, &bytes);
        products += noModify == 1 ? L", no Modify;" : L";";
    }
    return products;
}

// A DLL's file version, from its version resource.
std::wstring DllVersion(const wchar_t* dll) {
    wchar_t version[32] = L"(none)";
    DWORD size = 32;
    MsiGetFileVersionW(dll, version, &size, nullptr, nullptr);
    return version;
}

// The rows a query finds in a package's own tables, fields joined by ", ", each row ended by
// ";"; "(no query)" when the query cannot run.
std::wstring PackageRows(const wchar_t* package, const wchar_t* query) {
    MSIHANDLE database = 0, view = 0, record = 0;
    const bool ran = !MsiOpenDatabaseW(package, MSIDBOPEN_READONLY, &database) &&
                     !MsiDatabaseOpenViewW(database, query, &view) && !MsiViewExecute(view, 0);
    std::wstring rows = ran ? L"" : L"(no query)";
    while (ran && !MsiViewFetch(view, &record)) {
        for (UINT field = 1; field <= MsiRecordGetFieldCount(record); ++field) {
            wchar_t text[MAX_PATH] = {};
            DWORD size = MAX_PATH;
            MsiRecordGetStringW(record, field, text, &size);
            rows += (field > 1 ? L", " : L"") + std::wstring(text);
        }
        rows += L";";
        MsiCloseHandle(record);
    }
    MsiCloseHandle(view);
    MsiCloseHandle(database);
    return rows;
}

bool Loads(HANDLE process, const wchar_t* path) {
    HMODULE modules[512];
    DWORD bytes = 0;
    wchar_t name[MAX_PATH];
    EnumProcessModulesEx(process, modules, sizeof(modules), &bytes, LIST_MODULES_ALL);
    for (DWORD i = 0; i < bytes / sizeof(HMODULE); ++i)
        if (GetModuleFileNameExW(process, modules[i], name, MAX_PATH) && !_wcsicmp(name, path))
            return true;
    return false;
}

// One product of this version with both DLLs and every entry in place in each view; none of
// them for null.
void ExpectInstalled(const wchar_t* version) {
    EXPECT_EQ(Installed(), version ? version + std::wstring(L" propweave.ico, no Modify;") : L"");
    for (const Bitness& bits : kBitnesses) {
        EXPECT_EQ(DllVersion(bits.dll), version ? version + std::wstring(L".0") : L"(none)")
            << bits.dll;
        for (const auto& entry : kEntries)
            EXPECT_EQ(Read(entry, bits.view), !version   ? L"(none)"
                                              : entry[2] ? entry[2]
                                                         : bits.dll)
                << entry[0] << " for " << bits.dll;
    }
}

} // namespace

// The package itself gives each DLL its version and language, and no hash: a versioned file is
// compared by version (ICE60). Each is in a component of its own, 64-bit or not.
TEST(Installer, PackageDescribesTheDllsAsVersionedFiles) {
    EXPECT_EQ(
        PackageRows(L"propweave.msi",
                    L"SELECT `File`, `Version`, `Language`, `Component`.`Attributes` FROM "
                    L"`File`, `Component` WHERE `File`.`Component_` = `Component`.`Component`"),
        L"propweave.dll, 1.0.0.0, 1033, 256;propweave32.dll, 1.0.0.0, 1033, 0;");
    EXPECT_EQ(PackageRows(L"propweave.msi", L"SELECT `File_` FROM `MsiFileHash`"), L"");
}

TEST(Installer, InstallPutsTheDllAndEveryEntryInPlace) {
    ASSERT_EQ(Msiexec(L"/i propweave.msi"), 0u);
    ExpectInstalled(L"1.0.0"); // the project version in CMakeLists.txt
}

// The page through the shell from the launcher of one bitness, with the DLL of that bitness.
static void ExpectPageFrom(const Bitness& bits) {
    wchar_t file[MAX_PATH];
    GetTempPathW(MAX_PATH, file);
    wcscat_s(file, L"installed.bin");
    UniqueFile(CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)).reset();
    DWORD thread = 0;
    const UniqueKernelHandle launcher =
        Start(bits.launcher + std::wstring(L" \"") + file + L"\"", &thread);
    ASSERT_TRUE(launcher);
    HWND sheet = nullptr;
    DWORD_PTR page = 0;
    for (int waited = 0; !GetDlgItem(HWND(page), IDC_HEX_VIEW) && waited < 30000; waited += 100) {
        Sleep(100);
        sheet = sheetwindows::FindVisibleSheet(thread);
        SendMessageTimeoutW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0, SMTO_NORMAL, 5000, &page);
    }
    ASSERT_TRUE(sheet) << "the shell's Properties dialog did not come up";
    ASSERT_TRUE(GetDlgItem(HWND(page), IDC_HEX_VIEW)) << "no Hex Editor page in it";
    wchar_t name[MAX_PATH] = {};
    SendMessageTimeoutW(GetDlgItem(HWND(page), IDC_NAME_TEXT), WM_GETTEXT, MAX_PATH, LPARAM(name),
                        SMTO_NORMAL, 5000, nullptr);
    EXPECT_STREQ(name, L"installed.bin");
    EXPECT_TRUE(Loads(launcher.get(), bits.dll));
    PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    EXPECT_EQ(WaitForSingleObject(launcher.get(), 20000), WAIT_OBJECT_0);
    DeleteFileW(file);
}

TEST(Installer, ShellPropertiesShowThePageFromTheInstalledDlls) {
    for (const Bitness& bits : kBitnesses)
        ExpectPageFrom(bits);
}

TEST(Installer, SameVersionBuiltAgainReplacesTheInstalledOne) {
    ASSERT_EQ(Msiexec(L"/i propweave-again.msi"), 0u); // a new product code
    ExpectInstalled(L"1.0.0");
}

TEST(Installer, HigherVersionUpgradesInPlace) {
    ASSERT_EQ(Msiexec(L"/i propweave-next.msi"), 0u);
    ExpectInstalled(L"99.0.0");
}

TEST(Installer, UninstallRemovesWhatItWroteAndLeavesTheUsersValues) {
    const DWORD bookmark = 0x1234; // the page wrote its switch when the shell showed it
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Kestrow Software\\propWeave Hex Editor",
                    L"Bookmark3", REG_DWORD, &bookmark, sizeof(bookmark));
    ASSERT_EQ(Msiexec(L"/x propweave-next.msi"), 0u);
    ExpectInstalled(nullptr);
    const wchar_t* const users[][2] = {
        {L"Software\\Kestrow Software\\propWeave Hex Editor", L"Bookmark3"},
        {L"Software\\Kestrow Software\\propWeave\\Members", L"Hex__Hex editor"}};
    for (const auto& [key, name] : users)
        EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, 0, 0, 0), 0) << name;
}
