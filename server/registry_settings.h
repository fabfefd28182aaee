// The registry work done each time the extension is asked for its page: the machine key test,
// the per-user page switch and the member record.
#pragma once

// Checks that the module's machine settings key can be opened; otherwise tells the user.
void CheckMachineSettingsKey();

// True when the per-user switch lets the page show (0, or written as 0 when missing; also when
// the key can't be made).
bool PageSwitchedOn();

// Writes the record of where this module keeps its settings when it is missing.
void EnsureMemberRecord();

// Names, for the installation and the tests.
extern const wchar_t kMachineSettingsKey[];
extern const wchar_t kMembersKey[];
extern const wchar_t kMembersRecordKey[];
extern const wchar_t kMemberValueName[];
