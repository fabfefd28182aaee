#include "server/registry_settings.h"

#include <windows.h>

#include "hexedit/win32_handles.h"

const wchar_t kMachineSettingsKey[] = L"Software\\Kestrow Software\\propWeave Hex Editor";
const wchar_t kMembersKey[] = L"Software\\Kestrow Software\\propWeave\\Members";
const wchar_t kMembersRecordKey[] = L"Software\\Kestrow Software\\propWeave\\MembersReg";
const wchar_t kMemberValueName[] = L"Hex__Hex editor";

namespace {

UniqueRegKey CreateUserKey(const wchar_t* path) {
    UniqueRegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS)
        return UniqueRegKey();
    return key;
}

} // namespace

void CheckMachineSettingsKey() {
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMachineSettingsKey, 0, KEY_READ, key.put()) ==
        ERROR_SUCCESS)
        return;
    MessageBoxW(nullptr,
                L"There was an error accessing registry. Be sure you have necessary privileges",
                L"Error", MB_OK);
}

bool PageSwitchedOn() {
    UniqueRegKey key = CreateUserKey(kMembersKey);
    if (!key)
        return true;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExW(key.get(), kMemberValueName, nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS) {
        value = 0;
        RegSetValueExW(key.get(), kMemberValueName, 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&value), sizeof(value));
    }
    return value == 0;
}

void EnsureMemberRecord() {
    UniqueRegKey key = CreateUserKey(kMembersRecordKey);
    if (!key)
        return;
    BYTE record[100];
    DWORD size = sizeof(record);
    if (RegQueryValueExW(key.get(), kMemberValueName, nullptr, nullptr, record, &size) ==
        ERROR_SUCCESS)
        return;
    RegSetValueExW(key.get(), kMemberValueName, 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(kMachineSettingsKey),
                   static_cast<DWORD>(sizeof(kMachineSettingsKey)));
}
