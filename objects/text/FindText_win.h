// Find Text on the open stack (FindText_win.cpp): the state made at start-up, the walk over
// what the fields show, the "FIND_TEXT" dialog and a match selected in its field. The state
// and the walk over the records are FindText.h.
#pragma once

#include <windows.h>

#include <cstdint>

#include "objects/text/FindText.h"

inline constexpr uint32_t kAlertNoMatchFound = 2201;

// Makes the state; 0, or 48 with item 207 of the window's menu greyed when it cannot be made.
int InitFindState(HWND window);
// The walk from the current card after the card's edited fields are written back, so that it
// sees what is on screen. False when nothing matched.
bool FindTextInStack(FindState& state, Handle currentCard, FoundText* found);
// The dialog on the state: OK stores the text and the flags the controls give (find again
// cleared) and answers true; Cancel changes nothing.
bool RunFindTextDialog(HWND owner, FindState& state);
// Selects the range in the text object's field on the card shown and makes it the active field
// with the focus; a read-only field gets its read-only style again. False when the object has
// no field window.
bool SelectFieldRange(uint16_t objectId, uint16_t options, int32_t start, int32_t end);
