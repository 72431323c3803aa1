// Performing an action record: the actions of a button, or an 'Actn' resource of the stack
// that a card, the stack or another object carries.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/events/ActionOrigin.h"
#include "core/memory/Handles.h"

// Performs the actions of the record at (record, offset) for the owner objectId; origin says who
// started them (a stack from the web skips what reaches outside it in a chain the person did not
// start), waitAfter to wait for their media afterwards; label is the event's length-prefixed
// name. Nonzero when the record was changed and must be written back.
int PerformObjectActions(HWND cardWindow, Handle record, uint32_t offset, uint16_t objectId, ActionOrigin origin,
                         int waitAfter, const uint8_t* label);
// One action of the record alone (its bit), as when the file it needed has arrived: no testing
// answer, no move, no wait. Nothing when the record no longer has that action. Nonzero when the
// record was changed and must be written back.
int PerformOneAction(HWND cardWindow, Handle record, uint32_t offset, uint16_t objectId, ActionOrigin origin,
                     uint16_t action);
