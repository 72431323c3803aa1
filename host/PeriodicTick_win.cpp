// MINIMAL until the periodic tick is built: timer 1 is taken and does nothing.
#include "host/PeriodicTick.h"

bool OnCardTimer(HWND window, UINT_PTR timerId, LPARAM /*lParam*/) {
    if (timerId != 1)
        return false;
    PeriodicTick(window);
    return true;
}

void PeriodicTick(HWND /*window*/) {}
