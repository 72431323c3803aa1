// Scanner import through the TWAIN source manager "TWAIN_32.DLL" (Twain_win.cpp): one native
// image transfer from the user's source.
#pragma once

#include <windows.h>

#include <cstdint>

// Loads the source manager once and takes DSM_Entry (ordinal 1); false when it does not load.
bool LoadTwainDSM();
// A packed DIB in global memory from the default source (the user chooses one the first time
// when there are several), or null. No alert: the picture import reports a failed load.
HGLOBAL AcquireTwainImage(HWND parent);
// The next use asks for the source again, as the first did (a new run; tests).
void ForgetTwainSourceChoice();
// The last return code of a TWAIN call (1 without the source manager).
uint16_t LastTwainReturnCode();
