// The module this code lives in (the DLL inside a host, the program in tests) and its own
// activation context, made from manifest resource 2. The context makes the common controls that
// the module creates version 6, whatever manifest the host process has.
#pragma once

#include <windows.h>

// Recorded by the DLL entry point on process attach.
void SetModuleInstance(HINSTANCE instance);

// The recorded instance, or else the module that contains this code.
HINSTANCE ModuleInstance();

// The module's activation context, made on first use and kept until ReleaseModuleContext;
// null when the module has no usable manifest.
HANDLE ModuleActivationContext();

// Frees the activation context (process detach).
void ReleaseModuleContext();
