// MINIMAL until timer buttons are built: the table is always empty.
#include "actions/TimerButtons.h"

void TickTimerTable(HWND, uint32_t) {}
void ClearTimerTable() {}
