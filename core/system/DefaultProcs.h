// The interfaces of procedures that the wiring step fills take a partial table: a member left
// null keeps the interface's default, the least behaviour.
#pragma once

template <class P>
void FillIfNull(P& slot, P fallback) {
    if (!slot)
        slot = fallback;
}
