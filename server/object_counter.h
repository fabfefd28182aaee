// The process-wide count of live factories, extension objects and pages behind
// DllCanUnloadNow. Hosts create and release objects on several threads, so every change is
// interlocked.
#pragma once

#include <windows.h>

void AddObject();
void RemoveObject();
LONG ObjectCount();

// The counter itself, for the property sheet's reference-parent field: the sheet adds to it
// while a page made by this module exists.
UINT* ObjectCounterAddress();
