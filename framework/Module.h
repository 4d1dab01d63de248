// The module the framework serves: window classes are registered with its
// instance handle and every resource (menu, toolbar, bitmap, dialog,
// string) is loaded from it, never from the host's executable.
#pragma once

#include <windows.h>

#include <string>

// Sets the module that holds the resources and owns the window classes.
// The library calls it at load; a test program may pass its own handle.
void FwInitModule(HINSTANCE module);
HINSTANCE FwModule();

// Registers a window class of this module once; later calls reuse it.
bool FwRegisterClass(const WNDCLASSEXA& wc);
// Unregisters every class registered above (at library unload).
void FwUnregisterClasses();

// Loads a string of the module's string table; false (and an empty
// buffer) when there is none.
bool FwLoadString(UINT id, char* buffer, int size);
// The same as a string, in the system code page or in UTF-16; empty when
// the table has none.
std::string FwString(UINT id);
std::wstring FwWideString(UINT id);
