// Conversions between handles and plain Windows global blocks (clipboard and outside
// interfaces), and the warning allocator for plain global blocks.
#pragma once

#include <windows.h>
#include "core/memory/Handles.h"

Handle NewHandleFromGlobal(HGLOBAL block);
HGLOBAL HandleToGlobal(Handle h);
HGLOBAL AllocGlobalOrWarn(SIZE_T size);
bool FreeGlobalFully(HGLOBAL block);

// The message box for a MemRefs table that cannot grow (SetMemRefsFailureHook), which the
// wiring step installs.
void ShowMemRefsFailure();
