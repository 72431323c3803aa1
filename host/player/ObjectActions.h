// Performing an action record: the actions of a button, or an 'Actn' resource of the stack
// that a card, the stack or another object carries.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/memory/Handles.h"

// Where a chain of actions began: the person's own click or key (kByUser), or anything else
// (kByEvent: the card entered or left, a timer, idle work, a module's request). A stack from the
// web reaches outside itself (a device: the videodisc player, live video; a program, document
// or address) only in a chain the person started; in any other it skips those actions.
enum ActionOrigin : int { kByEvent = 0, kByUser = 1 };

// Performs the actions of the record at (record, offset) for the owner objectId; byClick (an
// ActionOrigin) says who started them, waitAfter to wait for their media afterwards; label is the event's
// length-prefixed name. Nonzero when the record was changed and must be written back.
int PerformObjectActions(HWND cardWindow, Handle record, uint32_t offset, uint16_t objectId, int byClick,
                         int waitAfter, const uint8_t* label);
// One action of the record alone (its bit), as when the file it needed has arrived: no testing
// answer, no move, no wait. Nothing when the record no longer has that action. Nonzero when the
// record was changed and must be written back.
int PerformOneAction(HWND cardWindow, Handle record, uint32_t offset, uint16_t objectId, int byClick, uint16_t action);
