// MINIMAL until actions are performed: nothing is performed and the record stays unchanged.
#include "actions/ObjectActions.h"

int PerformObjectActions(HWND, Handle, uint32_t, uint16_t, int, int, const uint8_t*) { return 0; }
