// The class id this module serves.
#pragma once

#include <windows.h>

// {FFE474D2-1728-4FC4-87FD-DDCE54288C30}
extern const CLSID CLSID_ShellExt;
